# The libraries of a Windows build: static archives that scripts/windows builds with mingw-w64
# from Debian's source packages into one prefix. They take the names of the native build's
# pkg-config targets, so the engine's own CMake is the same for both. No pkg-config here: the
# host's would hand out the host's libraries, and SDL's own flags would add SDL2main and
# -mwindows to every program. The programs link statically (C and C++ runtimes included), so
# an .exe needs nothing but Windows' own DLLs.
if(DEFINED ENV{KRA_CACHE_DIR})
  set(kra_cache "$ENV{KRA_CACHE_DIR}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(kra_cache "$ENV{XDG_CACHE_HOME}/kra")
else()
  set(kra_cache "$ENV{HOME}/.cache/kra")
endif()
set(KRA_WINDOWS_PREFIX "${kra_cache}/windows-deps/prefix" CACHE PATH
    "Where scripts/windows installed the Windows libraries")
if(NOT EXISTS "${KRA_WINDOWS_PREFIX}/lib/libopenmpt.a" OR NOT EXISTS "${KRA_WINDOWS_PREFIX}/lib/libSDL2.a")
  message(FATAL_ERROR "No Windows libraries in ${KRA_WINDOWS_PREFIX}: run scripts/windows, which builds them")
endif()

# kra_windows_library(TARGET include-subfolder archive... [SYSTEM dll-import-library...])
function(kra_windows_library target include_subdir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SYSTEM")
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set(dirs "${KRA_WINDOWS_PREFIX}/include")
  if(include_subdir)
    list(APPEND dirs "${KRA_WINDOWS_PREFIX}/include/${include_subdir}")
  endif()
  set(archives)
  foreach(name ${arg_UNPARSED_ARGUMENTS})
    list(APPEND archives "${KRA_WINDOWS_PREFIX}/lib/lib${name}.a")
  endforeach()
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${dirs}"
                                             INTERFACE_LINK_LIBRARIES "${archives};${arg_SYSTEM}")
endfunction()

kra_windows_library(PkgConfig::ZLIB "" z)
kra_windows_library(PkgConfig::PNG libpng16 png16 z)
kra_windows_library(PkgConfig::MINIZIP minizip minizip z)
kra_windows_library(PkgConfig::EXPAT "" expat)
kra_windows_library(PkgConfig::MPG123 "" mpg123 SYSTEM shlwapi)
kra_windows_library(PkgConfig::OPENMPT "" openmpt SYSTEM ole32 rpcrt4)
# SDL's own list of Windows libraries (sdl2-config --static-libs), without SDL2main.
kra_windows_library(PkgConfig::SDL2 SDL2 SDL2 SYSTEM
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
