#include "campaign/history_messages.h"

#include "campaign/messages.h"
#include "i18n/placeholders.h"

#include <QCoreApplication>
#include <QUrl>

namespace {

constexpr const char* kContext = "Message for the quillon-campaign tool";
constexpr int kShown = 20;

QString translate(const char* source, const char* comment = nullptr) {
    return QCoreApplication::translate(kContext, source, comment);
}

QString number(qint64 n) {
    return QString::number(n);
}

QString utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString item_text(const HistoryItem& item) {
    if (item.kind == kItemRequirement) {
        return fill_placeholders(translate("requirement %1", "%1 is a requirement ID"),
                                 {utf8(item.name)});
    }
    return fill_placeholders(
        translate("test %1 / %2 / %3", "%1 is a report name, %2 a service name, %3 a test name"),
        {utf8(item.report), utf8(item.service), utf8(item.name)});
}

QString campaign_text(const HistoryCampaignRef& ref) {
    return fill_placeholders(
        translate("#%1 (%2, label \"%3\")", "%1 is a campaign number, %2 its time, %3 its label"),
        {number(ref.seq), utf8(ref.time), utf8(ref.label)});
}

QString verdict_text(int verdict) {
    switch (verdict) {
        case kVerdictOk:
            return QStringLiteral("OK");
        case kVerdictKo:
            return QStringLiteral("KO");
        case kNotVerified:
            return translate("not verified");
        default:
            return translate("absent");
    }
}

template <typename Line>
void list(QString& text, const std::vector<HistoryItem>& items, Line line) {
    for (std::size_t i = 0; i < items.size() && i < kShown; ++i) {
        text += line(items[i]);
    }
    if (items.size() > kShown) {
        text += message_and_more(static_cast<int>(items.size() - kShown));
    }
}

}  // namespace

QString shown_history_target(const std::string& target) {
    if (!is_postgres_target(target)) {
        return shown_file_name(target);
    }
    QUrl url(QString::fromStdString(target));
    url.setPassword(QString());
    return url.toString();
}

QString message_history_unusable(const QString& target, const QString& why) {
    return fill_placeholders(translate("%1: not a quillon-campaign history: %2",
                                       "%1 is a file name or URL, %2 the reason"),
                             {target, why});
}

QString message_history_newer(const QString& target, int version, int ours) {
    return fill_placeholders(
        translate("%1: the history has schema version %2, newer than this program's %3",
                  "%1 is a file name or URL, %2 and %3 version numbers"),
        {target, number(version), number(ours)});
}

QString message_history_unreachable(const QString& target, const QString& why) {
    return fill_placeholders(translate("%1: cannot use the history database: %2",
                                       "%1 is a URL, %2 the server's or the library's reason"),
                             {target, why});
}

QString message_history_failed(const QString& target, const QString& why) {
    return fill_placeholders(translate("%1: the campaign was not recorded: %2",
                                       "%1 is a file name or URL, %2 the database's reason"),
                             {target, why});
}

QString history_other_tables() {
    return translate("it holds other tables", "said of a database");
}

QString history_summary(const CampaignHistory& h) {
    QString text = fill_placeholders(
        translate("History: campaign %1 of stream \"%2\": %3 newly failing, %4 still failing, "
                  "%5 flaky, %6 fixed\n",
                  "%1 is a campaign, %2 a stream name, the others counts"),
        {campaign_text(h.campaign), utf8(h.stream), number(h.newly_failing.size()),
         number(h.still_failing.size()), number(h.flaky.size()), number(h.fixed.size())});
    list(text, h.newly_failing, [](const HistoryItem& item) {
        return fill_placeholders(translate("Newly failing: %1\n", "%1 is a requirement or test"),
                                 {item_text(item)});
    });
    list(text, h.still_failing, [](const HistoryItem& item) {
        return fill_placeholders(
            translate("Still failing: %1, KO for %2 campaigns, since %3\n",
                      "%1 is a requirement or test, %2 a count, %3 a campaign"),
            {item_text(item), number(item.ko_campaigns), campaign_text(*item.ko_since)});
    });
    list(text, h.flaky, [](const HistoryItem& item) {
        return fill_placeholders(
            translate("Flaky: %1, %2 flips in the last %3 campaigns: %4\n",
                      "%1 is a requirement or test, %2 and %3 counts, %4 the verdicts as letters"),
            {item_text(item), number(item.flips), number(item.strip.size()), utf8(item.strip)});
    });
    list(text, h.fixed, [](const HistoryItem& item) {
        return fill_placeholders(translate("Fixed: %1\n", "%1 is a requirement or test"),
                                 {item_text(item)});
    });
    return text;
}

