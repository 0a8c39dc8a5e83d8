// The stylesheets of lib/reports, applied with xsltproc to hand-written
// reports (tests/report/data) and to the example campaign's report: the page
// and the JUnit view must parse and must say what the report says.

#include "tests/support/test_support.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kXsltproc = "/usr/bin/xsltproc";
const std::string kChromium = "/usr/bin/chromium";
const std::string kTimeout = "/usr/bin/timeout";
const std::string kDash = "\xE2\x80\x94";  // what the page shows for an empty text

std::string staged_stylesheet(const std::string& name) {
    return std::string(QUILLON_STAGE_DIR) + "/lib/reports/" + name;
}

std::string sample(const std::string& name) {
    return std::string(QUILLON_SOURCE_DIR) + "/tests/report/data/" + name;
}

#define SKIP_WITHOUT_XSLTPROC()                                                             \
    if (!qtest::file_exists(kXsltproc)) {                                                   \
        GTEST_SKIP() << "xsltproc is not installed (Debian package xsltproc, installed by " \
                        "scripts/setup.sh)";                                                \
    }

// Applies a staged stylesheet to a report; fails the test when xsltproc does.
std::string run_stylesheet(const std::string& sheet, const std::string& report) {
    const qtest::ProcessResult result = qtest::run_process(
        kXsltproc, {"--nonet", staged_stylesheet(sheet), report}, {{"PATH", "/usr/bin:/bin"}}, "/");
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return result.out;
}

// Enough of a document tree to find elements by id, class and name. A node
// with an empty name is a text node.
struct Node {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;
    std::vector<Node> children;

    std::string attr(const std::string& key) const {
        const auto it = attributes.find(key);
        return it == attributes.end() ? std::string() : it->second;
    }
    bool has_class(const std::string& wanted) const {
        std::istringstream classes(attr("class"));
        std::string one;
        while (classes >> one) {
            if (one == wanted) {
                return true;
            }
        }
        return false;
    }
};

Node parse(const std::string& xml) {
    QXmlStreamReader reader(QByteArray(xml.data(), static_cast<qsizetype>(xml.size())));
    Node root;
    std::vector<Node*> open{&root};
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                Node node;
                node.name = reader.name().toString().toStdString();
                for (const QXmlStreamAttribute& a : reader.attributes()) {
                    node.attributes[a.name().toString().toStdString()] =
                        a.value().toString().toStdString();
                }
                open.back()->children.push_back(std::move(node));
                open.push_back(&open.back()->children.back());
                break;
            }
            case QXmlStreamReader::EndElement:
                open.pop_back();
                break;
            case QXmlStreamReader::Characters: {
                Node text;
                text.text = reader.text().toString().toStdString();
                open.back()->children.push_back(std::move(text));
                break;
            }
            default:
                break;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return root;
}

std::string text(const Node& node) {
    std::string all = node.text;
    for (const Node& child : node.children) {
        all += text(child);
    }
    return all;
}

template <typename Pred>
void collect(const Node& node, Pred pred, std::vector<const Node*>& found) {
    if (!node.name.empty() && pred(node)) {
        found.push_back(&node);
    }
    for (const Node& child : node.children) {
        collect(child, pred, found);
    }
}

template <typename Pred>
std::vector<const Node*> all(const Node& node, Pred pred) {
    std::vector<const Node*> found;
    collect(node, pred, found);
    return found;
}

std::vector<const Node*> by_class(const Node& node, const std::string& cls) {
    return all(node, [&](const Node& n) { return n.has_class(cls); });
}

std::vector<const Node*> by_name(const Node& node, const std::string& name) {
    return all(node, [&](const Node& n) { return n.name == name; });
}

const Node* by_id(const Node& node, const std::string& id) {
    const auto found = all(node, [&](const Node& n) { return n.attr("id") == id; });
    return found.size() == 1 ? found.front() : nullptr;
}

std::string text_by_id(const Node& node, const std::string& id) {
    const Node* found = by_id(node, id);
    EXPECT_NE(found, nullptr) << "no single element with id " << id;
    return found ? text(*found) : std::string();
}

std::string text_of_class(const Node& node, const std::string& cls) {
    const auto found = by_class(node, cls);
    EXPECT_EQ(found.size(), 1u) << "class " << cls;
    return found.empty() ? std::string() : text(*found.front());
}

