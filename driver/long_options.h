#pragma once
// --help and --version, the two long options every user tries first.
//
// The option pass reads an argument by its second character only, so a long
// option means nothing to it ("--help" selects no letter). These two whole
// arguments get their usual meaning instead: anywhere on the command line,
// they win over everything else, and no input file is read. When both are
// given, the first one answers. Every other argument, "-help" and "--"
// included, keeps its old reading.

#include <QString>

enum class LongOption { None, Help, Version };

// The first argument of argv[1 .. argc-1] that is exactly "--help" or
// "--version"; None when there is no such argument.
LongOption find_long_option(int argc, char** argv);

// The text --help prints: the usage line naming the invocation, then the
// option list, both translated.
QString help_text(const char* invocation);

// Answers a --help or --version on standard output and returns true; returns
// false, printing nothing, when the command line holds neither. The caller
// ends the process with status 0 after a true.
bool answer_long_option(int argc, char** argv);
