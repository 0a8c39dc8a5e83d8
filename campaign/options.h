#pragma once
// The command line of quillon-campaign: GNU-style long options ("--html FILE"
// or "--html=FILE"), anything else an input. A repeated option keeps its last
// value, except --log, which may name several logs.

#include <QString>
#include <QStringList>

enum class FailOn { None, Ko, Regression };

struct CampaignOptions {
    QStringList inputs;
    QStringList logs;
    QString html;
    QString csv;
    QString junit;
    QString json;
    QString baseline;
    QString requirements;
    FailOn fail_on = FailOn::Ko;
    int jobs = 0;  // 0: one thread per core
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    bool ok = false;
    CampaignOptions options;
    QString error;  // a finished line when !ok
};

// arguments includes the program name first, as QCoreApplication gives it.
ParsedOptions parse_options(const QStringList& arguments);
