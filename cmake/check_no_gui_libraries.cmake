# Fails when the shared library LIBRARY, or one of the project's own libraries beside it that it
# needs, needs a window-system or OpenGL library: the add-on sees windows only through the dialog
# toolkit and pixels only through the render device, so the host that loads it decides which
# backend draws.
# usage: cmake -DLIBRARY=path -P check_no_gui_libraries.cmake
function(check_library path)
  execute_process(COMMAND readelf -d ${path} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the dynamic section of ${path}")
  endif()
  get_filename_component(folder ${path} DIRECTORY)
  string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]*\\]" needed "${dynamic}")
  foreach(entry ${needed})
    string(REGEX REPLACE ".*\\[([^]]*)\\]" "\\1" name "${entry}")
    if(name MATCHES "^(libwx|libGL|libEGL|libOpenGL|libOSMesa|libgtk|libgdk|libX11|libGLU)")
      message(FATAL_ERROR "${LIBRARY} must not link ${name} (needed by ${path})")
    endif()
    if(name MATCHES "^libkolvane_" AND EXISTS ${folder}/${name})
      check_library(${folder}/${name})
    endif()
  endforeach()
endfunction()
check_library(${LIBRARY})
