// korvimand-admin init-db: creates the program's tables.
#include <cstdio>

#include "tools/Admin.h"

int adminInitDb(int, char**) {
    std::fputs("korvimand-admin init-db: not available in this build\n", stderr);
    return 1;
}
