#pragma once
// What a run writes must never replace what it reads: no report and no log
// may be one of the run's input files (its ROD files or its header file),
// whatever the spelling, and the log may not be one of its reports. The
// temporary file beside a report counts as an output: it may be neither an
// input nor the log.

#include "driver/option_pass.h"

// Checks the report names (line.output when given, else each input's
// default report name) and the log file against the inputs of line and
// against each other. Runs before the option files are opened (which
// creates the log), so that a refused run touches nothing. Says the first
// clash and answers false.
bool outputs_spare_inputs(const CommandLine& line);
