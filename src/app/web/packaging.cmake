# The web site as one zip (CPack): cmake --workflow --preset web-package ->
# build/web/Vortalux-<version>-web.zip, unpacking to a folder that any static web server serves:
# index.html, its scripts and style, the manifest and its icons, the service worker, vortalux.js,
# vortalux.wasm, vortalux.data, README.md with the pages and pictures it links to (docs/), LICENSE.
if(NOT TARGET vortalux)
  return()
endif()
foreach(file index.html page.js touch.js style.css manifest.json icon-192.png icon-512.png
    service-worker.js vortalux.js vortalux.wasm vortalux.data)
  install(FILES ${VORTALUX_RUNTIME_DIR}/${file} DESTINATION . COMPONENT demo)
endforeach()
foreach(document README.md LICENSE)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${document})
    install(FILES ${PROJECT_SOURCE_DIR}/${document} DESTINATION . COMPONENT demo)
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION . COMPONENT demo
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Vortalux)
set(CPACK_PACKAGE_VENDOR "Vortalux developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-web)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL demo)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
