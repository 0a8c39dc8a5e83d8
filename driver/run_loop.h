#pragma once
// The file pass: one requirement report per ROD file on the command line.

#include "report/run_options.h"

#include <string>
#include <string_view>

// The report name of an input: ".rod" or ".ROD" replaced by ".req.xml" (any
// other ending kept, and ".req.xml" appended); the directory part stays.
std::string default_report_name(std::string_view input);

// Reads every argument that does not start with '-' as a ROD file and writes
// its report under output_name when given (even empty), else under its
// default report name. Inputs that are rejected, or that cannot be read to
// their end, are skipped with a message and get no report. Returns 0, or -1
// when memory runs out (reading an input, naming or writing its report): the
// run stops there, and the reports of earlier inputs stay.
int run_inputs(int argc, char** argv, const RunOptions& options, const char* output_name);
