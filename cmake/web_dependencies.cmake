# The libraries of a WebAssembly build: static archives that scripts/web builds with emscripten
# from Debian's source packages into one prefix. They take the names of the native build's
# pkg-config targets, so the engine's own CMake is the same for both. No pkg-config here: the
# host's would hand out the host's libraries. No SDL either: a page's platform layer talks to
# the browser itself (src/platform/web_*).
# They live outside the clone, in the cache folder every clone shares (as scripts/web finds it).
if(DEFINED ENV{KRA_CACHE_DIR})
  set(kra_cache "$ENV{KRA_CACHE_DIR}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(kra_cache "$ENV{XDG_CACHE_HOME}/kra")
else()
  set(kra_cache "$ENV{HOME}/.cache/kra")
endif()
set(KRA_WEB_PREFIX "${kra_cache}/web-deps/prefix" CACHE PATH
    "Where scripts/web installed the WebAssembly libraries")
if(NOT EXISTS "${KRA_WEB_PREFIX}/lib/libopenmpt.a")
  message(FATAL_ERROR "No WebAssembly libraries in ${KRA_WEB_PREFIX}: run scripts/web, which builds them")
endif()

# kra_web_library(TARGET include-subfolder archive...)
function(kra_web_library target include_subdir)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set(dirs "${KRA_WEB_PREFIX}/include")
  if(include_subdir)
    list(APPEND dirs "${KRA_WEB_PREFIX}/include/${include_subdir}")
  endif()
  set(archives)
  foreach(name ${ARGN})
    list(APPEND archives "${KRA_WEB_PREFIX}/lib/lib${name}.a")
  endforeach()
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${dirs}"
                                             INTERFACE_LINK_LIBRARIES "${archives}")
endfunction()

kra_web_library(PkgConfig::ZLIB "" z)
kra_web_library(PkgConfig::PNG libpng16 png16 z)
kra_web_library(PkgConfig::MINIZIP minizip minizip z)
kra_web_library(PkgConfig::EXPAT "" expat)
kra_web_library(PkgConfig::MPG123 "" mpg123)
kra_web_library(PkgConfig::OPENMPT "" openmpt)

# The engine's SSE2 code runs on WebAssembly SIMD; exceptions carry a run's early end.
# emscripten offers its own SDL 1 by default: turned off, an SDL include in a file the page
# compiles fails there instead of building against the wrong SDL.
add_compile_options(-msse2 -msimd128 -fexceptions -sUSE_SDL=0)
add_link_options(-fexceptions -sUSE_SDL=0)