std::string shown(const std::string& value) {
    return value.empty() ? kDash : value;
}

// What the report says, read the way a reader of the format reads it.
struct ReportFacts {
    long valid = 0;
    long invalid = 0;
    long tests = 0;
    std::vector<const Node*> services;  // SERVICE elements with counts
    // Every REQUIREMENT of a REQUIREMENTS block: name, status, the element
    // that holds the block (RUN, SERVICE, TEST or ELEMENT), and the names of
    // the service, test and element it appears in (empty where it has none).
    std::vector<
        std::tuple<std::string, std::string, std::string, std::string, std::string, std::string>>
        requirements;
};

void collect_requirements(const Node& node, const std::string& service, const std::string& test,
                          const std::string& element, ReportFacts& facts) {
    for (const Node& child : node.children) {
        if (child.name == "REQUIREMENTS") {
            for (const Node& req : child.children) {
                if (req.name == "REQUIREMENT") {
                    facts.requirements.emplace_back(req.attr("NAME"), req.attr("STATUS"), node.name,
                                                    service, test, element);
                }
            }
        } else if (child.name == "TEST") {
            collect_requirements(child, service, child.attr("NAME"), element, facts);
        } else if (child.name == "ELEMENT") {
            collect_requirements(child, service, test, child.attr("NAME"), facts);
        }
    }
}

ReportFacts read_report(const Node& report) {
    ReportFacts facts;
    const Node& run = report.children.back();
    EXPECT_EQ(run.name, "RUN");
    collect_requirements(run, "", "", "", facts);
    for (const Node& child : run.children) {
        if (child.name == "SERVICE" && child.attributes.count("NB_TEST") != 0) {
            facts.services.push_back(&child);
            facts.valid += std::stol(child.attr("NB_VALID"));
            facts.invalid += std::stol(child.attr("NB_INVALID"));
            facts.tests += std::stol(child.attr("NB_TEST"));
            collect_requirements(child, child.attr("NAME"), "", "", facts);
        }
    }
    return facts;
}

struct Rendered {
    std::string html;
    Node page;
    Node report;
    ReportFacts facts;
};

Rendered render(const std::string& report_path) {
    Rendered r;
    r.html = run_stylesheet("testreq_report.xsl", report_path);
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(r.html, &error)) << error;
    r.page = parse(r.html);
    r.report = parse(qtest::read_file(report_path));
    r.facts = read_report(r.report);
    return r;
}

// The checks every rendered report must pass, whatever it holds.
void expect_page_matches_report(const Rendered& r) {
    EXPECT_EQ(text_by_id(r.page, "total-valid"), std::to_string(r.facts.valid));
    EXPECT_EQ(text_by_id(r.page, "total-invalid"), std::to_string(r.facts.invalid));
    EXPECT_EQ(text_by_id(r.page, "total-tests"), std::to_string(r.facts.tests));
    EXPECT_EQ(text_by_id(r.page, "total-services"), std::to_string(r.facts.services.size()));
    EXPECT_EQ(text_by_id(r.page, "total-requirements"),
              std::to_string(r.facts.requirements.size()));

    // One section per service with its counts, one row per test with its status.
    const auto sections = by_class(r.page, "service");
    ASSERT_EQ(sections.size(), r.facts.services.size());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Node& service = *r.facts.services[i];
        EXPECT_EQ(text_of_class(*sections[i], "service-name"), shown(service.attr("NAME")));
        EXPECT_EQ(sections[i]->attr("data-status"), service.attr("STATUS"));
        EXPECT_EQ(sections[i]->attr("data-nb-valid"), service.attr("NB_VALID"));
        EXPECT_EQ(sections[i]->attr("data-nb-invalid"), service.attr("NB_INVALID"));
        EXPECT_EQ(sections[i]->attr("data-nb-test"), service.attr("NB_TEST"));
        const auto rows = by_class(*sections[i], "test");
        const auto tests = by_name(service, "TEST");
        ASSERT_EQ(rows.size(), tests.size());
        for (std::size_t t = 0; t < rows.size(); ++t) {
            EXPECT_EQ(text_of_class(*rows[t], "test-name"), shown(tests[t]->attr("NAME")));
            EXPECT_EQ(rows[t]->attr("data-status"), tests[t]->attr("STATUS"));
            EXPECT_EQ(text_of_class(*rows[t], "test-status"), tests[t]->attr("STATUS"));
            EXPECT_EQ(rows[t]->has_class("ko"), tests[t]->attr("STATUS") == "KO");
        }
    }

    // Every requirement in the table with its status and place, KO first.
    using Row = std::tuple<std::string, std::string, std::string, std::string, std::string>;
    std::multiset<Row> expected;
    for (const auto& [name, status, owner, service, test, element] : r.facts.requirements) {
        expected.emplace(shown(name), status, owner == "RUN" ? "run" : shown(service), shown(test),
                         shown(element));
    }
    std::multiset<Row> listed;
    bool seen_ok = false;
    if (const Node* table = by_id(r.page, "requirements")) {
        for (const Node* row : by_class(*table, "req-row")) {
            listed.emplace(text_of_class(*row, "req-name"), text_of_class(*row, "req-status"),
                           text_of_class(*row, "where-service"), text_of_class(*row, "where-test"),
                           text_of_class(*row, "where-element"));
            EXPECT_EQ(row->attr("data-status"), text_of_class(*row, "req-status"));
            if (row->attr("data-status") == "OK") {
                seen_ok = true;
            } else {
                EXPECT_FALSE(seen_ok) << "a KO requirement listed after an OK one";
            }
        }
    }
    EXPECT_EQ(listed, expected);
}

