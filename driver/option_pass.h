#pragma once
// The command line, read once into one value that every later step takes.
//
// Every argument that starts with '-' and has a second character is an
// option, selected by that character, with the rest of the argument as its
// value; every argument that does not start with '-' is an input. "--help" and "--version" are
// the long options (driver/long_options.h).

#include "driver/long_options.h"
#include "report/run_options.h"

#include <string>
#include <vector>

// An -h or -l value, as it stands among the arguments.
struct OptionFile {
    char letter;
    const char* name;
};

struct CommandLine {
    const char* program = "";                   // argv[0], which the usage line names
    bool empty = true;                          // no argument at all
    LongOption long_option = LongOption::None;  // the first --help or --version
    RunOptions options;                         // the last of a repeated option wins
    const char* output = nullptr;               // -o value; null: each input's own name
    std::vector<const char*> inputs;            // in the order given
    std::vector<OptionFile> option_files;       // every -h and -l, in the order given
};

// Reads argv[0 .. argc-1], up to a null pointer, without touching any file.
CommandLine read_command_line(int argc, char** argv);

// Checks, in the order of the arguments, that every -h file opens for
// reading and every -l file for appending (which creates it); says why the
// first that does not, and answers false.
bool check_option_files(const CommandLine& line);

// Reads the -h file, when there is one, and makes its header section once
// for every report; says why it cannot and answers false. Memory running
// out throws std::bad_alloc.
bool make_header_section(const CommandLine& line, std::string& section);
