#pragma once
// The options of one run of the tool: set by the option pass and handed to
// the report writer, which they shape.

#include <string_view>

struct RunOptions {
    const char* header_file = nullptr;  // -h value: header section source
    // The header section, made once from the -h file before the first
    // report; empty without one.
    std::string_view header_section = {};
    const char* log_file = nullptr;  // -l value: one line per report written
    bool verbose = false;            // -v: echo every requirement on stdout
    bool element_mode = false;       // -e: write ELEMENT elements
};