TEST(ReportPage, ElementModeReportMatchesItsCounts) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode.req.xml"));
    expect_page_matches_report(r);
    // The header entry named SERVICE is not a service, nor counted as one.
    EXPECT_EQ(text_by_id(r.page, "total-services"), "2");
    EXPECT_EQ(text_by_id(r.page, "total-requirements-ko"), "4");
    EXPECT_EQ(text_by_id(r.page, "run-status"), "KO");

    const auto elements = by_class(r.page, "element");
    std::vector<std::string> seen;
    for (const Node* e : elements) {
        seen.push_back(text_of_class(*e, "element-name") + " " + e->attr("data-status"));
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"prime OK", "spin_up OK", "check_limit KO", "log OK"}));
}

TEST(ReportPage, ElementModeOffReportMatchesItsCounts) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode_off.req.xml"));
    expect_page_matches_report(r);
    EXPECT_TRUE(by_class(r.page, "element").empty());
    // The three REQUIREMENTS blocks of one test all show in its row.
    const auto rows = by_class(r.page, "test");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(by_class(*rows[0], "req").size(), 3u);
    EXPECT_EQ(by_id(r.page, "header-entries"), nullptr);
    EXPECT_EQ(by_id(r.page, "environment"), nullptr);
}

TEST(ReportPage, EmptyRunRendersZeroTotals) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("empty_run.req.xml"));
    expect_page_matches_report(r);
    EXPECT_EQ(text_by_id(r.page, "total-tests"), "0");
    EXPECT_EQ(by_id(r.page, "requirements"), nullptr);
    EXPECT_EQ(text_by_id(r.page, "run-status"), "OK");
}

// An element such as <td/> reads as an unclosed start tag to a browser, so
// only void elements may be written empty.
TEST(ReportPage, OnlyVoidElementsAreSelfClosed) {
    SKIP_WITHOUT_XSLTPROC();
    for (const char* name :
         {"element_mode.req.xml", "element_mode_off.req.xml", "empty_run.req.xml"}) {
        const std::string html = run_stylesheet("testreq_report.xsl", sample(name));
        std::size_t end = 0;
        while ((end = html.find("/>", end)) != std::string::npos) {
            const std::size_t start = html.rfind('<', end);
            const std::string tag =
                html.substr(start + 1, html.find_first_of(" /", start) - start - 1);
            EXPECT_TRUE(tag == "meta" || tag == "br" || tag == "hr")
                << name << ": <" << tag << "/>";
            end += 2;
        }
        EXPECT_EQ(html.rfind("<!DOCTYPE html", 0), 0u) << name;
    }
}

