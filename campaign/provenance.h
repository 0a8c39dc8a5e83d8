#pragma once
// What a reviewer files with a campaign's page or JSON, besides each
// report's own provenance (report_result.h): when it was made, by which
// version, from which command line, and against which baseline, made when.

#include <string>
#include <vector>

struct CampaignProvenance {
    std::string generated;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"
    std::string tool_version;
    std::vector<std::string> arguments;  // after the program's name, bytes as given
    std::string baseline;                // the --baseline file as given; empty without one
    std::string baseline_generated;      // the baseline's own time; empty when it gives none
};

// $SOURCE_DATE_EPOCH when it holds a number of seconds since 1970
// (reproducible runs), else now; as CampaignProvenance::generated.
std::string generation_time();

// An argument as a text, decoded from the local encoding (bytes that
// decode to nothing become U+FFFD), in UTF-8.
std::string shown_argument(const std::string& bytes);

// The command line as one would type it into a POSIX shell:
// "quillon-campaign", then each argument as shown_argument gives it, left
// bare when it holds only characters no shell treats specially, else
// quoted: in '...' (a ' written '\''), or in $'...' when it holds a control
// character (written \n, \t, \r or \xHH).
std::string shown_command_line(const std::vector<std::string>& arguments);
