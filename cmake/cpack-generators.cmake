# Read by CPack once per generator (CPACK_PROJECT_CONFIG_FILE): the archives take the folder
# layout, the component "demo"; the .deb takes the system layout, the component "debian" under
# the prefix cmake/debian-package.cmake names; the Windows installer takes everything.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL debian)
  set(CPACK_PACKAGING_INSTALL_PREFIX ${CPACK_VORTALUX_DEB_PREFIX})
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
elseif(CPACK_GENERATOR STREQUAL "NSIS")
  # One section with every file (a Windows build installs the component "demo" only), laid out
  # in the install folder itself.
  set(CPACK_MONOLITHIC_INSTALL ON)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_COMPONENTS_ALL demo)
endif()