TEST(ReportPage, MarkupInDataIsShownAsText) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode.req.xml"));
    EXPECT_TRUE(by_name(r.page, "b").empty());
    EXPECT_TRUE(by_name(r.page, "raw").empty());
    EXPECT_NE(r.html.find("Campaign for the &lt;b&gt;pump&lt;/b&gt; controller &amp; its valve, "
                          "\"nightly\""),
              std::string::npos);

    std::vector<std::string> comments;
    for (const Node* c : by_class(r.page, "comment")) {
        comments.push_back(text(*c));
    }
    EXPECT_EQ(comments.front(), "Campaign for the <b>pump</b> controller & its valve, \"nightly\"");
    EXPECT_NE(std::find(comments.begin(), comments.end(), "Must stop when p > <b>max</b> & warn."),
              comments.end());

    const auto names = by_class(*by_id(r.page, "requirements"), "req-name");
    std::set<std::string> req_names;
    for (const Node* n : names) {
        req_names.insert(text(*n));
    }
    EXPECT_EQ(req_names.count("SRS_PMP_<b>013</b>"), 1u);
    std::set<std::string> attr_values;
    for (const Node* v : by_class(r.page, "attr-value")) {
        attr_values.insert(text(*v));
    }
    EXPECT_EQ(attr_values.count("25, \"quoted\" & <raw>"), 1u);
    EXPECT_EQ(text_of_class(r.page, "title"), "Pump <b>controller</b>");
}

TEST(ReportPage, TabsAndLineBreaksInValuesSurvive) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode_off.req.xml"));
    std::set<std::string> attr_values;
    for (const Node* v : by_class(r.page, "attr-value")) {
        attr_values.insert(text(*v));
    }
    EXPECT_EQ(attr_values.count("line one\nline two\ttabbed"), 1u);
}

std::vector<std::string> fact_rows(const Node& table) {
    std::vector<std::string> rows;
    for (const Node* tr : by_name(table, "tr")) {
        const auto th = by_name(*tr, "th");
        const auto td = by_name(*tr, "td");
        if (th.size() == 1 && td.size() == 1) {
            rows.push_back(th[0]->attr("title") + "=" + text(*td[0]));
        }
    }
    return rows;
}

TEST(ReportPage, SummaryShowsRunFieldsAndHeaderSection) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode.req.xml"));
    EXPECT_EQ(text_of_class(r.page, "path"), "/home/qa/suites/pump&valve");
    EXPECT_EQ(text_of_class(r.page, "author"), "tester");

    const Node* info = by_id(r.page, "run-info");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(fact_rows(*info),
              (std::vector<std::string>{
                  "=KO", "TESTSUITE_PATH=/home/qa/suites/pump&valve", "AUTHOR=tester",
                  "REPORT_NAME=Pump <b>controller</b>", "VERSION=3.2", "TOOL_VERSION=Qarvo 7.2",
                  "TARGET=x86_64-linux-gcc", "PTU_FILE_NAME=tests/pump.ptu", "PTU_VERSION=1.4",
                  "SRC_FILE_NAME=src/pump.c", "SRC_VERSION=" + kDash,
                  "PREPRO_DATE=2026/11/30 09:12:44", "RUN_DATE=2026/11/30 09:13:02"}));

    const Node* env = by_id(r.page, "environment");
    ASSERT_NE(env, nullptr);
    EXPECT_EQ(fact_rows(*env),
              (std::vector<std::string>{"HOST_NAME=bench-07", "OPERATING_SYSTEM=Debian 12",
                                        "TARGET=x86_64    integration bench",
                                        "TESTER=Quality & Assurance"}));

    const Node* entries = by_id(r.page, "header-entries");
    ASSERT_NE(entries, nullptr);
    std::vector<std::string> rows;
    for (const Node* tr : by_class(*entries, "header-entry")) {
        rows.push_back(text_of_class(*tr, "entry-tag") + "|" + text_of_class(*tr, "entry-name") +
                       "|" + text_of_class(*tr, "entry-field") + "|" +
                       text_of_class(*tr, "entry-value"));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"OS|Linux|VALUE|6.1", "COMPILER|gcc|VERSION|12.2",
                                              "SERVICE|pool|VALUE|nightly",
                                              "COMMENT|shift|VALUE|night & day"}));
}

