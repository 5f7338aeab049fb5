# The libraries of a WebAssembly build: static archives that scripts/web builds with emscripten
# from Debian's source packages into one prefix (prefix_libraries.cmake). No SDL: a page's
# platform layer talks to the browser itself (src/platform/web_*).
include(${CMAKE_CURRENT_LIST_DIR}/prefix_libraries.cmake)
kra_library_prefix(KRA_WEB_PREFIX web-deps WebAssembly scripts/web openmpt)

kra_prefix_library(${KRA_WEB_PREFIX} PkgConfig::ZLIB "" z)
kra_prefix_library(${KRA_WEB_PREFIX} PkgConfig::PNG libpng16 png16 z)
kra_prefix_library(${KRA_WEB_PREFIX} PkgConfig::MINIZIP minizip minizip z)
kra_prefix_library(${KRA_WEB_PREFIX} PkgConfig::EXPAT "" expat)
kra_prefix_library(${KRA_WEB_PREFIX} PkgConfig::MPG123 "" mpg123)
kra_prefix_library(${KRA_WEB_PREFIX} PkgConfig::OPENMPT "" openmpt)

# The engine's SSE2 code runs on WebAssembly SIMD; exceptions carry a run's early end.
# emscripten offers its own SDL 1 by default: turned off, an SDL include in a file the page
# compiles fails there instead of building against the wrong SDL.
add_compile_options(-msse2 -msimd128 -fexceptions -sUSE_SDL=0)
add_link_options(-fexceptions -sUSE_SDL=0)
