// The campaign page in headless Chromium: one matrix row per requirement, KO
// rows first, the "KO only" switch and the search box set from the URL
// fragment, and a screenshot of a large campaign kept for a person to see.

#include "campaign/html_writer.h"
#include "campaign/html_text.h"
#include "tests/support/headless_chromium.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TEST(HtmlText, AnchorsDependOnNamesOnlyAndNeverCollide) {
    EXPECT_EQ(anchor_id("req-", {"LLR_0003"}), "req-LLR_0003");
    EXPECT_EQ(anchor_id("test-", {"Board A", "nav/x", "t~1"}), "test-Board~20A/nav~2Fx/t~7E1");
    EXPECT_NE(anchor_id("t-", {"a/b", "c"}), anchor_id("t-", {"a", "b/c"}));
    EXPECT_EQ(anchor_id("r-", {"\xC3\xA9=&"}), "r-~C3~A9~3D~26");
    XmlStream html;
    append_html(html, "<a href=\"x\">&</a>");
    EXPECT_EQ(html.text(), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
}

// However large the campaign, a matrix row shows three places, the KO ones
// first, then how many more; a few places show all, in order. Every
// regression is listed, other changes up to 50 of each kind.
TEST(CampaignPageBounds, PlacesAndChangesAreCappedKoFirst) {
    ReportResult report;
    report.name = "R";
    report.services = {{report.add_text("s"), false}};
    for (int t = 0; t < 12; ++t) {
        report.tests.push_back({0, report.add_text("t" + std::to_string(t)), t != 11});
        report.requirements.push_back({report.add_text("MANY"), {}, t != 11, 0, t, {}});
    }
    for (int t = 0; t < 3; ++t) {
        report.requirements.push_back({report.add_text("FEW"), {}, true, 0, 2 - t, {}});
    }
    const Campaign c = build_campaign({report}, std::nullopt, {});
    Changes changes;
    for (int i = 0; i < 60; ++i) {
        changes.tests[kRegression].push_back({"R", "s", "r" + std::to_string(i)});
        changes.tests[kFixed].push_back({"R", "s", "f" + std::to_string(i)});
    }
    XmlStream page;
    write_campaign_html(page, c, {}, &changes, {"r.html"});
    const std::string html = page.text();
    const auto row = [&](const std::string& id) {
        const std::size_t at = html.find("id=\"req-" + id + "\"");
        return html.substr(at, html.find("</div></div>\n", at) - at);
    };
    const std::string step = " \xE2\x80\xBA ";
    const std::string many = row("MANY");
    std::vector<std::size_t> at;
    for (const char* test : {"t11 (KO)<", "t0<", "t1<", "and 9 more<"}) {
        at.push_back(many.find(test));
        EXPECT_NE(at.back(), std::string::npos) << test;
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    EXPECT_EQ(qtest::count(many, "</a>"), 4u);  // its ID, then three places
    const std::string few = row("FEW");
    EXPECT_LT(few.find(step + "t2<"), few.find(step + "t0<"));
    EXPECT_EQ(qtest::count(few, "</a>"), 4u);
    EXPECT_EQ(few.find("more"), std::string::npos);
    EXPECT_EQ(qtest::count(html, "class=\"change-regression\""), 60u);
    EXPECT_EQ(qtest::count(html, "class=\"change-fixed\""), 50u);
    EXPECT_EQ(qtest::count(html, "and 10 more"), 1u);
}

// 50 reports of 4 services of 10 tests; 600 requirements, each verified by
// several tests; one test in 97 KO; 20 listed requirements never verified.
Campaign large_campaign() {
    std::vector<ReportResult> reports;
    int n = 0;
    for (int r = 0; r < 50; ++r) {
        ReportResult report;
        report.name = "Board " + std::to_string(r);
        report.path = "board_" + std::to_string(r) + ".req.xml";
        report.real_path = "/c/" + report.path;
        report.provenance.sha256 = "digest" + std::to_string(r);
        for (int s = 0; s < 4; ++s) {
            report.services.push_back({report.add_text("service_" + std::to_string(s)), true});
            for (int t = 0; t < 10; ++t, ++n) {
                const bool ok = n % 97 != 0;
                const int test = static_cast<int>(report.tests.size());
                report.tests.push_back({s, report.add_text("test_" + std::to_string(t)), ok});
                char id[16];
                std::snprintf(id, sizeof id, "LLR_%04d", n % 600);
                report.requirements.push_back({report.add_text(id), {}, ok, s, test, {}});
                report.run_ok = report.run_ok && ok;
            }
        }
        reports.push_back(std::move(report));
    }
    std::vector<std::string> listed;
    for (int i = 0; i < 620; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "LLR_%04d", i);
        listed.push_back(id);
    }
    return build_campaign(std::move(reports), listed, {});
}

struct Row {
    std::string id;
    std::string verdict;
    bool hidden;
};

class CampaignPage : public testing::Test {
  protected:
    qtest::TempDir dir;
    Campaign campaign = large_campaign();

