# The packages, one command each (see CMakePresets.json):
#   cmake --workflow --preset windows-package  ->  build/windows/Vortalux-<version>-win64.zip
#                                                  and build/windows/Vortalux-<version>-win64.exe
#   cmake --workflow --preset linux-package    ->  build/linux-package/Vortalux-<version>-linux-x86_64.tar.gz
#                                                  and build/linux-package/vortalux_<version>_amd64.deb
# The zip and the .tar.gz unpack to one folder with the program, its gfx/ pictures, README.md,
# LICENSE and the pages and pictures README.md links to (docs/); the zip also with
# licenses/SDL2.txt and a .cmd that starts the original program, the .tar.gz with share/, the
# desktop entry and icons to copy into ~/.local/share. Each package has its SHA-256 sum beside it
# (<package>.sha256). The program reads gfx/ from its
# working directory: Windows starts vortalux.exe in its own folder; on Linux the launcher
# `vortalux` changes to its folder and starts bin/vortalux. Those two take what is installed as
# the component "demo"; the .deb takes the component "debian", laid out for the system's folders
# by cmake/debian-package.cmake (cmake/cpack-generators.cmake picks one per generator).
if(NOT TARGET vortalux)
  return()
endif()

if(WIN32)
  install(TARGETS vortalux RUNTIME DESTINATION . COMPONENT demo)
  # SDL is linked into the .exe: its licence and the notices of its sources go with it.
  get_target_property(sdl2_license vortalux VORTALUX_SDL2_LICENSE)
  if(NOT EXISTS "${sdl2_license}")
    message(FATAL_ERROR "SDL2's licence is missing at ${sdl2_license}: run tools/deps.sh sdl2-windows")
  endif()
  install(FILES ${sdl2_license} DESTINATION licenses RENAME SDL2.txt COMPONENT demo)
  # The original program without a terminal: a double-click starts vortalux.exe --classic in its
  # own folder (the installer has a Start-menu shortcut for it as well).
  set(classic_launcher "${PROJECT_BINARY_DIR}/Vortalux (original 1024x768).cmd")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/vortalux-classic.cmd.in ${classic_launcher}
    @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${classic_launcher} DESTINATION . COMPONENT demo)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  # The installer, Vortalux-<version>-win64.exe, from makensis (Debian: nsis) and the template
  # in cmake/nsis/; it holds what the zip holds, less the top folder.
  find_program(VORTALUX_MAKENSIS makensis)
  if(VORTALUX_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
    set(CPACK_NSIS_EXECUTABLE ${VORTALUX_MAKENSIS})
    set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Vortalux)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vortalux)
    set(CPACK_NSIS_DISPLAY_NAME Vortalux)
    set(CPACK_NSIS_PACKAGE_NAME Vortalux)
    set(CPACK_VORTALUX_CLASSIC_NAME "Vortalux (original 1024x768)")
    get_target_property(CPACK_VORTALUX_ICON vortalux VORTALUX_ICO)
    get_target_property(CPACK_VORTALUX_COPYRIGHT vortalux VORTALUX_COPYRIGHT)
    set(CPACK_VORTALUX_VERSION4 ${PROJECT_VERSION}.0)
  else()
    message(STATUS "No installer: it needs makensis (Debian: nsis)")
  endif()
else()
  install(TARGETS vortalux RUNTIME DESTINATION bin COMPONENT demo)
  install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/vortalux-launcher.sh DESTINATION . RENAME vortalux
    COMPONENT demo)
  set(CPACK_GENERATOR TGZ)
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
  # What desktops and software centres show of it (the .deb's metainfo too).
  set(VORTALUX_SUMMARY "Drive a generated track past glowing flares, full screen")
  set(VORTALUX_ABOUT "A generated ribbon track climbs, dips and banks; low walls line it, gates \
close its ends, 300 flare markers glow brighter as you near them, and a sky picture scrolls \
behind everything. Hold the up arrow to drive, the left and right arrows to turn; Escape quits. \
The screen is switched to 1024x768 while it runs.")
  # The desktop entry and the hicolor icons, drawn at every size desktops ask for, under share/
  # as in ~/.local/share; the archive's entry starts `vortalux` from the PATH (README.md says
  # how to point it at the unpacked launcher instead).
  if(TARGET vortalux-icon)
    set(VORTALUX_ICONS_DIR ${PROJECT_BINARY_DIR}/hicolor)
    set(icons "")
    foreach(size 16 32 48 64 128 256)
      set(icon ${VORTALUX_ICONS_DIR}/${size}x${size}/apps/vortalux.png)
      vortalux_icon(${icon} ${size})
      list(APPEND icons ${icon})
    endforeach()
    add_custom_target(vortalux_icons ALL DEPENDS ${icons})
    install(DIRECTORY ${VORTALUX_ICONS_DIR}/ DESTINATION share/icons/hicolor COMPONENT demo)
  endif()
  set(desktop_exec vortalux)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/vortalux.desktop.in
    ${PROJECT_BINARY_DIR}/archive/vortalux.desktop @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/archive/vortalux.desktop DESTINATION share/applications
    COMPONENT demo)
  # The .deb takes its dependencies from dpkg-shlibdeps (dpkg-dev), which CPack runs through
  # `file`, and its icons from the native build's vortalux-icon; without them, the archive only.
  find_program(VORTALUX_DPKG_SHLIBDEPS dpkg-shlibdeps)
  find_program(VORTALUX_FILE file)
  if(TARGET vortalux-icon AND VORTALUX_DPKG_SHLIBDEPS AND VORTALUX_FILE)
    list(APPEND CPACK_GENERATOR DEB)
    include(${CMAKE_CURRENT_LIST_DIR}/debian-package.cmake)
  else()
    message(STATUS "No .deb: it needs dpkg-shlibdeps (dpkg-dev), file and a native build")
  endif()
endif()
# gfx/ is made by the build (vortalux_gfx); packaging a build without it fails here, loudly.
install(DIRECTORY ${VORTALUX_RUNTIME_DIR}/gfx DESTINATION . COMPONENT demo)
foreach(document README.md LICENSE)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${document})
    install(FILES ${PROJECT_SOURCE_DIR}/${document} DESTINATION . COMPONENT demo)
  else()
    message(WARNING "${document} is missing: the package will lack it")
  endif()
endforeach()
# The pages and pictures README.md links to, at the same paths beside it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION . COMPONENT demo
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

set(CPACK_PACKAGE_NAME Vortalux)
set(CPACK_PACKAGE_VENDOR "Vortalux developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen 3D driving demo drawn with OpenGL 1.1")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)  # the same with component installs
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL demo)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-generators.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