QString history_help_text(const QString& program) {
    return fill_placeholders(
        translate("Usage: %1 history DB [options]\n"
                  "Shows the campaigns recorded in DB (an SQLite file or a postgresql:// URL).\n"
                  "\n"
                  "  --stream NAME             only the campaigns of that stream (--keep,\n"
                  "                            --requirement and --test: default \"default\")\n"
                  "  --requirement ID          that requirement's verdict in each campaign\n"
                  "  --test REPORT/SERVICE/TEST  that test's verdict in each campaign\n"
                  "  --json                    write JSON instead of text\n"
                  "  --keep N                  remove all but the last N campaigns of the stream\n"
                  "  --help                    show this help and exit\n"
                  "\n"
                  "Exit status: 0 done; 1 no such requirement or test; 3 DB is no history;\n"
                  "4 a wrong command line; 5 the database could not be used.\n",
                  "%1 is the program name; option names and values are not translated"),
        {program});
}

QString message_history_usage(const QString& why) {
    return fill_placeholders(
        translate("quillon-campaign history: %1 (see --help)\n", "%1 says what is wrong"), {why});
}

QString message_history_one_database() {
    return message_history_usage(translate("give one database"));
}

QString message_history_alone() {
    return message_history_usage(
        translate("--requirement, --test and --keep go alone", "option names are not translated"));
}

QString message_history_bad_keep(const QString& value) {
    return message_history_usage(fill_placeholders(
        translate("--keep needs a number of campaigns from 1, not \"%1\"", "%1 is the value given"),
        {value}));
}

QString message_history_no_item(const QString& what) {
    return fill_placeholders(
        translate("%1: not in the history of this stream\n", "%1 is a requirement ID or a test"),
        {what});
}

QString history_campaign_line(const HistoryCampaignRow& row) {
    const CampaignCounts& c = row.counts;
    return fill_placeholders(
        translate("#%1  %2  %3  %4  %5  reports %6 (%7 KO), tests %8 (%9 KO), requirements %10 "
                  "(%11 OK, %12 KO, %13 not verified)\n",
                  "%1 is a campaign number, %2 its time, %3 its stream, %4 its label, %5 OK or "
                  "KO, the others counts"),
        {number(row.campaign.seq), utf8(row.campaign.time), utf8(row.stream),
         row.campaign.label.empty() ? QStringLiteral("-") : utf8(row.campaign.label),
         row.ok ? QStringLiteral("OK") : QStringLiteral("KO"), number(c.reports),
         number(c.reports_ko), number(c.tests), number(c.tests_ko), number(c.requirements),
         number(c.requirements_ok), number(c.requirements_ko),
         number(c.requirements_not_verified)});
}

QString history_story_text(const HistoryStory& story) {
    const HistoryItem& item = story.item;
    QString text = fill_placeholders(
        translate("%1: %2 now, %3 flips in the last %4 campaigns (%5)%6\n",
                  "%1 is a requirement or test, %2 its verdict, %3 and %4 counts, %5 the "
                  "verdicts as letters, %6 since when it is KO, or nothing"),
        {item_text(item), verdict_text(item.verdict), number(item.flips), number(item.strip.size()),
         utf8(item.strip),
         item.ko_since
             ? fill_placeholders(
                   translate(", KO for %1 campaigns since %2", "%1 a count, %2 a campaign"),
                   {number(item.ko_campaigns), campaign_text(*item.ko_since)})
             : QString()});
    for (const auto& [campaign, verdict] : story.verdicts) {
        text +=
            fill_placeholders(translate("#%1  %2  %3  %4\n",
                                        "%1 is a campaign number, %2 its time, %3 its label, "
                                        "%4 the verdict"),
                              {number(campaign.seq), utf8(campaign.time),
                               campaign.label.empty() ? QStringLiteral("-") : utf8(campaign.label),
                               verdict_text(verdict)});
    }
    return text;
}

QString message_history_kept(qint64 removed, qint64 keep, const QString& stream) {
    return fill_placeholders(translate("Removed %1 campaigns of stream \"%2\", kept the last %3\n",
                                       "%1 and %3 are counts, %2 a stream name"),
                             {number(removed), stream, number(keep)});
}
