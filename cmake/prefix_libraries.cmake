# Libraries that one of our scripts built from Debian's source packages into a prefix of its
# own (scripts/web, scripts/windows), taken under the names of the native build's pkg-config
# targets, so the engine's own CMake is the same for every build. No pkg-config here: the
# host's would hand out the host's libraries. The prefixes live outside the clone, in the
# cache folder every clone shares, found as the scripts find it.
if(DEFINED ENV{KRA_CACHE_DIR})
  set(kra_cache "$ENV{KRA_CACHE_DIR}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(kra_cache "$ENV{XDG_CACHE_HOME}/kra")
else()
  set(kra_cache "$ENV{HOME}/.cache/kra")
endif()

# kra_library_prefix(VARIABLE folder what script archive...): the cached path VARIABLE, the
# prefix in the cache's folder, which must hold lib<archive>.a of each archive named.
function(kra_library_prefix variable folder what script)
  set(${variable} "${kra_cache}/${folder}/prefix" CACHE PATH "Where ${script} installed the ${what} libraries")
  foreach(name ${ARGN})
    if(NOT EXISTS "${${variable}}/lib/lib${name}.a")
      message(FATAL_ERROR "No ${what} libraries in ${${variable}}: run ${script}, which builds them")
    endif()
  endforeach()
endfunction()

# kra_prefix_library(PREFIX TARGET include-subfolder archive... [SYSTEM library...]): an
# imported target of PREFIX/lib/lib<archive>.a, in order, and the SYSTEM libraries after them.
function(kra_prefix_library prefix target include_subdir)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "SYSTEM")
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set(dirs "${prefix}/include")
  if(include_subdir)
    list(APPEND dirs "${prefix}/include/${include_subdir}")
  endif()
  set(archives)
  foreach(name ${arg_UNPARSED_ARGUMENTS})
    list(APPEND archives "${prefix}/lib/lib${name}.a")
  endforeach()
  list(APPEND archives ${arg_SYSTEM})
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${dirs}"
                                             INTERFACE_LINK_LIBRARIES "${archives}")
endfunction()