TEST(ReportPage, CoverageRatiosGuardAgainstNoBranches) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode.req.xml"));
    std::vector<std::string> modules;
    for (const Node* table : by_class(r.page, "coverage")) {
        modules.push_back(table->attr("data-module"));
    }
    // Run, then the first test, then the service's two modules.
    EXPECT_EQ(modules,
              (std::vector<std::string>{"src/pump.c", "src/pump.c", "src/pump.c", "src/valve.c"}));
    std::vector<std::string> ratios;
    for (const Node* cell : by_class(r.page, "ratio")) {
        ratios.push_back(text_of_class(*cell, "percent"));
    }
    EXPECT_EQ(ratios, (std::vector<std::string>{"100.0%", "n/a", "100.0%", "75.0%", "100.0%",
                                                "80.0%", "80.0%", "50.0%"}));
    std::vector<std::string> covered;
    for (const Node* cell : by_class(r.page, "covered")) {
        covered.push_back(text(*cell));
    }
    EXPECT_EQ(covered, (std::vector<std::string>{"2", "0", "2", "3", "1", "4", "08", "1"}));
}

// ---------------------------------------------------------------------------

void expect_junit_matches_report(const std::string& report_path) {
    const std::string junit = run_stylesheet("testreq_junit.xsl", report_path);
    std::string error;
    ASSERT_TRUE(qtest::parses_as_xml(junit, &error)) << error;
    const Node doc = parse(junit);
    const Node report = parse(qtest::read_file(report_path));
    const ReportFacts facts = read_report(report);

    const auto suites_root = by_name(doc, "testsuites");
    ASSERT_EQ(suites_root.size(), 1u);
    EXPECT_EQ(suites_root[0]->attr("tests"), std::to_string(facts.tests));
    EXPECT_EQ(suites_root[0]->attr("failures"), std::to_string(facts.invalid));
    EXPECT_EQ(by_name(doc, "testcase").size(), static_cast<std::size_t>(facts.tests));
    EXPECT_EQ(by_name(doc, "failure").size(), static_cast<std::size_t>(facts.invalid));

    const auto suites = by_name(doc, "testsuite");
    ASSERT_EQ(suites.size(), facts.services.size());
    for (std::size_t i = 0; i < suites.size(); ++i) {
        const Node& service = *facts.services[i];
        EXPECT_EQ(suites[i]->attr("name"), service.attr("NAME"));
        EXPECT_EQ(suites[i]->attr("tests"), service.attr("NB_TEST"));
        EXPECT_EQ(suites[i]->attr("failures"), service.attr("NB_INVALID"));
        const auto cases = by_name(*suites[i], "testcase");
        const auto tests = by_name(service, "TEST");
        ASSERT_EQ(cases.size(), tests.size());
        for (std::size_t t = 0; t < cases.size(); ++t) {
            EXPECT_EQ(cases[t]->attr("classname"), service.attr("NAME"));
            EXPECT_EQ(cases[t]->attr("name"), tests[t]->attr("NAME"));
            EXPECT_EQ(by_name(*cases[t], "failure").size(),
                      tests[t]->attr("STATUS") == "KO" ? 1u : 0u);
        }
    }
}

TEST(JunitView, CountsEqualTheReports) {
    SKIP_WITHOUT_XSLTPROC();
    for (const char* name :
         {"element_mode.req.xml", "element_mode_off.req.xml", "empty_run.req.xml"}) {
        SCOPED_TRACE(name);
        expect_junit_matches_report(sample(name));
    }
}

