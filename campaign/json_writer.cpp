#include "campaign/json_writer.h"

#include "campaign/json_stream.h"
#include "campaign/messages.h"
#include "campaign/test_cause.h"

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

// Indices 0..count-1 grouped by group_of(i) (below groups), each group in
// index order: members holds them, group g from starts[g] to starts[g + 1].
struct Grouped {
    std::vector<int> starts;
    std::vector<int> members;
};

template <typename GroupOf>
Grouped group_indices(std::size_t count, std::size_t groups, GroupOf group_of) {
    Grouped grouped;
    grouped.starts.assign(groups + 1, 0);
    for (std::size_t i = 0; i < count; ++i) {
        ++grouped.starts[group_of(i) + 1];
    }
    for (std::size_t g = 0; g < groups; ++g) {
        grouped.starts[g + 1] += grouped.starts[g];
    }
    grouped.members.resize(count);
    std::vector<int> next(grouped.starts.begin(), grouped.starts.end() - 1);
    for (std::size_t i = 0; i < count; ++i) {
        grouped.members[next[group_of(i)]++] = static_cast<int>(i);
    }
    return grouped;
}

// The requirements named at one level of a report, as [id, status, value]
// with the element's name after them inside an element; nothing when none.
void occurrences_json(JsonWriter& json, const ReportResult& report, const Grouped& occurrences,
                      std::size_t slot) {
    const int begin = occurrences.starts[slot];
    const int end = occurrences.starts[slot + 1];
    if (begin == end) {
        return;
    }
    json.begin_array();
    for (int i = begin; i < end; ++i) {
        const RequirementOccurrence& occurrence = report.requirements[occurrences.members[i]];
        json.begin_array();
        json.string(report.text(occurrence.id));
        json.string(ok_word(occurrence.ok));
        json.string(report.text(occurrence.value));
        if (occurrence.element.size > 0) {
            json.string(report.text(occurrence.element));
        }
        json.end_array();
    }
    json.end_array();
}

// A report with its services, tests and the requirements each names, nested
// where they stand: services as [name, verdict, tests], tests as [key,
// verdict], each followed by its requirements when it has any.
void report_json(JsonWriter& json, const Campaign& campaign, std::size_t r) {
    const ReportResult& report = campaign.reports[r];
    const std::size_t services = report.services.size();
    const Grouped tests = group_indices(report.tests.size(), services,
                                        [&](std::size_t t) { return report.tests[t].service; });
    // Slot 0 holds the run's own requirements, 1 + s those of service s and
    // 1 + services + t those of test t.
    const Grouped occurrences = group_indices(
        report.requirements.size(), 1 + services + report.tests.size(), [&](std::size_t i) {
            const RequirementOccurrence& occurrence = report.requirements[i];
            return occurrence.test >= 0      ? 1 + services + occurrence.test
                   : occurrence.service >= 0 ? 1 + occurrence.service
                                             : 0;
        });
    json.begin_object();
    string_member(json, "name", campaign.report_keys[r]);
    json.key("path");
    json.string(shown_file_name(report.path));
    string_member(json, "verdict", ok_word(report.run_ok));
    // Where the report comes from, for a reviewer to file.
    number_member(json, "size", report.provenance.size);
    string_member(json, "sha256", report.provenance.sha256);
    string_member(json, "run_date", report.provenance.run_date);
    string_member(json, "target", report.provenance.target);
    string_member(json, "suite_path", report.provenance.suite_path);
    if (occurrences.starts[1] > 0) {
        json.key("requirements");
        occurrences_json(json, report, occurrences, 0);
    }
    indexed_array_member(json, "services", services, [&](std::size_t s) {
        json.begin_array();
        json.string(report.text(report.services[s].name));
        json.string(ok_word(report.services[s].ok));
        json.begin_array();
        for (int i = tests.starts[s]; i < tests.starts[s + 1]; ++i) {
            const int t = tests.members[i];
            json.begin_array();
            json.string(campaign.test_key(r, t));
            json.string(ok_word(report.tests[t].ok));
            occurrences_json(json, report, occurrences, 1 + services + t);
            json.end_array();
        }
        json.end_array();
        occurrences_json(json, report, occurrences, 1 + s);
        json.end_array();
    });
    // Why each KO test failed, as the report says: [service, test, lines].
    if (!report.causes.empty()) {
        json.key("causes");
        json.begin_array();
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            if (report.tests[t].cause >= 0) {
                json.begin_array();
                json.string(report.service_name(report.tests[t].service));
                json.string(campaign.test_key(r, t));
                json.begin_array();
                for (const std::string& line : test_cause_lines(report, static_cast<int>(t))) {
                    json.string(line);
                }
                json.end_array();
                json.end_array();
            }
        }
        json.end_array();
    }
    json.end_object();
}

void campaign_ref_json(JsonWriter& json, const HistoryCampaignRef& ref) {
    json.begin_object();
    number_member(json, "campaign", ref.seq);
    string_member(json, "time", ref.time);
    string_member(json, "label", ref.label);
    json.end_object();
}

