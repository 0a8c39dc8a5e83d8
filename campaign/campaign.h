#pragma once
// The campaign: every report read, and one verdict per requirement ID with
// its trace to the places that verify it.
//
// A requirement is KO when any of its occurrences is KO, otherwise OK. With a
// requirements list, a listed ID that no report names is not verified, and an
// ID that reports name but the list does not is flagged as unlisted. The
// campaign is OK only when every report's run, every test and every
// requirement is OK, no listed requirement is unverified and every input
// could be read.

#include "campaign/report_result.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

enum class RequirementVerdict { Ko, NotVerified, Ok };  // in the order pages list them

const char* verdict_word(RequirementVerdict verdict);  // "KO", "not verified", "OK"

struct RequirementPlace {
    int report = 0;
    int occurrence = 0;  // index into that report's requirements
};

struct Requirement {
    std::string id;
    RequirementVerdict verdict = RequirementVerdict::Ok;
    int ok_count = 0;
    int ko_count = 0;
    bool listed = false;
    // KO ones first, then by report key in natural order ("report 7" before
    // "report 48"), then in the order the report names them.
    std::vector<RequirementPlace> places;
    std::string title;  // from the requirement list, when it gives one
};

struct CampaignCounts {
    int reports = 0;
    int reports_ko = 0;
    int tests = 0;
    int tests_ok = 0;
    int tests_ko = 0;
    int requirements = 0;
    int requirements_ok = 0;
    int requirements_ko = 0;
    int requirements_not_verified = 0;
    int requirements_unlisted = 0;
    int problems = 0;
};

struct Campaign {
    std::vector<ReportResult> reports;  // in the order of the inputs
    // Per report, a key no other report has, whatever the spelling of the
    // paths it was read through: its name (REPORT_NAME); when several reports
    // share it, followed by each one's place in parentheses, as its canonical
    // path below the deepest folder holding all of them ("Suite (a/s.req.xml)").
    std::vector<std::string> report_keys;
    // Per report and test, a key unique among the tests of the services of
    // that name: made by unique_keys from the test names in report order,
    // and kept with the report's texts.
    std::vector<std::vector<TextRef>> test_keys;
    // KO first, then not verified, then OK; by ID within each.
    std::vector<Requirement> requirements;
    bool has_requirement_list = false;
    QStringList problems;  // one message line per input that could not be used
    CampaignCounts counts;
    bool ok = true;

    std::string_view test_key(int report, int test) const {
        return reports[report].text(test_keys[report][test]);
    }
};

// Keys for names, one each, never two alike: the first of equal names keeps
// it, each later one gets " #2", " #3"..., skipping any number whose key is
// itself one of the names (so "t", "t", "t #2" give "t", "t #3", "t #2").
std::vector<std::string> unique_keys(const std::vector<std::string>& names);

// Builds the campaign from the reports read (in input order), the IDs of the
// requirements list when one was given, and the input problems met so far.
Campaign build_campaign(std::vector<ReportResult> reports,
                        const std::optional<std::vector<std::string>>& listed,
                        QStringList problems);

// Gives the listed requirements the titles of the list (ids and titles side
// by side; the first non-empty title of an ID counts).
void set_requirement_titles(Campaign& campaign, const std::vector<std::string>& ids,
                            const std::vector<std::string>& titles);

// The indexes of the reports by key in natural order ("report 7" before
// "report 48"; see natural_order.h).
std::vector<int> reports_in_natural_order(const Campaign& campaign);

// Where an occurrence stands: report, then service, test and element when it
// has them, joined by separator.
std::string place_text(const Campaign& campaign, const RequirementPlace& place,
                       const std::string& separator);
