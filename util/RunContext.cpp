#include "util/RunContext.h"

RunContext runContext;
