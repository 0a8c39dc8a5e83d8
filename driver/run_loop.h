#pragma once
// The file pass: one requirement report per ROD file on the command line.

#include "driver/option_pass.h"

#include <string>
#include <string_view>

// The report name of an input: ".rod" or ".ROD" replaced by ".req.xml" (any
// other ending kept, and ".req.xml" appended); the directory part stays.
std::string default_report_name(std::string_view input);

// Reads every input of line as a ROD file and writes its report under
// line.output when given (even empty), else under its default report name.
// Inputs that are rejected, or that cannot be read to their end, are skipped
// with a message and get no report; so does every report that fails. Memory
// running out anywhere throws std::bad_alloc, for main to say: the run stops
// there, and the reports of earlier inputs stay.
void run_inputs(const CommandLine& line);
