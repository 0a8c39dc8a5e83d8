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

// The long option an argument is: Help for exactly "--help", Version for
// exactly "--version", None for anything else.
LongOption long_option_of(const char* argument);

// The text --help prints: the usage line naming the invocation, then the
// option list, both translated.
QString help_text(const char* invocation);
