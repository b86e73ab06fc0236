# veldmark_module(name deps...): a static library veldmark_<name> of every .cpp under
# src/<name>, linked to the libraries of the modules it depends on. These lines in the top
# CMakeLists.txt are the one table of which module may use which; scripts/check_includes.sh
# reads them too.
#
# A module sees only the headers it may use: it compiles against an include folder of its own
# in the build tree that holds links to its own folder and to those of the modules it depends
# on, directly or through them. Including anything else fails to compile.
#
# Programs, tests and benchmarks outside the modules see every header through veldmark_headers.
function(veldmark_module name)
  set(visible ${name})
  foreach(dep ${ARGN})
    get_property(dep_visible GLOBAL PROPERTY VELDMARK_VISIBLE_${dep})
    if(NOT dep_visible)
      message(FATAL_ERROR "module ${name} depends on ${dep}, which is not declared before it")
    endif()
    list(APPEND visible ${dep_visible})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_property(GLOBAL PROPERTY VELDMARK_VISIBLE_${name} ${visible})

  set(include_root ${PROJECT_BINARY_DIR}/module_include/${name})
  file(REMOVE_RECURSE ${include_root})
  file(MAKE_DIRECTORY ${include_root})
  foreach(module ${visible})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${module} ${include_root}/${module} SYMBOLIC)
  endforeach()

  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  set(deps)
  foreach(dep ${ARGN})
    list(APPEND deps veldmark_${dep})
  endforeach()
  if(sources)
    add_library(veldmark_${name} STATIC ${sources})
    target_include_directories(veldmark_${name} PRIVATE ${include_root})
    target_link_libraries(veldmark_${name} PUBLIC ${deps})
  else()
    add_library(veldmark_${name} INTERFACE)
    target_link_libraries(veldmark_${name} INTERFACE ${deps})
  endif()
endfunction()

add_library(veldmark_headers INTERFACE)
target_include_directories(veldmark_headers INTERFACE ${PROJECT_SOURCE_DIR}/src)
