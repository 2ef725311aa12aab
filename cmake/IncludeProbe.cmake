# kolvane_add_include_probe(NAME TARGET SEEN header... HIDDEN header...): a CTest case that compiles
# a one-line file per header with TARGET's include folders and definitions (its own and those of
# every target it links). Each SEEN header must compile; each HIDDEN one must fail as not found,
# which proves that TARGET's layer cannot include it. The script is cmake/include_probe.cmake.
function(kolvane_add_include_probe name target)
  cmake_parse_arguments(PARSE_ARGV 2 probe "" "" "SEEN;HIDDEN")
  if(NOT probe_SEEN OR NOT probe_HIDDEN)
    message(FATAL_ERROR "kolvane_add_include_probe(${name}): give SEEN and HIDDEN headers")
  endif()
  # An interface library has only the interface properties (still transitive through its links).
  get_target_property(type ${target} TYPE)
  set(prefix "")
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(prefix INTERFACE_)
  endif()
  string(JOIN "|" seen ${probe_SEEN})
  string(JOIN "|" hidden ${probe_HIDDEN})
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND}
      -DCOMPILER=${CMAKE_CXX_COMPILER}
      "-DINCLUDES=$<JOIN:$<TARGET_PROPERTY:${target},${prefix}INCLUDE_DIRECTORIES>,|>"
      "-DDEFINES=$<JOIN:$<TARGET_PROPERTY:${target},${prefix}COMPILE_DEFINITIONS>,|>"
      -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${name}
      "-DSEEN=${seen}" "-DHIDDEN=${hidden}"
      -P ${CMAKE_SOURCE_DIR}/cmake/include_probe.cmake)
  set_tests_properties(${name} PROPERTIES LABELS layers)
endfunction()
