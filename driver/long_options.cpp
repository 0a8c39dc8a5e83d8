#include "driver/long_options.h"

#include "driver/banner.h"

#include <QCoreApplication>

#include <cstring>

LongOption long_option_of(const char* argument) {
    if (std::strcmp(argument, "--help") == 0) {
        return LongOption::Help;
    }
    if (std::strcmp(argument, "--version") == 0) {
        return LongOption::Version;
    }
    return LongOption::None;
}

QString help_text(const char* invocation) {
    // The usage line leaves out -v and -e; the list below names them all.
    return usage_text(invocation) +
           QCoreApplication::translate(
               "Option list of the quillon tool",
               "Options (each value is glued to its letter, as in -hheader.txt):\n"
               "  -o<outfile>     write the report to <outfile> instead of the input's name\n"
               "                  with .rod replaced by .req.xml\n"
               "  -h<headerfile>  add the header section read from <headerfile>\n"
               "  -l<logfile>     append one line naming each report written to <logfile>\n"
               "  -v              echo every requirement on standard output\n"
               "  -e              element mode: every element of a test gets its own verdict\n"
               "  --help          print this help and exit\n"
               "  --version       print the name and version and exit\n",
               "Printed by --help after the usage line; keep the option names and the "
               "alignment");
}