TEST(JunitView, RequirementsBecomeProperties) {
    SKIP_WITHOUT_XSLTPROC();
    const Node doc = parse(run_stylesheet("testreq_junit.xsl", sample("element_mode.req.xml")));
    const auto cases = by_name(doc, "testcase");
    ASSERT_EQ(cases.size(), 3u);
    std::vector<std::string> properties;
    for (const Node* p : by_name(*cases[1], "property")) {
        properties.push_back(p->attr("name") + " = " + p->attr("value"));
    }
    EXPECT_EQ(properties,
              (std::vector<std::string>{
                  "SRS_PMP_<b>013</b> = KO max_rate=25 ft/s; tolerance:0.5",
                  "SRS_PMP_014 = KO expected=25, \"quoted\" & <raw> [element check_limit]",
                  "SRS_PMP_015 = OK lines=2 [element log]"}));
    const auto failure = by_name(*cases[1], "failure");
    ASSERT_EQ(failure.size(), 1u);
    EXPECT_EQ(failure[0]->attr("message"), "test over \"pressure\" is KO (elements KO: 1)");
    EXPECT_EQ(text(*failure[0]),
              "element check_limit: KO\n"
              "requirement SRS_PMP_<b>013</b>: KO max_rate=25 ft/s; tolerance:0.5\n"
              "requirement SRS_PMP_014: KO expected=25, \"quoted\" & <raw> [element check_limit]\n"
              "comment: Must stop when p > <b>max</b> & warn.\n"
              "comment: Command must saturate at the rate limit.\n");
    // The service's own requirement belongs to its suite.
    const auto suite_properties = by_name(*by_name(doc, "testsuite")[0], "properties");
    ASSERT_FALSE(suite_properties.empty());
    EXPECT_EQ(by_name(*suite_properties[0], "property")[0]->attr("value"),
              "KO source=SRS v2.3, verified_by=test");
}

// ---------------------------------------------------------------------------

TEST(Stylesheets, StagedCopiesAreCurrent) {
    for (const char* name : {"testreq_report.xsl", "testreq_junit.xsl"}) {
        const std::string source = std::string(QUILLON_SOURCE_DIR) + "/report/stylesheets/" + name;
        EXPECT_EQ(qtest::read_file(staged_stylesheet(name)), qtest::read_file(source))
            << name << " in lib/reports differs from its source: rebuild";
    }
}

// The example campaign, converted by the built tool as the example command
// does, then rendered both ways.
TEST(ExampleCampaign, RendersAndMatchesItsReport) {
    SKIP_WITHOUT_XSLTPROC();
    qtest::TempDir dir;
    const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples";
    fs::copy_file(examples + "/campaign.rod", dir.file("campaign.rod"));
    qtest::Environment env = qtest::default_tool_environment();
    env["CLIMB_LIMIT"] = "25 ft/s";
    for (const char* mode : {"-e", ""}) {
        SCOPED_TRACE(mode);
        std::vector<std::string> args{"-h" + examples + "/header.txt", "campaign.rod"};
        if (*mode != '\0') {
            args.insert(args.begin(), mode);
        }
        const qtest::ProcessResult run = qtest::run_quillon(args, env, dir.path());
        ASSERT_EQ(run.exit_status, 0) << run.err;
        const std::string report = dir.file("campaign.req.xml");
        ASSERT_TRUE(qtest::file_exists(report)) << run.err;
        const Rendered r = render(report);
        expect_page_matches_report(r);
        EXPECT_FALSE(r.facts.requirements.empty());
        EXPECT_NE(by_id(r.page, "header-entries"), nullptr);
        expect_junit_matches_report(report);
    }
}

// ---------------------------------------------------------------------------
// Screenshot in headless Chromium.

struct Image {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB
};

