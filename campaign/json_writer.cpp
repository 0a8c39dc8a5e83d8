#include "campaign/json_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString ok_word(bool ok) {
    return ok ? QStringLiteral("OK") : QStringLiteral("KO");
}

QJsonObject counts_json(const CampaignCounts& c) {
    return QJsonObject{
        {QStringLiteral("reports"), c.reports},
        {QStringLiteral("reports_ko"), c.reports_ko},
        {QStringLiteral("tests"), c.tests},
        {QStringLiteral("tests_ok"), c.tests_ok},
        {QStringLiteral("tests_ko"), c.tests_ko},
        {QStringLiteral("requirements"), c.requirements},
        {QStringLiteral("requirements_ok"), c.requirements_ok},
        {QStringLiteral("requirements_ko"), c.requirements_ko},
        {QStringLiteral("requirements_not_verified"), c.requirements_not_verified},
        {QStringLiteral("requirements_unlisted"), c.requirements_unlisted},
        {QStringLiteral("problems"), c.problems},
    };
}

QJsonObject report_json(const Campaign& campaign, std::size_t r) {
    const ReportResult& report = campaign.reports[r];
    std::vector<QJsonArray> tests(report.services.size());
    for (std::size_t t = 0; t < report.tests.size(); ++t) {
        const TestResult& test = report.tests[t];
        tests[test.service].append(QJsonObject{
            {QStringLiteral("name"), text(campaign.test_keys[r][t])},
            {QStringLiteral("verdict"), ok_word(test.ok)},
        });
    }
    QJsonArray services;
    for (std::size_t s = 0; s < report.services.size(); ++s) {
        services.append(QJsonObject{
            {QStringLiteral("name"), text(report.services[s].name)},
            {QStringLiteral("verdict"), ok_word(report.services[s].ok)},
            {QStringLiteral("tests"), tests[s]},
        });
    }
    return QJsonObject{
        {QStringLiteral("name"), text(campaign.report_keys[r])},
        {QStringLiteral("path"), report.path},
        {QStringLiteral("verdict"), ok_word(report.run_ok)},
        {QStringLiteral("services"), services},
    };
}

QJsonObject place_json(const Campaign& campaign, const RequirementPlace& place) {
    const ReportResult& report = campaign.reports[place.report];
    const RequirementOccurrence& occurrence = report.requirements[place.occurrence];
    QJsonObject json{
        {QStringLiteral("report"), text(campaign.report_keys[place.report])},
        {QStringLiteral("status"), ok_word(occurrence.ok)},
        {QStringLiteral("value"), text(occurrence.value)},
    };
    if (occurrence.service >= 0) {
        json.insert(QStringLiteral("service"), text(report.services[occurrence.service].name));
    }
    if (occurrence.test >= 0) {
        json.insert(QStringLiteral("test"),
                    text(campaign.test_keys[place.report][occurrence.test]));
    }
    if (!occurrence.element.empty()) {
        json.insert(QStringLiteral("element"), text(occurrence.element));
    }
    return json;
}

QJsonObject requirement_json(const Campaign& campaign, const Requirement& requirement) {
    QJsonArray places;
    for (const RequirementPlace& place : requirement.places) {
        places.append(place_json(campaign, place));
    }
    QJsonObject json{
        {QStringLiteral("id"), text(requirement.id)},
        {QStringLiteral("verdict"), QString::fromLatin1(verdict_word(requirement.verdict))},
        {QStringLiteral("ok"), requirement.ok_count},
        {QStringLiteral("ko"), requirement.ko_count},
        {QStringLiteral("places"), places},
    };
    if (campaign.has_requirement_list) {
        json.insert(QStringLiteral("listed"), requirement.listed);
    }
    return json;
}

QJsonObject changes_json(const Changes& changes) {
    const QString names[kChangeKinds] = {QStringLiteral("regressions"), QStringLiteral("fixed"),
                                         QStringLiteral("appeared"), QStringLiteral("disappeared")};
    QJsonObject tests;
    QJsonObject requirements;
    for (int kind = 0; kind < kChangeKinds; ++kind) {
        QJsonArray test_list;
        for (const auto& [report, service, test] : changes.tests[kind]) {
            test_list.append(QJsonObject{
                {QStringLiteral("report"), text(report)},
                {QStringLiteral("service"), text(service)},
                {QStringLiteral("test"), text(test)},
            });
        }
        tests.insert(names[kind], test_list);
        QJsonArray id_list;
        for (const std::string& id : changes.requirements[kind]) {
            id_list.append(text(id));
        }
        requirements.insert(names[kind], id_list);
    }
    return QJsonObject{{QStringLiteral("tests"), tests},
                       {QStringLiteral("requirements"), requirements}};
}

}  // namespace

void write_campaign_json(OutputStream& out, const Campaign& campaign, const Changes* changes) {
    QJsonArray reports;
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        reports.append(report_json(campaign, r));
    }
    QJsonArray requirements;
    for (const Requirement& requirement : campaign.requirements) {
        requirements.append(requirement_json(campaign, requirement));
    }
    QJsonObject root{
        {QStringLiteral("format"), QStringLiteral("quillon-campaign")},
        {QStringLiteral("version"), 1},
        {QStringLiteral("verdict"), ok_word(campaign.ok)},
        {QStringLiteral("counts"), counts_json(campaign.counts)},
        {QStringLiteral("reports"), reports},
        {QStringLiteral("requirements"), requirements},
        {QStringLiteral("problems"), QJsonArray::fromStringList(campaign.problems)},
    };
    if (changes) {
        root.insert(QStringLiteral("changes"), changes_json(*changes));
    }
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    out.put(std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
}
