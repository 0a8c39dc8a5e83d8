#include "campaign/history_command.h"

#include "campaign/exit_status.h"
#include "campaign/history_messages.h"
#include "campaign/history_run.h"
#include "campaign/messages.h"
#include "i18n/local8bit.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr const char* kDefaultStream = "default";

std::string bytes(const QString& argument) {
    return argument.toLatin1().toStdString();
}

// Texts of the command line are UTF-8, as the history stores names.
std::string utf8(const QString& argument) {
    return bytes(argument);
}

QString shown(const QString& argument) {
    return local8bit_decode(bytes(argument));
}

QString text(const std::string& utf8_text) {
    return QString::fromStdString(utf8_text);
}

QJsonObject campaign_json(const HistoryCampaignRef& ref) {
    return {{QStringLiteral("campaign"), static_cast<qint64>(ref.seq)},
            {QStringLiteral("time"), text(ref.time)},
            {QStringLiteral("label"), text(ref.label)}};
}

QByteArray list_json(const std::vector<HistoryCampaignRow>& rows) {
    QJsonArray campaigns;
    for (const HistoryCampaignRow& row : rows) {
        QJsonObject o = campaign_json(row.campaign);
        const CampaignCounts& c = row.counts;
        o.insert(QStringLiteral("stream"), text(row.stream));
        o.insert(QStringLiteral("tool_version"), text(row.tool_version));
        o.insert(QStringLiteral("verdict"), row.ok ? QStringLiteral("OK") : QStringLiteral("KO"));
        o.insert(
            QStringLiteral("counts"),
            QJsonObject{{QStringLiteral("reports"), c.reports},
                        {QStringLiteral("reports_ko"), c.reports_ko},
                        {QStringLiteral("tests"), c.tests},
                        {QStringLiteral("tests_ok"), c.tests_ok},
                        {QStringLiteral("tests_ko"), c.tests_ko},
                        {QStringLiteral("requirements"), c.requirements},
                        {QStringLiteral("requirements_ok"), c.requirements_ok},
                        {QStringLiteral("requirements_ko"), c.requirements_ko},
                        {QStringLiteral("requirements_not_verified"), c.requirements_not_verified},
                        {QStringLiteral("problems"), c.problems}});
        campaigns.append(o);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("campaigns"), campaigns}})
        .toJson(QJsonDocument::Indented);
}

QByteArray story_json(const HistoryStory& story) {
    const HistoryItem& item = story.item;
    QJsonObject o;
    if (item.kind == kItemRequirement) {
        o.insert(QStringLiteral("requirement"), text(item.name));
    } else {
        o.insert(QStringLiteral("report"), text(item.report));
        o.insert(QStringLiteral("service"), text(item.service));
        o.insert(QStringLiteral("test"), text(item.name));
    }
    o.insert(QStringLiteral("verdict"), QString::fromLatin1(history_verdict_word(item.verdict)));
    o.insert(QStringLiteral("ko_since"),
             item.ko_since ? QJsonValue(campaign_json(*item.ko_since)) : QJsonValue());
    o.insert(QStringLiteral("ko_campaigns"), item.ko_campaigns);
    o.insert(QStringLiteral("strip"), text(item.strip));
    o.insert(QStringLiteral("flips"), item.flips);
    o.insert(QStringLiteral("flaky"), item.flaky);
    QJsonArray verdicts;
    for (const auto& [campaign, verdict] : story.verdicts) {
        QJsonObject v = campaign_json(campaign);
        v.insert(QStringLiteral("verdict"), QString::fromLatin1(history_verdict_word(verdict)));
        verdicts.append(v);
    }
    o.insert(QStringLiteral("campaigns"), verdicts);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

int database_status(HistoryFailure failure) {
    return failure == HistoryFailure::Input ? kExitInputs : kExitOutput;
}

}  // namespace

