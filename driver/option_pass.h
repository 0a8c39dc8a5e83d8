#pragma once
// The option pass: every argument that starts with '-' is an option, selected
// by its second character, with the rest of the argument as its value.

#include "report/run_options.h"

// Fills options from argv[1 .. argc-1], the last of repeated options
// winning, without touching any file; returns the -o value, null when not
// given.
const char* read_options(int argc, char** argv, RunOptions& options);

// Checks, in the order of the arguments, that every -h file opens for
// reading and every -l file for appending (which creates it), reporting the
// first failure through tool_error; false then.
bool check_option_files(int argc, char** argv);
