# The link check: each layer's static library, linked whole into a shared library with
# --no-undefined and given only the layers its row in cmake/layers.cmake reaches (and the
# outside libraries), must resolve. A call up the layers that no include shows (a function
# declared again in the lower layer) fails here as an undefined reference.
#
# The links are tests, not part of the build: `link_layers.<layer>` builds link_check_<layer>,
# and `link_layers.refuses.<layer>` plants a call upward into the layer and must see the link
# fail on it. They share the build tree, so they run one at a time.
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)

# The plug-in layers `layer` reaches through its row and theirs, itself and host/ left out
# (host/ is the stand-in host library, libFMWrapper.so, every link has).
function(layers_below layer out)
  set(found "")
  set(queue ${allowed_${layer}})
  while(queue)
    list(POP_FRONT queue next)
    if(next STREQUAL layer OR next IN_LIST found)
      continue()
    endif()
    list(APPEND found ${next})
    list(APPEND queue ${allowed_${next}})
  endwhile()
  set(below "")
  foreach(candidate ${PLUGIN_LAYERS})
    if(candidate IN_LIST found)
      list(APPEND below link_layer_${candidate})
    endif()
  endforeach()
  set(${out} ${below} PARENT_SCOPE)
endfunction()

foreach(layer ${PLUGIN_LAYERS})
  add_library(link_layer_${layer} STATIC EXCLUDE_FROM_ALL $<TARGET_OBJECTS:plotwise_${layer}>)
endforeach()

# The test `test` builds `name`: a shared library of `layer` whole and the given sources, linked
# with the layers below `layer`.
function(add_link_check test name layer)
  layers_below(${layer} below)
  add_library(${name} SHARED EXCLUDE_FROM_ALL ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE -Wl,--whole-archive link_layer_${layer} -Wl,--no-whole-archive
                        -Wl,--start-group ${below} -Wl,--end-group FMWrapper ${OUTSIDE_LIBRARIES})
  target_link_options(${name} PRIVATE -Wl,--no-undefined)
  add_test(NAME ${test} COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${name})
  set_tests_properties(${test} PROPERTIES RESOURCE_LOCK plotwise_build_tree)
endfunction()

foreach(layer ${PLUGIN_LAYERS})
  add_link_check(link_layers.${layer} link_check_${layer} ${layer} ${CMAKE_SOURCE_DIR}/boundary/module_anchor.c)
endforeach()

# Upward calls to plant, as <layer>|<header of the layer above>|<symbol>: the engine calling a
# driver function, the boundary referring to a script function.
foreach(plant "engine|driver/chart_styles.h|plotwise::isPieStyle"
              "boundary|boundary/script_functions.h|plotwise::Plotz_Version")
  string(REPLACE "|" ";" plant "${plant}")
  list(GET plant 0 layer)
  list(GET plant 1 header)
  list(GET plant 2 symbol)
  set(source ${CMAKE_BINARY_DIR}/planted/${layer}_upward_call.cpp)
  # Written only when its text changes, so that the planted links are not rebuilt each time.
  file(CONFIGURE OUTPUT ${source} @ONLY CONTENT
       "#include \"${header}\"\nconst void* plantedUpwardCall() { return reinterpret_cast<const void*>(&${symbol}); }\n")
  add_link_check(link_layers.refuses.${layer} link_check_planted_${layer} ${layer} ${source})
  set_tests_properties(link_layers.refuses.${layer} PROPERTIES
                       PASS_REGULAR_EXPRESSION "undefined reference to `${symbol}")
endforeach()
