# The packages, one command each (see CMakePresets.json):
#   cmake --workflow --preset windows-package  ->  build/windows/Vortalux-<version>-win64.zip
#   cmake --workflow --preset linux-package    ->  build/linux-package/Vortalux-<version>-linux-x86_64.tar.gz
#                                                  and build/linux-package/vortalux_<version>_amd64.deb
# The zip and the .tar.gz unpack to one folder with the program, its gfx/ pictures, README.md,
# LICENSE and the pictures README.md shows (docs/images/). The program reads gfx/ from its
# working directory: Windows starts vortalux.exe in its own folder; on Linux the launcher
# `vortalux` changes to its folder and starts bin/vortalux. Those two take what is installed as
# the component "demo"; the .deb takes the component "debian", laid out for the system's folders
# by cmake/debian-package.cmake (cmake/cpack-generators.cmake picks one per generator).
if(NOT TARGET vortalux)
  return()
endif()

if(WIN32)
  install(TARGETS vortalux RUNTIME DESTINATION . COMPONENT demo)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  install(TARGETS vortalux RUNTIME DESTINATION bin COMPONENT demo)
  install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/vortalux-launcher.sh DESTINATION . RENAME vortalux
    COMPONENT demo)
  set(CPACK_GENERATOR TGZ)
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
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
# The pictures README.md shows, at the same path beside it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION docs COMPONENT demo
  FILES_MATCHING PATTERN "*.png")

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
