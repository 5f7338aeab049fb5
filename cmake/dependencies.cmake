# Libraries come from Debian's -dev packages (scripts/deps installs them); for the web,
# from the WebAssembly builds of the same sources that scripts/web makes; for Windows, from
# the mingw-w64 builds that scripts/windows makes.
if(EMSCRIPTEN)
  include(${CMAKE_CURRENT_LIST_DIR}/web_dependencies.cmake)
  return()
endif()
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows_dependencies.cmake)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)

# libmp3lame ships no pkg-config file.
find_path(LAME_INCLUDE_DIR lame/lame.h REQUIRED)
find_library(LAME_LIBRARY mp3lame REQUIRED)
add_library(kra_lame INTERFACE)
target_include_directories(kra_lame INTERFACE ${LAME_INCLUDE_DIR})
target_link_libraries(kra_lame INTERFACE ${LAME_LIBRARY})

if(KRA_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(KRA_BUILD_BENCH)
  find_package(benchmark REQUIRED)
  pkg_check_modules(PIXMAN IMPORTED_TARGET pixman-1)
  find_package(assimp QUIET)
endif()
