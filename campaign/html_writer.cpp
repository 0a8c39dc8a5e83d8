#include "campaign/html_writer.h"

#include "campaign/html_assets.h"
#include "campaign/html_history.h"
#include "campaign/html_provenance.h"
#include "campaign/html_text.h"
#include "campaign/messages.h"
#include "campaign/report_links.h"
#include "campaign/test_cause.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace {

constexpr std::string_view kStep = " \xE2\x80\xBA ";  // " › " between the parts of a place

// So that the page stays small enough for a browser whatever the campaign,
// a requirement shows at most this many places, the KO ones first, and each
// kind of change but regressions at most this many rows; the JSON and the
// CSV have them all.
constexpr std::size_t kPlacesShown = 3;
constexpr std::size_t kChangesShown = 50;
// Up to this many KO tests, the failing tests of every report are shown
// open; past it they are folded by report.
constexpr std::size_t kFailingShownOpen = 200;

const char* ok_word(bool ok) {
    return ok ? "OK" : "KO";
}

const char* verdict_code(RequirementVerdict verdict) {
    return verdict == RequirementVerdict::NotVerified ? "NV" : verdict_word(verdict);
}

void badge(XmlStream& out, std::string_view code, std::string_view label) {
    out.put("<span class=\"badge badge-");
    out.put(code);
    out.put("\">");
    out.put(label);
    out.put("</span>");
}

// A count that leads to what it counts: a link to the section that lists
// it, whose data-filter (the filter part of a page address) the script
// applies as well, so a click on "not verified" shows those rows only.
struct Tile {
    const char* id;
    int value;
    const char* label;
    const char* kind;     // "ok", "ko", "nv" or "" for the colour
    const char* section;  // the id of the section it leads to
    const char* filter;   // e.g. "filter=ko"; "filter=" lifts the filter
};

void tile(XmlStream& out, const Tile& t) {
    out.put("<a class=\"tile");
    if (*t.kind != '\0' && t.value > 0) {
        out.put(" tile-");
        out.put(t.kind);
    }
    out.put("\" href=\"#");
    out.put(t.section);
    out.put("\" data-filter=\"");
    out.put(t.filter);
    out.put("\"><span class=\"tile-value\" id=\"");
    out.put(t.id);
    out.put("\">");
    out.put_int(t.value);
    out.put("</span><span class=\"tile-label\">");
    out.put(t.label);
    out.put("</span></a>");
}

// The long lists are grids of <div> rows rather than tables: a browser lays
// out only the rows in view (content-visibility), which keeps a page of
// thousands of requirements quick to open.
void grid_start(XmlStream& out, const char* id, const char* columns,
                std::initializer_list<const char*> headers) {
    out.put("<div class=\"grid filterable ");
    out.put(columns);
    out.put("\" id=\"");
    out.put(id);
    out.put("\" role=\"table\"><div class=\"grid-head\" role=\"row\">");
    for (const char* header : headers) {
        out.put("<div role=\"columnheader\">");
        out.put(header);
        out.put("</div>");
    }
    out.put("</div>\n");
}

void row_start(XmlStream& out, const std::string& id, std::string_view verdict) {
    out.put("<div class=\"row\" id=\"");
    out.put(id);
    out.put("\" data-verdict=\"");
    out.put(verdict);
    out.put("\" role=\"row\">");
}

void cell(XmlStream& out, const char* cls = nullptr) {
    out.put("<div role=\"cell\"");
    if (cls) {
        out.put(" class=\"");
        out.put(cls);
        out.put("\"");
    }
    out.put(">");
}

std::string report_anchor(const Campaign& campaign, int report) {
    return anchor_id("report-", {campaign.report_keys[report]});
}

std::string test_anchor(const Campaign& campaign, int report, int test) {
    const ReportResult& r = campaign.reports[report];
    return anchor_id("test-", {campaign.report_keys[report], r.service_name(r.tests[test].service),
                               campaign.test_key(report, test)});
}

