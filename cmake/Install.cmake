# Where installed files go, and the pieces every front end installs the same
# way.  Included before the source folders so their install rules can use it.
include(GNUInstallDirs)

set(TUNEBASE_APPSTREAM_ID example.brimlow.tunebase)
set(TUNEBASE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tunebase)

find_program(GZIP_PROGRAM gzip REQUIRED)

# Installs docs/man/NAME.1 compressed, as Debian's policy wants manual pages:
# gzip -9 without a name or time stamp, so the package is reproducible.
function(tunebase_install_manpage name)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${name}.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${name}.1.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${source} > ${compressed}
    DEPENDS ${source} VERBATIM)
  add_custom_target(${name}-manpage ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
