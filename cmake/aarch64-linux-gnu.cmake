# Cross-compiling for 64-bit ARM Linux with Debian's cross compiler against the :arm64
# development packages (multiarch: headers in /usr/include, libraries and pkg-config files in
# /usr/lib/aarch64-linux-gnu). scripts/arm64 passes it to the project.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(kra_triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${kra_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${kra_triplet}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${kra_triplet})

# pkg-config reads only the target's .pc files (and the architecture-free ones).
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${kra_triplet}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Programs from the build machine; headers, libraries and CMake packages from the target's
# multiarch folders, never the build machine's x86-64 ones.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)

# The build's own programs (kra-assets making the data, the test programs listing their
# tests) and ctest's runs go through qemu's user-mode emulator. The arm64 C library is
# installed beside the build machine's, so its loader is at /lib/ld-linux-aarch64.so.1 and
# qemu needs no root of its own.
find_program(KRA_QEMU_AARCH64 NAMES qemu-aarch64-static qemu-aarch64)
if(KRA_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KRA_QEMU_AARCH64})
endif()
