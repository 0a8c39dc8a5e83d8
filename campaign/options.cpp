#include "campaign/options.h"

#include "campaign/messages.h"

#include <QCommandLineParser>

namespace {

QCommandLineOption valued(const char* name) {
    return QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
}

}  // namespace

ParsedOptions parse_options(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const char* const kValued[] = {"log",      "html",         "csv",     "junit", "json",
                                   "baseline", "requirements", "fail-on", "jobs"};
    for (const char* name : kValued) {
        parser.addOption(valued(name));
    }
    parser.addOption(QCommandLineOption(QStringLiteral("help")));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));

    ParsedOptions parsed;
    if (!parser.parse(arguments)) {
        parsed.error = message_usage_error(parser.errorText());
        return parsed;
    }
    CampaignOptions& o = parsed.options;
    o.help = parser.isSet(QStringLiteral("help"));
    o.version = parser.isSet(QStringLiteral("version"));
    o.inputs = parser.positionalArguments();
    o.logs = parser.values(QStringLiteral("log"));
    o.html = parser.value(QStringLiteral("html"));
    o.csv = parser.value(QStringLiteral("csv"));
    o.junit = parser.value(QStringLiteral("junit"));
    o.json = parser.value(QStringLiteral("json"));
    o.baseline = parser.value(QStringLiteral("baseline"));
    o.requirements = parser.value(QStringLiteral("requirements"));

    if (parser.isSet(QStringLiteral("fail-on"))) {
        const QString fail_on = parser.value(QStringLiteral("fail-on"));
        if (fail_on == QStringLiteral("none")) {
            o.fail_on = FailOn::None;
        } else if (fail_on == QStringLiteral("ko")) {
            o.fail_on = FailOn::Ko;
        } else if (fail_on == QStringLiteral("regression")) {
            o.fail_on = FailOn::Regression;
        } else {
            parsed.error = message_bad_fail_on(fail_on);
            return parsed;
        }
    }
    if (parser.isSet(QStringLiteral("jobs"))) {
        bool number = false;
        o.jobs = parser.value(QStringLiteral("jobs")).toInt(&number);
        if (!number || o.jobs < 1 || o.jobs > 256) {
            parsed.error = message_bad_jobs(parser.value(QStringLiteral("jobs")));
            return parsed;
        }
    }
    if (!o.help && !o.version && o.inputs.isEmpty() && o.logs.isEmpty()) {
        parsed.error = message_no_input();
        return parsed;
    }
    parsed.ok = true;
    return parsed;
}
