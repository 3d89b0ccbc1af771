# Writes the two schema files into a header as raw string literals.
file(READ ${SQLITE} sqlite_text)
file(READ ${POSTGRES} postgres_text)
file(WRITE ${OUT} "#pragma once\n// Generated from db/schema/*.sql at build time.\nnamespace schema {\ninline constexpr const char* sqliteText = R\"KORVISQL(${sqlite_text})KORVISQL\";\ninline constexpr const char* postgresText = R\"KORVISQL(${postgres_text})KORVISQL\";\n}\n")
