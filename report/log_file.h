#pragma once
// The -l log: one line "REQ <report>" per report put in place.

#include "report/file_problem.h"

// Appends the line naming report_name to the log in a single write, under
// an exclusive lock on the log, so that runs sharing a log never interleave
// inside a line. A line that cannot be written whole is taken back: the log
// is cut to its former length, which removes only this run's bytes. Answers
// why the line is not in the log, if it is not.
FileProblem append_log_line(const char* log_file, const char* report_name);
