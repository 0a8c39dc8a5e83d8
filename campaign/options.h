#pragma once
// The command line of quillon-campaign: GNU-style long options ("--html FILE"
// or "--html=FILE"), anything else an input. A repeated option keeps its last
// value, except --log, which may name several logs.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

enum class FailOn { None, Ko, Regression };

// File names are bytes, as the command line gave them: a name that is valid
// in no encoding still names its file.
struct CampaignOptions {
    std::vector<std::string> arguments;  // the whole command line after the program's name
    std::vector<std::string> inputs;
    std::vector<std::string> logs;
    std::string html;
    std::string pages;  // the report pages' folder; by default beside html
    std::string csv;
    std::string junit;
    std::string json;
    std::string baseline;
    // --history: an SQLite file or a postgresql:// URL; the recording's
    // --label and --stream ("default" when not given).
    std::string history;
    std::string label;
    std::string stream = "default";
    std::string requirements;
    FailOn fail_on = FailOn::Ko;
    int jobs = 0;        // 0: one thread per core
    bool quiet = false;  // nothing on standard output
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    bool ok = false;
    CampaignOptions options;
    QString error;  // a finished line when !ok
};

// arguments includes the program name first; each argument's bytes are given
// one character each (as QString::fromLatin1 makes them), so that no byte is
// lost to decoding.
ParsedOptions parse_options(const QStringList& arguments);

// The command line as parse_options takes it.
QStringList arguments_as_bytes(int argc, char** argv);