std::uint32_t be32(const std::string& bytes, std::size_t at) {
    return (std::uint32_t(std::uint8_t(bytes[at])) << 24) |
           (std::uint32_t(std::uint8_t(bytes[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(bytes[at + 2])) << 8) |
           std::uint32_t(std::uint8_t(bytes[at + 3]));
}

// Decodes the 8-bit RGB and RGBA PNGs that Chromium writes; anything else
// gives an image with no pixels.
Image decode_png(const std::string& png) {
    Image image;
    if (png.size() < 8 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        return image;
    }
    std::string idat;
    int channels = 0;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = be32(png, at);
        const std::string type = png.substr(at + 4, 4);
        if (at + 12 + length > png.size()) {
            return Image{};
        }
        if (type == "IHDR") {
            image.width = be32(png, at + 8);
            image.height = be32(png, at + 12);
            const int depth = std::uint8_t(png[at + 16]);
            const int colour = std::uint8_t(png[at + 17]);
            const int interlace = std::uint8_t(png[at + 20]);
            channels = colour == 2 ? 3 : colour == 6 ? 4 : 0;
            if (depth != 8 || channels == 0 || interlace != 0) {
                return Image{};
            }
        } else if (type == "IDAT") {
            idat += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    const std::size_t stride = std::size_t(image.width) * channels;
    const std::size_t expected = std::size_t(image.height) * (stride + 1);
    // qUncompress reads a zlib stream behind its 4-byte big-endian size.
    QByteArray framed;
    for (int shift : {24, 16, 8, 0}) {
        framed.append(char((expected >> shift) & 0xFF));
    }
    framed.append(idat.data(), qsizetype(idat.size()));
    const QByteArray raw = qUncompress(framed);
    if (std::size_t(raw.size()) != expected) {
        return Image{};
    }
    std::vector<std::uint8_t> previous(stride, 0);
    std::vector<std::uint8_t> row(stride);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const auto* in = reinterpret_cast<const std::uint8_t*>(raw.constData()) + y * (stride + 1);
        const int filter = in[0];
        for (std::size_t x = 0; x < stride; ++x) {
            const int a = x >= std::size_t(channels) ? row[x - channels] : 0;
            const int b = previous[x];
            const int c = x >= std::size_t(channels) ? previous[x - channels] : 0;
            int predictor = 0;
            switch (filter) {
                case 1:
                    predictor = a;
                    break;
                case 2:
                    predictor = b;
                    break;
                case 3:
                    predictor = (a + b) / 2;
                    break;
                case 4: {
                    const int p = a + b - c;
                    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                    break;
                }
                default:
                    break;
            }
            row[x] = std::uint8_t(in[1 + x] + predictor);
        }
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &row[x * channels];
            image.pixels.push_back((std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2]);
        }
        previous = row;
    }
    return image;
}

TEST(ReportScreenshot, ChromiumShowsThePage) {
    SKIP_WITHOUT_XSLTPROC();
    if (!qtest::file_exists(kChromium)) {
        GTEST_SKIP() << "Chromium is not installed (Debian package chromium, installed by "
                        "scripts/setup.sh --tests); no screenshot taken";
    }
    qtest::TempDir dir;
    const std::string page = dir.file("report.html");
    qtest::write_file(page, run_stylesheet("testreq_report.xsl", sample("element_mode.req.xml")));
    const std::string shot = dir.file("report.png");
    fs::create_directories(dir.file("profile"));
    const qtest::ProcessResult run = qtest::run_process(
        kTimeout,
        {"120", kChromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-quic", "--user-data-dir=" + dir.file("profile"), "--screenshot=" + shot,
         "--window-size=1280,2000", "file://" + page},
        {{"PATH", "/usr/bin:/bin"}, {"HOME", dir.path()}}, dir.path());
    ASSERT_EQ(run.exit_status, 0) << run.err;
    ASSERT_TRUE(qtest::file_exists(shot)) << run.err;

    // Kept for a person to look at.
    const fs::path artifacts = fs::path(QUILLON_STAGE_DIR).parent_path() / "tests" / "artifacts";
    fs::create_directories(artifacts);
    fs::copy_file(shot, artifacts / "report.png", fs::copy_options::overwrite_existing);

    const Image image = decode_png(qtest::read_file(shot));
    ASSERT_EQ(image.width, 1280u);
    ASSERT_EQ(image.height, 2000u);
    std::map<std::uint32_t, std::size_t> colours;
    for (const std::uint32_t p : image.pixels) {
        ++colours[p];
    }
    std::size_t background = 0;
    for (const auto& [colour, count] : colours) {
        background = std::max(background, count);
    }
    // A page that rendered has text and tables: many colours, and a good
    // share of pixels other than the background.
    EXPECT_GT(colours.size(), 50u);
    EXPECT_GT(image.pixels.size() - background, image.pixels.size() / 20);
    // The KO badges are red and the OK ones green, so both colours show.
    const auto count_if = [&](auto pred) {
        std::size_t n = 0;
        for (const auto& [colour, count] : colours) {
            const int r = colour >> 16, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
            if (pred(r, g, b)) {
                n += count;
            }
        }
        return n;
    };
    EXPECT_GT(count_if([](int r, int g, int b) { return r > 180 && g < 90 && b < 90; }), 500u);
    EXPECT_GT(count_if([](int r, int g, int b) { return g > 100 && r < 60 && b < 90; }), 500u);
}

}  // namespace