void history_item_json(JsonWriter& json, const HistoryItem& item) {
    json.begin_object();
    if (item.kind == kItemRequirement) {
        string_member(json, "id", item.name);
    } else {
        string_member(json, "report", item.report);
        string_member(json, "service", item.service);
        string_member(json, "test", item.name);
    }
    string_member(json, "verdict", history_verdict_word(item.verdict));
    if (item.ko_since) {
        json.key("ko_since");
        campaign_ref_json(json, *item.ko_since);
        number_member(json, "ko_campaigns", item.ko_campaigns);
    }
    string_member(json, "strip", item.strip);
    number_member(json, "flips", item.flips);
    json.key("flaky");
    json.boolean(item.flaky);
    json.end_object();
}

// What the history adds: with the member names of the history command's
// --json.
void history_json(JsonWriter& json, const CampaignHistory& history) {
    json.begin_object();
    string_member(json, "stream", history.stream);
    json.key("campaign");
    campaign_ref_json(json, history.campaign);
    if (history.previous) {
        json.key("previous");
        campaign_ref_json(json, *history.previous);
    }
    const std::pair<std::string_view, const std::vector<HistoryItem>*> lists[] = {
        {"requirements", &history.requirements},
        {"ko_tests", &history.ko_tests},
        {"newly_failing", &history.newly_failing},
        {"still_failing", &history.still_failing},
        {"flaky", &history.flaky},
        {"fixed", &history.fixed},
    };
    for (const auto& [name, items] : lists) {
        array_member(json, name, *items,
                     [&](const HistoryItem& item) { history_item_json(json, item); });
    }
    array_member(json, "trend", history.trend, [&](const HistoryTrendPoint& point) {
        json.begin_object();
        number_member(json, "campaign", point.campaign.seq);
        string_member(json, "time", point.campaign.time);
        string_member(json, "label", point.campaign.label);
        string_member(json, "verdict", ok_word(point.ok));
        number_member(json, "requirements_ok", point.requirements_ok);
        number_member(json, "requirements_ko", point.requirements_ko);
        number_member(json, "requirements_not_verified", point.requirements_not_verified);
        json.end_object();
    });
    json.end_object();
}

void requirement_json(JsonWriter& json, const Campaign& campaign, const Requirement& requirement) {
    json.begin_array();
    json.string(requirement.id);
    json.string(std::string_view(verdict_word(requirement.verdict)));
    json.number(requirement.ok_count);
    json.number(requirement.ko_count);
    if (campaign.has_requirement_list) {
        json.boolean(requirement.listed);
    }
    json.end_array();
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
            json.begin_array();
            json.string(report);
            json.string(service);
            json.string(test);
            json.end_array();
        });
    }
    json.end_object();
    json.end_object();
}

// When, by what and from what the document was made.
void provenance_json(JsonWriter& json, const CampaignProvenance& provenance) {
    string_member(json, "generated", provenance.generated);
    string_member(json, "tool_version", provenance.tool_version);
    json.key("command_line");
    json.begin_array();
    json.string(std::string_view("quillon-campaign"));
    for (const std::string& argument : provenance.arguments) {
        json.string(shown_argument(argument));
    }
    json.end_array();
    if (!provenance.baseline.empty()) {
        json.key("baseline");
        json.begin_object();
        json.key("path");
        json.string(shown_file_name(provenance.baseline));
        json.key("generated");
        if (provenance.baseline_generated.empty()) {
            json.null();
        } else {
            json.string(provenance.baseline_generated);
        }
        json.end_object();
    }
}

}  // namespace

void write_campaign_json(XmlStream& out, const Campaign& campaign,
                         const CampaignProvenance& provenance, const Changes* changes,
                         const CampaignHistory* history) {
    JsonWriter json(out);
    json.begin_object();
    string_member(json, "format", "quillon-campaign");
    number_member(json, "version", kCampaignJsonVersion);
    provenance_json(json, provenance);
    string_member(json, "verdict", ok_word(campaign.ok));
    json.key("counts");
    counts_json(json, campaign.counts);
    array_member(json, "problems", campaign.problems,
                 [&](const QString& problem) { json.string(problem); });
    indexed_array_member(json, "reports", campaign.reports.size(),
                         [&](std::size_t r) { report_json(json, campaign, r); });
    array_member(json, "requirements", campaign.requirements, [&](const Requirement& requirement) {
        requirement_json(json, campaign, requirement);
    });
    if (changes) {
        json.key("changes");
        changes_json(json, *changes);
    }
    // The titles the requirement list gives, by ID.
    bool any_title = false;
    for (const Requirement& requirement : campaign.requirements) {
        any_title = any_title || !requirement.title.empty();
    }
    if (any_title) {
        json.key("titles");
        json.begin_object();
        for (const Requirement& requirement : campaign.requirements) {
            if (!requirement.title.empty()) {
                string_member(json, requirement.id, requirement.title);
            }
        }
        json.end_object();
    }
    if (history) {
        json.key("history");
        history_json(json, *history);
    }
    json.end_object();
}
