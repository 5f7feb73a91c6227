# The site around the web shell, beside vortalux.js in ${VORTALUX_RUNTIME_DIR}: the page, its
# scripts and style, the web app manifest with its icons (drawn by vortalux-icon), and the
# service worker, written last since its cache name is made of every other file.
set(site_page_files index.html page.js touch.js style.css manifest.json)
set(site_files)
foreach(file IN LISTS site_page_files)
  add_custom_command(OUTPUT ${VORTALUX_RUNTIME_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/web/${file}
      ${VORTALUX_RUNTIME_DIR}/${file}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/web/${file}
    VERBATIM)
  list(APPEND site_files ${VORTALUX_RUNTIME_DIR}/${file})
endforeach()
set(site_icons icon-192.png icon-512.png)
foreach(size 192 512)
  vortalux_icon(${VORTALUX_RUNTIME_DIR}/icon-${size}.png ${size})
  list(APPEND site_files ${VORTALUX_RUNTIME_DIR}/icon-${size}.png)
endforeach()
add_custom_target(vortalux_page ALL DEPENDS ${site_files})
add_dependencies(vortalux vortalux_page)

set(site_worker_files ${site_page_files} ${site_icons} vortalux.js vortalux.wasm vortalux.data)
add_custom_command(OUTPUT ${VORTALUX_RUNTIME_DIR}/service-worker.js
  COMMAND ${CMAKE_COMMAND} -DSITE_DIR=${VORTALUX_RUNTIME_DIR} "-DFILES=${site_worker_files}"
    -DTEMPLATE=${CMAKE_CURRENT_SOURCE_DIR}/web/service-worker.js.in
    -DOUTPUT=${VORTALUX_RUNTIME_DIR}/service-worker.js
    -P ${CMAKE_CURRENT_SOURCE_DIR}/web/service_worker.cmake
  DEPENDS vortalux ${site_files} ${CMAKE_CURRENT_SOURCE_DIR}/web/service-worker.js.in
    ${CMAKE_CURRENT_SOURCE_DIR}/web/service_worker.cmake
  VERBATIM)
add_custom_target(vortalux_service_worker ALL DEPENDS ${VORTALUX_RUNTIME_DIR}/service-worker.js)
