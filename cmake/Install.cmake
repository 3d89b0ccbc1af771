# cmake --install: the two programs, the schema files, an example of the
# installed tree, the man pages and the nightly examples of contrib/; and the
# Debian package built from the same rules (cpack, or the package target).
include(GNUInstallDirs)

install(TARGETS korvimand korvimand-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/db/schema/sqlite.sql ${PROJECT_SOURCE_DIR}/db/schema/postgresql.sql
        DESTINATION ${CMAKE_INSTALL_DATADIR}/korvimand/schema)
# korvimand reads its configuration four folders above its working directory.
install(FILES ${PROJECT_SOURCE_DIR}/contrib/example/README DESTINATION ${CMAKE_INSTALL_DATADIR}/korvimand/example)
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_DATADIR}/korvimand/example/files)
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_DATADIR}/korvimand/example/werk/bde/korvimand/lauf)
install(FILES ${MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/contrib/korvimand.service ${PROJECT_SOURCE_DIR}/contrib/korvimand.timer
              ${PROJECT_SOURCE_DIR}/contrib/korvimand.logrotate
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
# Debian's changelog.gz, compressed without a time stamp so that builds agree.
configure_file(${PROJECT_SOURCE_DIR}/contrib/debian/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/changelog)
install(FILES ${PROJECT_SOURCE_DIR}/contrib/debian/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The service's system user: created by the package's postinst from this
# entry; removing or purging the package leaves it and the operator's trees.
install(FILES ${PROJECT_SOURCE_DIR}/contrib/korvimand.sysusers DESTINATION lib/sysusers.d RENAME korvimand.conf)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvimand)
set(CPACK_PACKAGE_CONTACT "Korvimand maintainers <maintainers@korvimand.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvimand maintainers <maintainers@korvimand.invalid>")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/contrib/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shop-floor data collection: evaluates production-order positions")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "For every selected production-order position korvimand evaluates the booking
messages recorded on the shop floor, stores the results as NZA records, writes
the actual times back into the position and hands it to the production
planning system. korvimand-admin writes the configuration, creates the
tables and shows reports and the message log.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The dependencies are the shared libraries the programs link (dpkg-shlibdeps
# of dpkg-dev finds their packages), never the development packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
