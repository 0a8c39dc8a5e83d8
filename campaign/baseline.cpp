#include "campaign/baseline.h"

#include "campaign/messages.h"
#include "campaign/open_by_name.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

std::string utf8(const QJsonValue& value) {
    return value.toString().toStdString();
}

bool is_ok(const QJsonValue& verdict) {
    return verdict.toString() == QStringLiteral("OK");
}

// Walks two maps in key order at once, sorting each key into its change.
template <typename Key, typename Sink>
void compare_maps(const std::map<Key, bool>& before, const std::map<Key, bool>& now, Sink& sink) {
    auto b = before.begin();
    auto n = now.begin();
    while (b != before.end() || n != now.end()) {
        if (n == now.end() || (b != before.end() && b->first < n->first)) {
            sink[kDisappeared].push_back(b->first);
            ++b;
        } else if (b == before.end() || n->first < b->first) {
            sink[kAppeared].push_back(n->first);
            if (!n->second) {
                sink[kRegression].push_back(n->first);  // a new failure fails the gate too
            }
            ++n;
        } else {
            if (b->second && !n->second) {
                sink[kRegression].push_back(n->first);
            } else if (!b->second && n->second) {
                sink[kFixed].push_back(n->first);
            }
            ++b;
            ++n;
        }
    }
}

}  // namespace

bool parse_baseline(const QByteArray& json, Baseline* baseline, QString* error) {
    QJsonParseError parse_error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse_error);
    if (document.isNull()) {
        *error = message_baseline_not_json(parse_error.errorString());
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != QStringLiteral("quillon-campaign") ||
        root.value(QStringLiteral("version")).toInt() != 1) {
        *error = message_baseline_wrong_format();
        return false;
    }
    for (const QJsonValue& report : root.value(QStringLiteral("reports")).toArray()) {
        const std::string report_name = utf8(report[QStringLiteral("name")]);
        baseline->runs[report_name] = is_ok(report[QStringLiteral("verdict")]);
        for (const QJsonValue& service : report[QStringLiteral("services")].toArray()) {
            const std::string service_name = utf8(service[QStringLiteral("name")]);
            for (const QJsonValue& test : service[QStringLiteral("tests")].toArray()) {
                baseline->tests[{report_name, service_name, utf8(test[QStringLiteral("name")])}] =
                    is_ok(test[QStringLiteral("verdict")]);
            }
        }
    }
    for (const QJsonValue& requirement : root.value(QStringLiteral("requirements")).toArray()) {
        const QString verdict = requirement[QStringLiteral("verdict")].toString();
        if (verdict == QStringLiteral("OK") || verdict == QStringLiteral("KO")) {
            baseline->requirements[utf8(requirement[QStringLiteral("id")])] =
                verdict == QStringLiteral("OK");
        }
    }
    return true;
}

bool read_baseline(const std::string& path, Baseline* baseline, QString* error) {
    QFile file;
    QString why;
    if (!open_by_name(path, &file, &why)) {
        *error = message_cannot_read(shown_file_name(path), why);
        return false;
    }
    if (!parse_baseline(file.readAll(), baseline, &why)) {
        *error = message_bad_baseline(shown_file_name(path), why);
        return false;
    }
    return true;
}

Baseline baseline_of(const Campaign& campaign) {
    Baseline now;
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        now.runs[campaign.report_keys[r]] = report.run_ok;
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            const TestResult& test = report.tests[t];
            now.tests[{campaign.report_keys[r], report.services[test.service].name,
                       campaign.test_keys[r][t]}] = test.ok;
        }
    }
    for (const Requirement& requirement : campaign.requirements) {
        if (requirement.verdict != RequirementVerdict::NotVerified) {
            now.requirements[requirement.id] = requirement.verdict == RequirementVerdict::Ok;
        }
    }
    return now;
}

Changes compare_with_baseline(const Baseline& baseline, const Campaign& campaign) {
    const Baseline now = baseline_of(campaign);
    Changes changes;
    compare_maps(baseline.runs, now.runs, changes.runs);
    compare_maps(baseline.tests, now.tests, changes.tests);
    compare_maps(baseline.requirements, now.requirements, changes.requirements);
    return changes;
}
