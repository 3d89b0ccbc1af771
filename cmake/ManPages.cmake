# The man pages korvimand(1) and korvimand-admin(1): written in scdoc, the
# version filled in, converted and compressed at build time (Debian ships
# man pages gzipped).
find_program(SCDOC scdoc)
if(NOT SCDOC)
  message(FATAL_ERROR "scdoc is missing; scripts/setup installs it")
endif()
find_program(GZIP gzip REQUIRED)

set(MAN_PAGES)
foreach(page korvimand korvimand-admin)
  set(filled ${PROJECT_BINARY_DIR}/man/${page}.1.scd)
  set(roff ${PROJECT_BINARY_DIR}/man/${page}.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1.scd ${filled} @ONLY)
  add_custom_command(
    OUTPUT ${roff} ${roff}.gz
    COMMAND ${SCDOC} < ${filled} > ${roff}
    COMMAND ${GZIP} -9 -n -c ${roff} > ${roff}.gz
    DEPENDS ${filled}
    COMMENT "Man page ${page}(1)"
    VERBATIM)
  list(APPEND MAN_PAGES ${roff}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${MAN_PAGES})
