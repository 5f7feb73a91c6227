# The program's icon, drawn at build time by the project's icon tool (tools/pictures,
# vortalux-icon) at any size a package needs. Included before any folder is read, so every
# folder may call
#
#   vortalux_icon(<output-file> <size>...)
#
# which adds the custom command writing <output-file> (relative paths are under the current
# binary folder). A .png takes one size, 16 to 1024; a .ico takes the sizes it holds, 16 to 256
# (none: 16, 24, 32, 48, 64 and 256). As with any custom command, list the file in a target of
# the same folder (e.g. add_custom_target(<name> ALL DEPENDS <output-file>)); that target then
# builds the tool first. Native builds run the tool they build; cross builds (Windows,
# Emscripten) cannot run their own programs, so tools/pictures builds the tool again for the
# host into VORTALUX_HOST_TOOLS_DIR (the target vortalux_host_tools) and this runs that one.
set(VORTALUX_HOST_TOOLS_DIR ${PROJECT_BINARY_DIR}/host-tools)
set(VORTALUX_HOST_SUFFIX "")
if(CMAKE_HOST_WIN32)
  set(VORTALUX_HOST_SUFFIX .exe)
endif()

function(vortalux_icon output)
  cmake_path(ABSOLUTE_PATH output BASE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} NORMALIZE)
  cmake_path(GET output PARENT_PATH folder)
  set(size_args "")
  foreach(size IN LISTS ARGN)
    list(APPEND size_args --size ${size})
  endforeach()
  if(CMAKE_CROSSCOMPILING)
    set(tool ${VORTALUX_HOST_TOOLS_DIR}/vortalux-icon${VORTALUX_HOST_SUFFIX})
    set(tool_depends vortalux_host_tools ${tool})
  else()
    set(tool vortalux-icon)
    set(tool_depends vortalux-icon)
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${tool} ${size_args} ${output}
    DEPENDS ${tool_depends}
    COMMENT "Drawing the icon ${output}"
    VERBATIM)
endfunction()
