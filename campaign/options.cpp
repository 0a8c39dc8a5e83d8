#include "campaign/options.h"

#include "campaign/messages.h"
#include "i18n/local8bit.h"

#include <QCommandLineParser>

namespace {

QCommandLineOption valued(const char* name) {
    return QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
}

std::string bytes(const QString& argument) {
    return argument.toLatin1().toStdString();
}

std::vector<std::string> all_bytes(const QStringList& arguments) {
    std::vector<std::string> out;
    out.reserve(arguments.size());
    for (const QString& argument : arguments) {
        out.push_back(bytes(argument));
    }
    return out;
}

// A text of the command line as the user's locale shows it.
QString shown(const QString& argument) {
    return local8bit_decode(bytes(argument));
}

}  // namespace

ParsedOptions parse_options(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const char* const kValued[] = {"log",      "html",         "csv",     "junit", "json",
                                   "baseline", "requirements", "fail-on", "jobs",  "pages",
                                   "history",  "label",        "stream"};
    for (const char* name : kValued) {
        parser.addOption(valued(name));
    }
    parser.addOption(QCommandLineOption(QStringLiteral("quiet")));
    parser.addOption(QCommandLineOption(QStringLiteral("help")));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));

    ParsedOptions parsed;
    if (!parser.parse(arguments)) {
        parsed.error = message_usage_error(shown(parser.errorText()));
        return parsed;
    }
    CampaignOptions& o = parsed.options;
    o.help = parser.isSet(QStringLiteral("help"));
    o.version = parser.isSet(QStringLiteral("version"));
    o.quiet = parser.isSet(QStringLiteral("quiet"));
    o.arguments = all_bytes(arguments.mid(1));
    o.inputs = all_bytes(parser.positionalArguments());
    o.logs = all_bytes(parser.values(QStringLiteral("log")));
    o.html = bytes(parser.value(QStringLiteral("html")));
    o.pages = bytes(parser.value(QStringLiteral("pages")));
    o.csv = bytes(parser.value(QStringLiteral("csv")));
    o.junit = bytes(parser.value(QStringLiteral("junit")));
    o.json = bytes(parser.value(QStringLiteral("json")));
    o.baseline = bytes(parser.value(QStringLiteral("baseline")));
    o.requirements = bytes(parser.value(QStringLiteral("requirements")));
    o.history = bytes(parser.value(QStringLiteral("history")));
    o.label = bytes(parser.value(QStringLiteral("label")));
    if (parser.isSet(QStringLiteral("stream"))) {
        o.stream = bytes(parser.value(QStringLiteral("stream")));
    }

    if (parser.isSet(QStringLiteral("fail-on"))) {
        const QString fail_on = parser.value(QStringLiteral("fail-on"));
        if (fail_on == QStringLiteral("none")) {
            o.fail_on = FailOn::None;
        } else if (fail_on == QStringLiteral("ko")) {
            o.fail_on = FailOn::Ko;
        } else if (fail_on == QStringLiteral("regression")) {
            o.fail_on = FailOn::Regression;
        } else {
            parsed.error = message_bad_fail_on(shown(fail_on));
            return parsed;
        }
    }
    if (parser.isSet(QStringLiteral("jobs"))) {
        bool number = false;
        o.jobs = parser.value(QStringLiteral("jobs")).toInt(&number);
        if (!number || o.jobs < 1 || o.jobs > 256) {
            parsed.error = message_bad_jobs(shown(parser.value(QStringLiteral("jobs"))));
            return parsed;
        }
    }
    if (!o.help && !o.version && o.inputs.empty() && o.logs.empty()) {
        parsed.error = message_no_input();
        return parsed;
    }
    parsed.ok = true;
    return parsed;
}

QStringList arguments_as_bytes(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLatin1(argv[i]));
    }
    return arguments;
}
