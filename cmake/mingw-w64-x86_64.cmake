# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which
# GCC's std::thread and std::mutex need). scripts/windows passes it to the project and to the
# libraries it builds with CMake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(kra_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${kra_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${kra_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${kra_mingw}-windres)
set(CMAKE_AR ${kra_mingw}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${kra_mingw}-ranlib CACHE FILEPATH "")

# Headers and libraries only from the target's root (and the prefix the caller adds to
# CMAKE_FIND_ROOT_PATH); programs from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${kra_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run under wine when the build runs them (gtest discovery is not used).
find_program(KRA_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(KRA_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KRA_WINE64})
endif()