void head(XmlStream& out, const Campaign& campaign, const CampaignHistory* history) {
    const CampaignCounts& c = campaign.counts;
    out.put(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Campaign ");
    out.put(ok_word(campaign.ok));
    out.put("</title>\n<style>");
    out.put(kCampaignPageStyle);
    if (history) {
        out.put(kHistoryPageStyle);
    }
    out.put("</style>\n</head>\n<body>\n<header class=\"page-head\" data-verdict=\"");
    out.put(ok_word(campaign.ok));
    out.put("\"><div class=\"wrap\"><p class=\"kicker\">Test campaign</p><h1>");
    out.put("<span id=\"campaign-verdict\" class=\"badge badge-");
    out.put(ok_word(campaign.ok));
    out.put("\">");
    out.put(ok_word(campaign.ok));
    out.put(
        "</span> Campaign</h1></div></header>\n<main class=\"wrap\">\n<section "
        "class=\"tiles\" id=\"summary\">");
    tile(out, {"count-reports", c.reports, "reports", "", "reports", "filter="});
    tile(out, {"count-reports-ko", c.reports_ko, "KO runs", "ko", "reports", "filter=ko"});
    tile(out, {"count-tests-ok", c.tests_ok, "tests OK", "ok", "reports", "filter="});
    tile(out, {"count-tests-ko", c.tests_ko, "tests KO", "ko", "failing", "filter=ko"});
    tile(out, {"count-requirements-ok", c.requirements_ok, "requirements OK", "ok", "matrix",
               "filter="});
    tile(out, {"count-requirements-ko", c.requirements_ko, "requirements KO", "ko", "matrix",
               "filter=ko"});
    tile(out, {"count-requirements-not-verified", c.requirements_not_verified, "not verified", "nv",
               "matrix", "filter=nv"});
    if (campaign.has_requirement_list) {
        tile(out, {"count-requirements-unlisted", c.requirements_unlisted, "unlisted", "nv",
                   "matrix", "search=unlisted"});
    }
    if (c.problems > 0) {
        tile(out, {"count-problems", c.problems, "unusable inputs", "ko", "problems", "filter="});
    }
    out.put(
        "</section>\n<div class=\"filter\" id=\"filter\" hidden><input type=\"search\" "
        "id=\"search\" placeholder=\"Search requirements, reports, tests\" "
        "aria-label=\"Search\"><label><input type=\"checkbox\" id=\"ko-only\"> KO "
        "only</label><label><input type=\"checkbox\" id=\"nv-only\"> Not verified "
        "only</label></div>\n<nav class=\"jump\"><a href=\"#reports\">Reports</a> "
        "<a href=\"#matrix\">Requirement matrix</a> <a href=\"#failing\">Failing "
        "tests</a> <a href=\"#provenance\">Provenance</a></nav>\n");
}

void problems(XmlStream& out, const Campaign& campaign) {
    if (campaign.problems.isEmpty()) {
        return;
    }
    out.put(
        "<section class=\"card\" id=\"problems\"><h2>Inputs that could not be used</h2><ul "
        "class=\"problems\">");
    for (const QString& problem : campaign.problems) {
        out.put("<li>");
        append_html(out, problem.toStdString());
        out.put("</li>");
    }
    out.put("</ul></section>\n");
}

// The row that stands for what a capped list leaves out.
void more_row(XmlStream& out, std::size_t more) {
    if (more == 0) {
        return;
    }
    out.put("<tr><td></td><td></td><td class=\"quiet\">and ");
    out.put_int(static_cast<long long>(more));
    out.put(" more</td></tr>");
}

void changes_section(XmlStream& out, const Changes& changes) {
    static const char* const kKinds[kChangeKinds] = {"regression", "fixed", "appeared",
                                                     "disappeared"};
    static const char* const kTitles[kChangeKinds] = {"Regressions (now KO)", "Fixed (KO → OK)",
                                                      "Appeared", "Disappeared"};
    out.put(
        "<section class=\"card\" id=\"changes\"><h2>Changes since the baseline</h2>"
        "<table><thead><tr><th>Change</th><th>What</th><th>Name</th></tr></thead><tbody>");
    bool any = false;
    for (int kind = 0; kind < kChangeKinds; ++kind) {
        // Every regression is shown: each one fails the gate.
        std::size_t room = kind == kRegression ? SIZE_MAX : kChangesShown;
        std::size_t more = 0;
        // Starts a row of this kind up to its name cell, unless the kind's
        // rows are past their cap: then it is only counted.
        const auto row = [&](const char* what) {
            any = true;
            if (room == 0) {
                ++more;
                return false;
            }
            --room;
            out.put("<tr class=\"change-");
            out.put(kKinds[kind]);
            out.put("\"><td>");
            out.put(kTitles[kind]);
            out.put("</td><td>");
            out.put(what);
            out.put("</td><td>");
            return true;
        };
        for (const std::string& report : changes.runs[kind]) {
            if (row("run")) {
                append_html(out, report);
                out.put("</td></tr>");
            }
        }
        for (const auto& [report, service, test] : changes.tests[kind]) {
            if (row("test")) {
                append_html(out, report);
                out.put(kStep);
                append_html(out, service);
                out.put(kStep);
                append_html(out, test);
                out.put("</td></tr>");
            }
        }
        for (const std::string& id : changes.requirements[kind]) {
            if (!row("requirement")) {
                continue;
            }
            // A requirement that disappeared has no row to link to.
            if (kind == kDisappeared) {
                out.put("<span class=\"id\">");
                append_html(out, id);
                out.put("</span></td></tr>");
                continue;
            }
            out.put("<a class=\"id\" href=\"#");
            out.put(anchor_id("req-", {id}));
            out.put("\">");
            append_html(out, id);
            out.put("</a></td></tr>");
        }
        more_row(out, more);
    }
    if (!any) {
        out.put("<tr><td colspan=\"3\" class=\"quiet\">No change.</td></tr>");
    }
    out.put("</tbody></table></section>\n");
}

void reports_section(XmlStream& out, const Campaign& campaign,
                     const std::vector<std::string>& links) {
    std::vector<int> order = reports_in_natural_order(campaign);
    std::stable_partition(order.begin(), order.end(),
                          [&](int r) { return !campaign.reports[r].run_ok; });
    out.put("<section class=\"card\" id=\"reports\"><h2>Reports</h2>");
    grid_start(out, "reports-table", "cols-reports",
               {"Report", "Run", "Tests OK", "Tests KO", "File"});
    for (const int r : order) {
        const ReportResult& report = campaign.reports[r];
        int ko = 0;
        for (const TestResult& test : report.tests) {
            ko += test.ok ? 0 : 1;
        }
        row_start(out, report_anchor(campaign, r), ok_word(report.run_ok));
        cell(out);
        out.put("<a href=\"");
        append_html(out, links[r]);
        out.put("\">");
        append_html(out, campaign.report_keys[r]);
        out.put("</a></div>");
        cell(out);
        badge(out, ok_word(report.run_ok), ok_word(report.run_ok));
        out.put("</div>");
        cell(out, "num");
        out.put_int(static_cast<long long>(report.tests.size()) - ko);
        out.put("</div>");
        cell(out, "num");
        out.put_int(ko);
        out.put("</div>");
        cell(out, "path");
        append_html(out, shown_file_name(report.path).toStdString());
        out.put("</div></div>\n");
    }
    out.put("</div></section>\n");
}

// What a place or a failing test links to: the test in its report's page,
// else that page, else the report's row of this page.
struct PageLinks {
    const std::vector<std::string>& reports;
    ReportPageAnchors anchors;

    std::string to(const Campaign& campaign, int report, int service, int test) const {
        std::string link = page_link(reports[report], anchors, report, service, test);
        return link.empty() ? "#" + report_anchor(campaign, report) : link;
    }
};

// One place per line, the whole of it a link (one element: the matrix of a
// large campaign holds tens of thousands); KO ones say so in words as well
// as in colour.
void place_item(XmlStream& out, const Campaign& campaign, const RequirementPlace& place,
                const PageLinks& links) {
    const ReportResult& report = campaign.reports[place.report];
    const RequirementOccurrence& occurrence = report.requirements[place.occurrence];
    out.put(occurrence.ok ? "<a href=\"" : "<a class=\"ko\" href=\"");
    append_html(out, links.to(campaign, place.report, occurrence.service, occurrence.test));
    out.put("\">");
    append_html(out, campaign.report_keys[place.report]);
    if (occurrence.service >= 0) {
        out.put(kStep);
        append_html(out, report.service_name(occurrence.service));
    } else {
        out.put(" (run)");
    }
    if (occurrence.test >= 0) {
        out.put(kStep);
        append_html(out, campaign.test_key(place.report, occurrence.test));
    }
    if (occurrence.element.size > 0) {
        out.put(kStep);
        append_html(out, report.text(occurrence.element));
    }
    out.put(occurrence.ok ? "</a>" : " (KO)</a>");
}

// The first kPlacesShown places (KO ones first: see Requirement::places),
// then how many more. Past them every KO place is in a fold, each one a
// failure to look at; the OK ones are counted (the CSV and the JSON have
// them all).
void places(XmlStream& out, const Campaign& campaign, const std::vector<RequirementPlace>& all,
            const PageLinks& links) {
    const std::size_t shown = std::min(all.size(), kPlacesShown);
    for (std::size_t i = 0; i < shown; ++i) {
        place_item(out, campaign, all[i], links);
    }
    if (shown == all.size()) {
        return;
    }
    std::size_t ko_end = shown;
    while (ko_end < all.size() &&
           !campaign.reports[all[ko_end].report].requirements[all[ko_end].occurrence].ok) {
        ++ko_end;
    }
    if (ko_end == shown) {
        out.put("<span class=\"quiet\">and ");
        out.put_int(static_cast<long long>(all.size() - shown));
        out.put(" more</span>");
        return;
    }
    out.put("<details class=\"more\"><summary>and ");
    out.put_int(static_cast<long long>(all.size() - shown));
    out.put(" more, ");
    out.put_int(static_cast<long long>(ko_end - shown));
    out.put(" KO</summary>");
    for (std::size_t i = shown; i < ko_end; ++i) {
        place_item(out, campaign, all[i], links);
    }
    out.put("</details>");
}

void matrix_section(XmlStream& out, const Campaign& campaign, const PageLinks& links,
                    const CampaignHistory* history) {
    out.put("<section class=\"card\" id=\"matrix\"><h2>Requirement matrix</h2>");
    grid_start(out, "matrix-table", "cols-matrix",
               {"Requirement", "Verdict", "OK", "KO", "Verified in"});
    for (const Requirement& requirement : campaign.requirements) {
        const std::string id = anchor_id("req-", {requirement.id});
        row_start(out, id, verdict_code(requirement.verdict));
        cell(out);
        out.put("<a class=\"id\" href=\"#");
        out.put(id);
        out.put("\">");
        append_html(out, requirement.id);
        out.put("</a>");
        if (!requirement.title.empty()) {
            out.put(" <span class=\"title\">");
            append_html(out, requirement.title);
            out.put("</span>");
        }
        if (campaign.has_requirement_list && !requirement.listed) {
            out.put("<span class=\"flag\">unlisted</span>");
        }
        if (history) {  // its requirements come in the campaign's order
            write_history_line(out,
                               history->requirements[&requirement - &campaign.requirements[0]]);
        }
        out.put("</div>");
        cell(out);
        badge(out, verdict_code(requirement.verdict), verdict_word(requirement.verdict));
        out.put("</div>");
        cell(out, "num");
        out.put_int(requirement.ok_count);
        out.put("</div>");
        cell(out, "num");
        out.put_int(requirement.ko_count);
        out.put("</div>");
        cell(out, "places");
        places(out, campaign, requirement.places, links);
        out.put("</div></div>\n");
    }
    out.put("</div></section>\n");
}

// The KO tests by report, each report's in a fold that names it: open when
// the campaign has few KO tests, closed when it has many, so that a browser
// lays out only the reports one opens (a search opens the folds it finds
// rows in, and finds a row by its report's name too).
void failing_section(XmlStream& out, const Campaign& campaign, const PageLinks& links,
                     const CampaignHistory* history) {
    // The history's KO tests come in report order, the reports here in
    // natural order: where each report's KO tests start among them.
    std::vector<std::size_t> first_ko_test(campaign.reports.size(), 0);
    for (std::size_t r = 1; r < campaign.reports.size(); ++r) {
        const std::vector<TestResult>& tests = campaign.reports[r - 1].tests;
        first_ko_test[r] =
            first_ko_test[r - 1] + std::count_if(tests.begin(), tests.end(),
                                                 [](const TestResult& test) { return !test.ok; });
    }
    out.put("<section class=\"card\" id=\"failing\"><h2>Failing tests</h2>");
    grid_start(out, "failing-table", "cols-failing", {"Service", "Test"});
    const bool open = static_cast<std::size_t>(campaign.counts.tests_ko) <= kFailingShownOpen;
    for (const int r : reports_in_natural_order(campaign)) {
        const ReportResult& report = campaign.reports[r];
        const auto ko = std::count_if(report.tests.begin(), report.tests.end(),
                                      [](const TestResult& test) { return !test.ok; });
        if (ko == 0) {
            continue;
        }
        out.put(open ? "<details class=\"group\" open><summary>"
                     : "<details class=\"group\"><summary>");
        out.put("<a href=\"#");
        out.put(report_anchor(campaign, r));
        out.put("\">");
        append_html(out, campaign.report_keys[r]);
        out.put("</a>: ");
        out.put_int(ko);
        out.put(ko == 1 ? " KO test</summary>\n" : " KO tests</summary>\n");
        std::size_t ko_test = first_ko_test[r];
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            if (report.tests[t].ok) {
                continue;
            }
            row_start(out, test_anchor(campaign, r, static_cast<int>(t)), "KO");
            cell(out);
            append_html(out, report.service_name(report.tests[t].service));
            out.put("</div>");
            cell(out);
            out.put("<a href=\"");
            append_html(out, links.to(campaign, r, report.tests[t].service, static_cast<int>(t)));
            out.put("\">");
            append_html(out, campaign.test_key(r, t));
            out.put("</a>");
            // Why it failed, as far as the report says.
            const std::vector<std::string> cause = test_cause_lines(report, static_cast<int>(t));
            if (!cause.empty()) {
                out.put("<div class=\"cause\">");
                for (std::size_t i = 0; i < cause.size(); ++i) {
                    out.put(i == 0 ? "" : "\n");
                    append_html(out, cause[i]);
                }
                out.put("</div>");
            }
            if (history) {
                write_history_line(out, history->ko_tests[ko_test++]);
            }
            out.put("</div></div>\n");
        }
        out.put("</details>\n");
    }
    out.put("</div>");
    if (campaign.counts.tests_ko == 0) {
        out.put("<p class=\"quiet\">No failing test.</p>");
    }
    out.put("</section>\n");
}

}  // namespace

void write_campaign_html(XmlStream& out, const Campaign& campaign,
                         const CampaignProvenance& provenance, const Changes* changes,
                         const std::vector<std::string>& links, const CampaignHistory* history) {
    head(out, campaign, history);
    problems(out, campaign);
    if (history) {
        write_history_section(out, *history);
    }
    if (changes) {
        changes_section(out, *changes);
    }
    reports_section(out, campaign, links);
    const PageLinks page_links{links, ReportPageAnchors(campaign)};
    matrix_section(out, campaign, page_links, history);
    failing_section(out, campaign, page_links, history);
    write_provenance_section(out, campaign, provenance);
    out.put(
        "<footer class=\"page-foot\">Written by quillon-campaign from the requirement "
        "reports.</footer>\n</main>\n<script>");
    out.put(kCampaignPageScript);
    out.put("</script>\n</body>\n</html>\n");
}
