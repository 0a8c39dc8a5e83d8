#pragma once
// What a run writes must never replace what it reads: no report and no log
// may be one of the run's input files (its ROD files or its header file),
// whatever the spelling, and the log may not be one of its reports. The
// temporary file beside a report counts as an output: it may be neither an
// input nor the log.

#include "report/run_options.h"

// Checks the report names (output_name when given, else each input's
// default report name) and the log file against the inputs of argv and
// against each other. Runs before the option files are opened (which
// creates the log), so that a refused run touches nothing. Reports the
// first clash through tool_error and answers false.
bool outputs_spare_inputs(int argc, char** argv, const RunOptions& options,
                          const char* output_name);
