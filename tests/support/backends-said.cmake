# Run by ctest after the tests: its line is the last of the run.
if("$ENV{KORVIMAND_TEST_SQLITE_ONLY}" STREQUAL "1")
  message("korvimand tests: SQLITE ONLY (KORVIMAND_TEST_SQLITE_ONLY=1): PostgreSQL was not tested")
elseif("$ENV{KORVIMAND_TEST_PG}" STREQUAL "")
  message("korvimand tests: no PostgreSQL server (KORVIMAND_TEST_PG is not set), so its tests failed: "
          "start one with eval \"$(scripts/pg-start)\", or set KORVIMAND_TEST_SQLITE_ONLY=1 to test SQLite only")
endif()
