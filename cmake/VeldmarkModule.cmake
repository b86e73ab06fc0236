# veldmark_module(name deps...): a static library veldmark_<name> of every .cpp under
# src/<name>, linked to the libraries of the modules it depends on. A module without
# sources yet becomes an interface library so that the dependency graph stays whole.
function(veldmark_module name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  set(deps)
  foreach(dep ${ARGN})
    list(APPEND deps veldmark_${dep})
  endforeach()
  if(sources)
    add_library(veldmark_${name} STATIC ${sources})
    target_include_directories(veldmark_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(veldmark_${name} PUBLIC ${deps})
  else()
    add_library(veldmark_${name} INTERFACE)
    target_include_directories(veldmark_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(veldmark_${name} INTERFACE ${deps})
  endif()
endfunction()