    void SetUp() override {
        if (!qtest::file_exists(qtest::kChromium)) {
            GTEST_SKIP() << "Chromium is not installed (scripts/setup.sh --tests)";
        }
        const std::vector<std::string> links(campaign.reports.size(), "x.html");
        XmlStream page;
        write_campaign_html(page, campaign, {}, nullptr, links);
        qtest::write_file(dir.file("campaign.html"), page.text());
    }

    qtest::ProcessResult chromium(std::vector<std::string> what, const std::string& url) {
        what.push_back(url);
        return qtest::run_chromium(dir.path(), what);
    }

    // Opens the page at url (a fragment of campaign.html) in a frame of the
    // given width; once the page's own script has run, probe (the body of a
    // function of window and document) replaces the body by its findings,
    // one per line, which --dump-dom prints.
    std::vector<std::string> probe(const std::string& fragment, const char* script, int width) {
        qtest::write_file(
            dir.file("probe.html"),
            "<!DOCTYPE html><body><iframe id=\"f\" src=\"campaign.html" + fragment +
                "\" style=\"border:0;width:" + std::to_string(width) +
                "px;height:900px\"></iframe><script>addEventListener('load', function () {"
                "(function (window, document) {" +
                script +
                "})(f.contentWindow, f.contentDocument);"
                "document.body.textContent = f.contentDocument.body.textContent; });</script>");
        const qtest::ProcessResult run = chromium({"--dump-dom", "--allow-file-access-from-files"},
                                                  "file://" + dir.file("probe.html"));
        return qtest::probe_lines(run);
    }

    // The rows of the page as Chromium leaves them once its script has run.
    std::vector<Row> rows(const std::string& fragment, const std::string& prefix) {
        const qtest::ProcessResult run =
            chromium({"--dump-dom"}, "file://" + dir.file("campaign.html") + fragment);
        EXPECT_EQ(run.exit_status, 0) << run.err;
        // <div class="row" id="ID" data-verdict="KO" role="row"[ hidden=""]
        const std::string& dom = run.out;
        const std::string start = "<div class=\"row\" id=\"";
        const std::string verdict = "\" data-verdict=\"";
        const std::string role = "\" role=\"row\"";
        std::vector<Row> found;
        for (std::size_t at = dom.find(start); at != std::string::npos; at = dom.find(start, at)) {
            at += start.size();
            const std::size_t id_end = dom.find(verdict, at);
            const std::size_t verdict_end = dom.find(role, id_end);
            if (id_end == std::string::npos || verdict_end == std::string::npos) {
                ADD_FAILURE() << "a row without its verdict and role at " << at;
                break;
            }
            const std::string id = dom.substr(at, id_end - at);
            const std::size_t verdict_at = id_end + verdict.size();
            if (id.rfind(prefix, 0) == 0) {
                found.push_back({id, dom.substr(verdict_at, verdict_end - verdict_at),
                                 dom.compare(verdict_end + role.size(), 10, " hidden=\"\"") == 0});
            }
        }
        return found;
    }
};

TEST_F(CampaignPage, MatrixHasOneRowPerRequirementKoFirstAndKoOnlyHidesOkRows) {
    const std::vector<Row> matrix = rows("#filter=ko", "req-");
    ASSERT_EQ(matrix.size(), campaign.requirements.size());
    const std::string order = "KONVOK";
    std::size_t last = 0;
    for (const Row& r : matrix) {
        const std::size_t rank = order.find(r.verdict);
        EXPECT_GE(rank, last) << r.id << " comes after a row of a later verdict";
        last = rank;
        EXPECT_EQ(r.hidden, r.verdict == "OK") << r.id;
    }
    EXPECT_EQ(matrix.front().verdict, "KO");
    EXPECT_EQ(matrix.back().verdict, "OK");
    const std::vector<Row> reports = rows("#filter=ko", "report-");
    ASSERT_EQ(reports.size(), campaign.reports.size());
    EXPECT_EQ(reports.front().verdict, "KO");
}

TEST_F(CampaignPage, SearchLeavesOnlyMatchingRowsAndNoFragmentHidesNothing) {
    std::vector<std::string> shown;
    for (const Row& r : rows("#search=llr_0007", "req-")) {
        if (!r.hidden) {
            shown.push_back(r.id);
        }
    }
    EXPECT_EQ(shown, std::vector<std::string>{"req-LLR_0007"});
    for (const Row& r : rows("", "")) {
        EXPECT_FALSE(r.hidden) << r.id;
    }
}

TEST_F(CampaignPage, ScreenshotOfALargeCampaignIsKept) {
    const std::string shot = dir.file("campaign.png");
    const qtest::ProcessResult run = chromium({"--screenshot=" + shot, "--window-size=1280,2000"},
                                              "file://" + dir.file("campaign.html"));
    ASSERT_EQ(run.exit_status, 0) << run.err;
    const std::string png = qtest::read_file(shot);
    ASSERT_GT(png.size(), 20000u);  // a blank page compresses to far less
    EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
    const fs::path artifacts = fs::path(QUILLON_STAGE_DIR).parent_path() / "tests" / "artifacts";
    fs::create_directories(artifacts);
    fs::copy_file(shot, artifacts / "campaign.png", fs::copy_options::overwrite_existing);
}

