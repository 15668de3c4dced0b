# `make package`: a Debian package of everything `make install` installs,
# with /usr as prefix.  Runtime dependencies come from dpkg-shlibdeps over
# the installed programs.
set(TUNEBASE_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${TUNEBASE_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/resources/packaging/changelog > ${TUNEBASE_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/packaging/changelog VERBATIM)
add_custom_target(tunebase-changelog ALL DEPENDS ${TUNEBASE_CHANGELOG})
install(FILES ${TUNEBASE_CHANGELOG} ${PROJECT_SOURCE_DIR}/resources/packaging/copyright
        DESTINATION ${TUNEBASE_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tunebase)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Brimlow)
set(CPACK_PACKAGE_CONTACT "Brimlow <tunebase@brimlow.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue, tag and rename MP3 files")
set(CPACK_PACKAGE_DESCRIPTION
"Tunebase keeps a catalogue of MP3 files. It reads each file's stream
details, its ID3v1 and ID3v2 tags and the track details that folder and
file names carry, and keeps one track per file in a collection file.
.
The desktop program browses the collection in a tree grouped by any field
beside a sortable, filterable list, edits tracks and shared values, writes
tags, renames files after formats, re-links moved files, builds playlists,
exports, prints and charts statistics. The command line tunebase-cli runs
over the same core.")
set(CPACK_PACKAGE_FILE_NAME "tunebase_${PROJECT_VERSION}_amd64")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brimlow.example/tunebase/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icons and the desktop's handlers for the collection type.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-svg-plugins, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/resources/packaging/postinst
    ${PROJECT_SOURCE_DIR}/resources/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
