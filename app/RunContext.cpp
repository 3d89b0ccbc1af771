#include "app/RunContext.h"

RunContext runContext;
