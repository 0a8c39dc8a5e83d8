#include "campaign/json_writer.h"

#include "campaign/json_stream.h"
#include "campaign/messages.h"

namespace {

std::string_view ok_word(bool ok) {
    return ok ? "OK" : "KO";
}

void string_member(JsonWriter& json, std::string_view key, std::string_view utf8) {
    json.key(key);
    json.string(utf8);
}

void number_member(JsonWriter& json, std::string_view key, long long value) {
    json.key(key);
    json.number(value);
}

// key, then an array of what write_item writes for each of items.
template <typename Items, typename WriteItem>
void array_member(JsonWriter& json, std::string_view key, const Items& items,
                  WriteItem write_item) {
    json.key(key);
    json.begin_array();
    for (const auto& item : items) {
        write_item(item);
    }
    json.end_array();
}

// key, then an array of what write_item writes for each index below count.
template <typename WriteItem>
void indexed_array_member(JsonWriter& json, std::string_view key, std::size_t count,
                          WriteItem write_item) {
    json.key(key);
    json.begin_array();
    for (std::size_t i = 0; i < count; ++i) {
        write_item(i);
    }
    json.end_array();
}

void counts_json(JsonWriter& json, const CampaignCounts& c) {
    json.begin_object();
    number_member(json, "problems", c.problems);
    number_member(json, "reports", c.reports);
    number_member(json, "reports_ko", c.reports_ko);
    number_member(json, "requirements", c.requirements);
    number_member(json, "requirements_ko", c.requirements_ko);
    number_member(json, "requirements_not_verified", c.requirements_not_verified);
    number_member(json, "requirements_ok", c.requirements_ok);
    number_member(json, "requirements_unlisted", c.requirements_unlisted);
    number_member(json, "tests", c.tests);
    number_member(json, "tests_ko", c.tests_ko);
    number_member(json, "tests_ok", c.tests_ok);
    json.end_object();
}

void report_json(JsonWriter& json, const Campaign& campaign, std::size_t r) {
    const ReportResult& report = campaign.reports[r];
    std::vector<std::vector<std::size_t>> tests_of(report.services.size());
    for (std::size_t t = 0; t < report.tests.size(); ++t) {
        tests_of[report.tests[t].service].push_back(t);
    }
    json.begin_object();
    string_member(json, "name", campaign.report_keys[r]);
    json.key("path");
    json.string(shown_file_name(report.path));
    indexed_array_member(json, "services", report.services.size(), [&](std::size_t s) {
        json.begin_object();
        string_member(json, "name", report.services[s].name);
        array_member(json, "tests", tests_of[s], [&](std::size_t t) {
            json.begin_object();
            string_member(json, "name", campaign.test_keys[r][t]);
            string_member(json, "verdict", ok_word(report.tests[t].ok));
            json.end_object();
        });
        string_member(json, "verdict", ok_word(report.services[s].ok));
        json.end_object();
    });
    string_member(json, "verdict", ok_word(report.run_ok));
    json.end_object();
}

void place_json(JsonWriter& json, const Campaign& campaign, const RequirementPlace& place) {
    const ReportResult& report = campaign.reports[place.report];
    const RequirementOccurrence& occurrence = report.requirements[place.occurrence];
    json.begin_object();
    if (!occurrence.element.empty()) {
        string_member(json, "element", occurrence.element);
    }
    string_member(json, "report", campaign.report_keys[place.report]);
    if (occurrence.service >= 0) {
        string_member(json, "service", report.services[occurrence.service].name);
    }
    string_member(json, "status", ok_word(occurrence.ok));
    if (occurrence.test >= 0) {
        string_member(json, "test", campaign.test_keys[place.report][occurrence.test]);
    }
    string_member(json, "value", occurrence.value);
    json.end_object();
}

void requirement_json(JsonWriter& json, const Campaign& campaign, const Requirement& requirement) {
    json.begin_object();
    string_member(json, "id", requirement.id);
    number_member(json, "ko", requirement.ko_count);
    if (campaign.has_requirement_list) {
        json.key("listed");
        json.boolean(requirement.listed);
    }
    number_member(json, "ok", requirement.ok_count);
    array_member(json, "places", requirement.places,
                 [&](const RequirementPlace& place) { place_json(json, campaign, place); });
    string_member(json, "verdict", verdict_word(requirement.verdict));
    json.end_object();
}

// The change lists, by kind in the order of their names.
void changes_json(JsonWriter& json, const Changes& changes) {
    static constexpr std::pair<std::string_view, ChangeKind> kKinds[] = {
        {"appeared", kAppeared},
        {"disappeared", kDisappeared},
        {"fixed", kFixed},
        {"regressions", kRegression},
    };
    json.begin_object();
    json.key("requirements");
    json.begin_object();
    for (const auto& [name, kind] : kKinds) {
        array_member(json, name, changes.requirements[kind],
                     [&](const std::string& id) { json.string(id); });
    }
    json.end_object();
    json.key("runs");
    json.begin_object();
    for (const auto& [name, kind] : kKinds) {
        array_member(json, name, changes.runs[kind],
                     [&](const std::string& report) { json.string(report); });
    }
    json.end_object();
    json.key("tests");
    json.begin_object();
    for (const auto& [name, kind] : kKinds) {
        array_member(json, name, changes.tests[kind], [&](const auto& change) {
            const auto& [report, service, test] = change;
            json.begin_object();
            string_member(json, "report", report);
            string_member(json, "service", service);
            string_member(json, "test", test);
            json.end_object();
        });
    }
    json.end_object();
    json.end_object();
}

}  // namespace

void write_campaign_json(XmlStream& out, const Campaign& campaign, const Changes* changes) {
    JsonWriter json(out);
    json.begin_object();
    if (changes) {
        json.key("changes");
        changes_json(json, *changes);
    }
    json.key("counts");
    counts_json(json, campaign.counts);
    string_member(json, "format", "quillon-campaign");
    array_member(json, "problems", campaign.problems,
                 [&](const QString& problem) { json.string(problem); });
    indexed_array_member(json, "reports", campaign.reports.size(),
                         [&](std::size_t r) { report_json(json, campaign, r); });
    array_member(json, "requirements", campaign.requirements, [&](const Requirement& requirement) {
        requirement_json(json, campaign, requirement);
    });
    string_member(json, "verdict", ok_word(campaign.ok));
    number_member(json, "version", 1);
    json.end_object();
}
