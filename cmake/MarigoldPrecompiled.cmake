# Reading <windows.h> is most of what compiling one of our files costs (about two seconds each with
# mingw-w64), so every C++ file starts from a precompiled copy of it. One copy is made for what ships
# and one for everything else, as the two are compiled with different exception settings; each target
# reuses its kind's copy. A file that must not see <windows.h> (it uses std::min and std::max) or that
# is compiled with other settings says so with SKIP_PRECOMPILE_HEADERS.
#   marigold_precompile_windows_h()      after every target is defined

function(marigold_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    marigold_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(marigold_precompile_windows_h)
  marigold_targets_below(${CMAKE_SOURCE_DIR} targets)
  set(owner_shipped "")
  set(owner_other "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(NOT sources)
      continue()
    endif()
    get_target_property(is_shipped ${target} MARIGOLD_SHIPPED)
    if(is_shipped)
      set(kind shipped)
    else()
      set(kind other)
    endif()
    if(NOT owner_${kind})
      if(kind STREQUAL "shipped")
        set(owner_${kind} ${target})
      else()
        # A target that reuses a header depends on the one that made it: the tests' copy is made by a
        # target of its own, so that building one test program does not build another first.
        set(owner_${kind} marigold_windows_h)
        file(WRITE "${CMAKE_BINARY_DIR}/marigold_windows_h.cpp" "")
        add_library(marigold_windows_h OBJECT "${CMAKE_BINARY_DIR}/marigold_windows_h.cpp")
      endif()
      target_precompile_headers(${owner_${kind}} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:<windows.h$<ANGLE-R>>")
    endif()
    if(NOT target STREQUAL owner_${kind})
      target_precompile_headers(${target} REUSE_FROM ${owner_${kind}})
    endif()
  endforeach()
endfunction()