// The filter the address names when the page opens, as on the report pages:
// a bad escape costs nothing but itself, and an anchor is no filter. Then
// the filter changed on the page is written back into the address, and a
// tile applies its own.
const char* kAddressProbe = R"(
  var box = document.getElementById('search');
  var ko = document.getElementById('ko-only'), nv = document.getElementById('nv-only');
  var lines = ['[' + box.value + '] ' + ko.checked + ' ' + nv.checked + ' '
      + document.querySelectorAll('#matrix-table .row:not([hidden])').length];
  box.value = 'a b&c';
  box.dispatchEvent(new Event('input'));
  ko.checked = false;
  nv.checked = true;
  nv.dispatchEvent(new Event('change'));
  lines.push(window.location.hash);
  document.getElementById('count-requirements-ko').parentElement.click();
  lines.push(window.location.hash + ' ' + box.value + ' '
      + document.querySelectorAll('#matrix-table .row:not([hidden])').length);
  document.body.textContent = lines.join('\n');
)";

TEST_F(CampaignPage, TheAddressHoldsTheFilter) {
    // 21 requirements KO, 20 not verified, 600 in all.
    const std::string written = "#search=a%20b%26c&filter=nv";
    const std::string tile = "#filter=ko  41";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "[] false false 620"},
        {"#search=llr_0007", "[llr_0007] false false 1"},
        {"#search=llr_0600&filter=nv", "[llr_0600] false true 1"},
        {"#filter=nv", "[] false true 20"},
        {"#filter=ko,nv", "[] true true 20"},
        {"#filter=ko&search=%", "[%] true false 0"},
        {"#search=%&filter=nv", "[%] false true 0"},
        {"#search=%4C%4cR_0007", "[LLR_0007] false false 1"},
        {"#req-LLR_0007", "[] false false 620"},
    };
    for (const auto& [address, opened] : cases) {
        EXPECT_EQ(probe(address, kAddressProbe, 1280),
                  (std::vector<std::string>{opened, written, tile}))
            << address;
    }
}

// Printed, the page is whole whatever the filter: a row the filter hides and
// the folded table of inputs are in the PDF, the filter bar is not, and each
// section starts a page.
TEST_F(CampaignPage, PdfHoldsFoldedAndFilteredRows) {
    const std::string pdftotext = "/usr/bin/pdftotext";
    if (!qtest::file_exists(pdftotext)) {
        GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils, installed by "
                        "scripts/setup.sh --tests)";
    }
    const qtest::ProcessResult print =
        chromium({"--no-pdf-header-footer", "--print-to-pdf=" + dir.file("page.pdf")},
                 "file://" + dir.file("campaign.html") + "#search=nothing&filter=ko");
    ASSERT_EQ(print.exit_status, 0) << print.err;
    const qtest::ProcessResult pdf = qtest::run_process(
        pdftotext, {"-raw", dir.file("page.pdf"), "-"}, {{"PATH", "/usr/bin:/bin"}}, "/");
    ASSERT_EQ(pdf.exit_status, 0) << pdf.err;
    EXPECT_NE(pdf.out.find("digest17"), std::string::npos) << "the inputs are folded";
    EXPECT_NE(pdf.out.find("LLR_0599"), std::string::npos) << "a filtered row is left out";
    EXPECT_EQ(pdf.out.find("KO only"), std::string::npos) << "the filter bar is printed";
    // Summary, reports, matrix, failing tests, provenance: a page each at least.
    EXPECT_GE(std::count(pdf.out.begin(), pdf.out.end(), '\f'), 5);
}

// At 420 px nothing sticks out of the page, no header overlaps the next, and
// a requirement's ID stays on one line.
const char* kNarrowProbe = R"(
  var lines = ['page ' + (document.documentElement.scrollWidth <= window.innerWidth)];
  document.querySelectorAll('.grid-head').forEach(function (head) {
    var cells = head.children;
    for (var i = 1; i < cells.length; i++) {
      var a = cells[i - 1].getBoundingClientRect(), b = cells[i].getBoundingClientRect();
      if (a.top === b.top && a.right > b.left + 0.5) {
        lines.push('overlap ' + cells[i - 1].textContent + ' ' + cells[i].textContent);
      }
    }
  });
  var id = document.querySelector('#matrix-table .row a.id');
  lines.push('one line ' + (id.getBoundingClientRect().height < 24));
  document.body.textContent = lines.join('\n');
)";

TEST_F(CampaignPage, ReadableAt420Pixels) {
    EXPECT_EQ(probe("", kNarrowProbe, 420),
              (std::vector<std::string>{"page true", "one line true"}));
}

}  // namespace