int run_history_command(const QStringList& arguments, FILE* out, FILE* err) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"stream", "requirement", "test", "keep"}) {
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    }
    parser.addOption(QCommandLineOption(QStringLiteral("json")));
    parser.addOption(QCommandLineOption(QStringLiteral("help")));
    QStringList without_word = arguments;
    without_word.removeAt(1);
    if (!parser.parse(without_word)) {
        print_text(message_history_usage(shown(parser.errorText())), err);
        return kExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        print_text(history_help_text(QStringLiteral("quillon-campaign")), out);
        return kExitOk;
    }
    const QStringList positional = parser.positionalArguments();
    const int picked = parser.isSet(QStringLiteral("requirement")) +
                       parser.isSet(QStringLiteral("test")) + parser.isSet(QStringLiteral("keep"));
    if (positional.size() != 1 || picked > 1) {
        print_text(
            positional.size() != 1 ? message_history_one_database() : message_history_alone(), err);
        return kExitUsage;
    }
    std::int64_t keep = 0;
    if (parser.isSet(QStringLiteral("keep"))) {
        bool number = false;
        keep = parser.value(QStringLiteral("keep")).toLongLong(&number);
        if (!number || keep < 1) {
            print_text(message_history_bad_keep(shown(parser.value(QStringLiteral("keep")))), err);
            return kExitUsage;
        }
    }
    const std::string target = bytes(positional.front());
    const bool stream_given = parser.isSet(QStringLiteral("stream"));
    const std::string stream =
        stream_given ? utf8(parser.value(QStringLiteral("stream"))) : kDefaultStream;
    const bool json = parser.isSet(QStringLiteral("json"));

    Database db;
    QString problem;
    const HistoryFailure opened = open_history_for_query(target, &db, &problem);
    if (opened != HistoryFailure::None) {
        print_text(problem + QLatin1Char('\n'), err);
        return database_status(opened);
    }
    const auto failed = [&](const QString& why) {
        const bool lost = db_connection_lost(db) || db.kind == DbKind::Postgres;
        print_text((lost ? message_history_unreachable(shown_history_target(target), why)
                         : message_history_unusable(shown_history_target(target), why)) +
                       QLatin1Char('\n'),
                   err);
        return lost ? kExitOutput : kExitInputs;
    };
    QString why;
    if (keep > 0) {
        std::int64_t removed = 0;
        if (!keep_history_campaigns(db, stream, keep, &removed, &why)) {
            return failed(why);
        }
        print_text(message_history_kept(removed, keep, text(stream)), out);
        return kExitOk;
    }
    const bool requirement = parser.isSet(QStringLiteral("requirement"));
    if (requirement || parser.isSet(QStringLiteral("test"))) {
        const QString asked =
            parser.value(requirement ? QStringLiteral("requirement") : QStringLiteral("test"));
        std::string report, service, name = utf8(asked);
        bool found = true;
        if (!requirement &&
            !find_test_item(db, utf8(asked), &report, &service, &name, &found, &why)) {
            return failed(why);
        }
        HistoryStory story;
        if (found && !read_item_story(db, stream, requirement ? kItemRequirement : kItemTest,
                                      report, service, name, &story, &found, &why)) {
            return failed(why);
        }
        if (!found) {
            print_text(message_history_no_item(shown(asked)), err);
            return kExitKo;
        }
        if (json) {
            const QByteArray bytes = story_json(story);
            std::fwrite(bytes.constData(), 1, bytes.size(), out);
        } else {
            print_text(history_story_text(story), out);
        }
        return kExitOk;
    }
    std::vector<HistoryCampaignRow> rows;
    if (!list_history_campaigns(db, stream_given ? stream : std::string(), &rows, &why)) {
        return failed(why);
    }
    if (json) {
        const QByteArray bytes = list_json(rows);
        std::fwrite(bytes.constData(), 1, bytes.size(), out);
        return kExitOk;
    }
    for (const HistoryCampaignRow& row : rows) {
        print_text(history_campaign_line(row), out);
    }
    return kExitOk;
}
