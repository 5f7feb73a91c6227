# The Debian package (CPack's DEB generator), vortalux_<version>_<arch>.deb, laid out for the
# system's folders under /usr:
#   games/vortalux                  the launcher: starts the program in its data folder
#   lib/games/vortalux/vortalux     the program (no compiled file may live under share/)
#   share/games/vortalux/gfx/       its pictures, which it reads from the working directory
#   share/applications/vortalux.desktop
#   share/icons/hicolor/<N>x<N>/apps/vortalux.png   N = 16, 32, 48, 64, 128, 256
#   share/metainfo/org.example.vortalux.metainfo.xml   AppStream, for software centres
#   share/man/man6/vortalux.6.gz
#   share/doc/vortalux/             README.md with docs/, copyright, changelog.gz
# All of it is the component "debian", which a plain `cmake --install` leaves out.
include(${CMAKE_CURRENT_LIST_DIR}/debian-texts.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/appstream.cmake)

set(VORTALUX_MAINTAINER "The Vortalux developers <vortalux@example.org>" CACHE STRING
  "Maintainer of the Debian package: name <address>")
set(CPACK_VORTALUX_DEB_PREFIX /usr)  # read by cmake/cpack-generators.cmake
set(deb_program_dir lib/games/vortalux)
set(deb_data_dir share/games/vortalux)
set(deb_doc_dir share/doc/vortalux)
set(deb_launcher ${CPACK_VORTALUX_DEB_PREFIX}/games/vortalux)
set(deb_program ${CPACK_VORTALUX_DEB_PREFIX}/${deb_program_dir}/vortalux)
set(deb_data ${CPACK_VORTALUX_DEB_PREFIX}/${deb_data_dir})
set(deb_files ${PROJECT_BINARY_DIR}/debian)

vortalux_debian_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md vortalux "${VORTALUX_MAINTAINER}"
  ${deb_files}/changelog deb_date)
vortalux_debian_copyright(${PROJECT_SOURCE_DIR}/LICENSE Vortalux ${deb_files}/copyright)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vortalux-games.sh.in ${deb_files}/vortalux @ONLY)
set(desktop_exec ${deb_launcher})
configure_file(${CMAKE_CURRENT_LIST_DIR}/vortalux.desktop.in ${deb_files}/vortalux.desktop @ONLY)
vortalux_metainfo(${CMAKE_CURRENT_LIST_DIR}/vortalux.metainfo.xml.in ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  "${VORTALUX_SUMMARY}" "${VORTALUX_ABOUT}" ${deb_files}/${VORTALUX_METAINFO_ID}.metainfo.xml)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vortalux.6.in ${deb_files}/vortalux.6 @ONLY)

# Debian wants both compressed to the maximum and without a time stamp.
find_program(VORTALUX_GZIP gzip REQUIRED)
set(compressed ${deb_files}/changelog.gz ${deb_files}/vortalux.6.gz)
foreach(gz IN LISTS compressed)
  string(REGEX REPLACE "\\.gz$" "" plain ${gz})
  add_custom_command(OUTPUT ${gz}
    COMMAND ${VORTALUX_GZIP} -9nkf ${plain}
    DEPENDS ${plain}
    VERBATIM)
endforeach()
add_custom_target(vortalux_debian_texts ALL DEPENDS ${compressed})

set(component COMPONENT debian EXCLUDE_FROM_ALL)
install(TARGETS vortalux RUNTIME DESTINATION ${deb_program_dir} ${component})
install(PROGRAMS ${deb_files}/vortalux DESTINATION games ${component})
install(DIRECTORY ${VORTALUX_RUNTIME_DIR}/gfx DESTINATION ${deb_data_dir} ${component})
install(FILES ${deb_files}/vortalux.desktop DESTINATION share/applications ${component})
install(DIRECTORY ${VORTALUX_ICONS_DIR}/ DESTINATION share/icons/hicolor ${component})
install(FILES ${deb_files}/${VORTALUX_METAINFO_ID}.metainfo.xml DESTINATION share/metainfo
  ${component})
install(FILES ${deb_files}/vortalux.6.gz DESTINATION share/man/man6 ${component})
install(FILES ${deb_files}/copyright ${deb_files}/changelog.gz ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${deb_doc_dir} ${component})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${deb_doc_dir} ${component}
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_PACKAGE_NAME vortalux)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VORTALUX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
vortalux_wrap("${VORTALUX_ABOUT}" "" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
# The libraries it links come from dpkg-shlibdeps; SDL opens the OpenGL window system libraries
# only at run time, so those are named here: GLX (libGL.so.1) on X11 and EGL (libEGL.so.1) on
# Wayland. Where the compositor leaves window decorations to the program (GNOME), SDL draws
# --window's title bar and borders through libdecor, which loads a plugin to draw them; without
# one the window has none, so the plugin is recommended, as libdecor itself recommends it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libdecor-0-plugin-1-cairo | libdecor-0-plugin-1")
