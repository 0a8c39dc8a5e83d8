#include "driver/run_options.h"

RunOptions run_options;
