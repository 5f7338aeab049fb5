# The libraries of a Windows build: static archives that scripts/windows builds with mingw-w64
# from Debian's source packages into one prefix (prefix_libraries.cmake). SDL's own flags
# would add SDL2main and -mwindows to every program, so its list is given here. The programs
# link statically (C and C++ runtimes included), so an .exe needs nothing but Windows' own DLLs.
include(${CMAKE_CURRENT_LIST_DIR}/prefix_libraries.cmake)
kra_library_prefix(KRA_WINDOWS_PREFIX windows-deps Windows scripts/windows openmpt SDL2)

kra_prefix_library(${KRA_WINDOWS_PREFIX} PkgConfig::ZLIB "" z)
kra_prefix_library(${KRA_WINDOWS_PREFIX} PkgConfig::PNG libpng16 png16 z)
kra_prefix_library(${KRA_WINDOWS_PREFIX} PkgConfig::MINIZIP minizip minizip z)
kra_prefix_library(${KRA_WINDOWS_PREFIX} PkgConfig::EXPAT "" expat)
kra_prefix_library(${KRA_WINDOWS_PREFIX} PkgConfig::MPG123 "" mpg123 SYSTEM shlwapi)
kra_prefix_library(${KRA_WINDOWS_PREFIX} PkgConfig::OPENMPT "" openmpt SYSTEM ole32 rpcrt4)
# SDL's own list of Windows libraries (sdl2-config --static-libs), without SDL2main.
kra_prefix_library(${KRA_WINDOWS_PREFIX} PkgConfig::SDL2 SDL2 SDL2 SYSTEM
  m dinput8 dxguid dxerr8 user32 gdi32 winmm imm32 ole32 oleaut32 shell32 setupapi version uuid)
target_compile_definitions(PkgConfig::SDL2 INTERFACE SDL_MAIN_HANDLED)
# expat's headers declare their functions dllimport unless told the library is static.
target_compile_definitions(PkgConfig::EXPAT INTERFACE XML_STATIC)

add_link_options(-static -static-libgcc -static-libstdc++)
# GCC does not align the stack to 32 bytes on 64-bit Windows, yet spills AVX registers there
# with aligned moves (GCC bug 54412); the assembler makes every such move an unaligned one,
# which costs nothing on aligned data.
add_compile_options(-Wa,-muse-unaligned-vector-move)
# printf and its kin from MinGW's own C99 implementation (%zu, %lld, as elsewhere) rather than
# msvcrt's. GCC checks the engine's format(printf) attributes against msvcrt's dialect all the
# same, so that check is left to the other builds.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
add_compile_options(-Wno-format)
# The zip holds the programs and the data archive in one folder.
add_compile_definitions(KRA_INSTALLED_ARCHIVE="autoexec.bat")

option(KRA_WINDOWS_TESTS "In a Windows build, the renderer and display suites for wine" OFF)
if(KRA_WINDOWS_TESTS)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
