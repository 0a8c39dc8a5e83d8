#pragma once
// The option pass: every argument that starts with '-' is an option, selected
// by its second character, with the rest of the argument as its value.

#include "driver/run_options.h"

struct OptionPassResult {
    bool ok = true;                     // false: a -h or -l file failed to open
    const char* output_name = nullptr;  // the -o value; null when not given
};

// Fills options from argv[1 .. argc-1]; the last of repeated options wins.
// Checks that the -h file opens for reading and the -l file for appending
// (creating it), reporting a failure through tool_error and stopping there.
OptionPassResult run_option_pass(int argc, char** argv, RunOptions& options);
