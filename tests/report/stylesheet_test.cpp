// The stylesheets of lib/reports, applied with xsltproc to hand-written
// reports (tests/report/data) and to the example campaign's report: the page
// and the JUnit view must parse and must say what the report says.

#include "tests/support/headless_chromium.h"
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

// The text of the first child element of that name, as the page's lists
// hold a name in a code element and a verdict other than OK in a b one.
std::string child_text(const Node& node, const std::string& name) {
    for (const Node& child : node.children) {
        if (child.name == name) {
            return text(child);
        }
    }
    return std::string();
}

// The verdict of a listed requirement or element: written when it is not
// OK, and the class "ko" says so; the stylesheet shows the OK of the others.
std::string listed_status(const Node& node) {
    return node.has_class("ko") ? child_text(node, "b") : "OK";
}

// The body rows of a table, each as its cells' texts.
std::vector<std::vector<std::string>> body_rows(const Node& table) {
    std::vector<std::vector<std::string>> rows;
    for (const Node* body : by_name(table, "tbody")) {
        for (const Node* tr : by_name(*body, "tr")) {
            rows.emplace_back();
            for (const Node* td : by_name(*tr, "td")) {
                rows.back().push_back(text(*td));
            }
        }
    }
    return rows;
}

// Every requirement the page lists, with the service, test and element it
// is listed under ("run" for the run's own).
using Occurrence = std::tuple<std::string, std::string, std::string, std::string, std::string>;

void collect_listed(const Node& node, std::string service, std::string test, std::string element,
                    std::vector<Occurrence>& found) {
    if (node.has_class("service") && node.name == "section") {
        service = text_of_class(node, "service-name");
    } else if (node.has_class("test") && node.name == "tr") {
        test = text_of_class(node, "test-name");
    } else if (node.has_class("element")) {
        element = child_text(node, "code");
    } else if (node.has_class("reqs")) {
        for (const Node& li : node.children) {
            found.emplace_back(child_text(li, "code"), listed_status(li),
                               service.empty() ? "run" : service, shown(test), shown(element));
        }
        return;
    }
    for (const Node& child : node.children) {
        collect_listed(child, service, test, element, found);
    }
}

std::vector<Occurrence> listed_requirements(const Node& page) {
    std::vector<Occurrence> found;
    collect_listed(page, "", "", "", found);
    return found;
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

// Every requirement of the report as the page should list it.
std::multiset<Occurrence> expected_occurrences(const Rendered& r) {
    std::multiset<Occurrence> expected;
    for (const auto& [name, status, owner, service, test, element] : r.facts.requirements) {
        expected.emplace(shown(name), status, owner == "RUN" ? "run" : shown(service), shown(test),
                         shown(element));
    }
    return expected;
}

// The checks every rendered report must pass, whatever it holds.
void expect_page_matches_report(const Rendered& r) {
    EXPECT_EQ(text_by_id(r.page, "total-valid"), std::to_string(r.facts.valid));
    EXPECT_EQ(text_by_id(r.page, "total-invalid"), std::to_string(r.facts.invalid));
    EXPECT_EQ(text_by_id(r.page, "total-tests"), std::to_string(r.facts.tests));
    EXPECT_EQ(text_by_id(r.page, "total-services"), std::to_string(r.facts.services.size()));
    std::map<std::string, bool> distinct;  // requirement name -> any occurrence KO
    for (const auto& req : r.facts.requirements) {
        distinct[std::get<0>(req)] |= std::get<1>(req) != "OK";
    }
    EXPECT_EQ(text_by_id(r.page, "total-requirements"), std::to_string(distinct.size()));
    EXPECT_EQ(text_by_id(r.page, "total-requirements-ko"),
              std::to_string(std::count_if(distinct.begin(), distinct.end(),
                                           [](const auto& d) { return d.second; })));
    EXPECT_EQ(text_by_id(r.page, "total-requirement-occurrences"),
              std::to_string(r.facts.requirements.size()));
    const Node* summary = by_id(r.page, "requirement-summary");
    EXPECT_EQ(summary ? body_rows(*summary).size() : 0u, distinct.size());

    // One section per service, KO first, each group in report order, with its
    // counts; one row per test with its status.
    std::vector<const Node*> ko_first;
    for (const bool ko : {true, false}) {
        for (const Node* service : r.facts.services) {
            if ((service->attr("STATUS") != "OK") == ko) {
                ko_first.push_back(service);
            }
        }
    }
    const auto sections = by_class(r.page, "service");
    ASSERT_EQ(sections.size(), r.facts.services.size());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Node& service = *ko_first[i];
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
            EXPECT_EQ(text_of_class(*rows[t], "test-status"), tests[t]->attr("STATUS"));
            EXPECT_EQ(rows[t]->has_class("ko"), tests[t]->attr("STATUS") == "KO");
        }
    }

    // Every requirement listed once, with its status, where it stands.
    const auto listed = listed_requirements(r.page);
    EXPECT_EQ(std::multiset<Occurrence>(listed.begin(), listed.end()), expected_occurrences(r));
}

TEST(ReportPage, ElementModeReportMatchesItsCounts) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode.req.xml"));
    expect_page_matches_report(r);
    // The header entry named SERVICE is not a service, nor counted as one.
    EXPECT_EQ(text_by_id(r.page, "total-services"), "2");
    EXPECT_EQ(text_by_id(r.page, "total-requirements-ko"), "4");
    EXPECT_EQ(by_id(r.page, "ko-run-notice"), nullptr);
    EXPECT_EQ(text_by_id(r.page, "run-status"), "KO");

    const auto elements = by_class(r.page, "element");
    std::vector<std::string> seen;
    for (const Node* e : elements) {
        seen.push_back(child_text(*e, "code") + " " + listed_status(*e));
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
    EXPECT_EQ(by_name(*by_class(*rows[0], "reqs")[0], "li").size(), 3u);
    EXPECT_EQ(by_id(r.page, "header-entries"), nullptr);
    EXPECT_EQ(by_id(r.page, "environment"), nullptr);
}

TEST(ReportPage, EmptyRunRendersZeroTotals) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("empty_run.req.xml"));
    expect_page_matches_report(r);
    EXPECT_EQ(text_by_id(r.page, "total-tests"), "0");
    EXPECT_EQ(by_id(r.page, "occurrences"), nullptr);
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
            EXPECT_TRUE(tag == "meta" || tag == "br" || tag == "hr" || tag == "input")
                << name << ": <" << tag << "/>";
            end += 2;
        }
        EXPECT_EQ(html.rfind("<!DOCTYPE html", 0), 0u) << name;
    }
}

// ---------------------------------------------------------------------------
// What a reader needs first: why the run failed, one verdict per requirement,
// the KO services and tests before the rest, and anchors that last.

const std::string kKoRunNotice =
    "The run's verdict is KO although no test is: a service or run verdict recorded in the "
    "result file says so";

TEST(ReportPage, KoRunWithoutKoTestSaysWhy) {
    SKIP_WITHOUT_XSLTPROC();
    const struct {
        const char* report;
        bool notice;
    } cases[] = {
        {"ko_run_no_ko_test.req.xml", true},  // KO run, every service and test OK
        {"names.req.xml", false},             // KO run with KO tests
        {"empty_run.req.xml", false},         // OK run
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        const Rendered r = render(sample(c.report));
        expect_page_matches_report(r);
        const Node* notice = by_id(r.page, "ko-run-notice");
        ASSERT_EQ(notice != nullptr, c.notice);
        if (notice) {
            EXPECT_EQ(text(*notice), kKoRunNotice);
            EXPECT_EQ(text_of_class(*by_id(r.page, "failing-tests"), "none"), "No test is KO.");
        }
    }
}

TEST(ReportPage, RequirementSummaryGivesOneVerdictPerName) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("names.req.xml"));
    std::vector<std::string> rows;
    for (const Node* row :
         by_name(*by_name(*by_id(r.page, "requirement-summary"), "tbody")[0], "tr")) {
        std::string line = row->attr("id") + " [" + row->attr("class") + "]";
        for (const Node* cell : by_name(*row, "td")) {
            line += " " + text(*cell);
        }
        rows.push_back(line);
    }
    // KO if any occurrence is KO; KO names first, each group by name.
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "req-REQ_A [ko] KO REQ_A 2 1", "req-REQ_B [ko] KO REQ_B 3 1",
                        "req-REQ.20C [] OK REQ C 1 0", "req-REQ_D [] OK REQ_D 1 0"}));
    EXPECT_EQ(text_by_id(r.page, "total-requirements"), "4");
    EXPECT_EQ(text_by_id(r.page, "total-requirements-ko"), "2");
    EXPECT_EQ(text_by_id(r.page, "total-requirement-occurrences"), "7");
}

// Ids of the service sections and test rows, in page order.
std::vector<std::string> anchors(const Node& page) {
    std::vector<std::string> ids;
    for (const Node* node :
         all(page, [](const Node& n) { return n.has_class("service") || n.has_class("test"); })) {
        ids.push_back(node->attr("id"));
    }
    return ids;
}

TEST(ReportPage, KoServicesAndFailingTestsComeFirst) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("names.req.xml"));
    const std::string pump = "pump.2Fvalve.202.2E0";
    EXPECT_EQ(anchors(r.page), (std::vector<std::string>{
                                   "svc-" + pump,
                                   "test-" + pump +
                                       "/\xC3\xBC"
                                       "ber_test.20.231",
                                   "test-" + pump + "/a.2Eb.7Ec", "test-" + pump + "/",
                                   "svc-alpha~2", "test-alpha~2/t", "svc-alpha", "test-alpha/t",
                                   "test-alpha/t~2", "svc-omega", "test-omega/t"}));
    std::vector<std::string> overview;
    for (const Node* a : by_name(*by_id(r.page, "services"), "a")) {
        overview.push_back(a->attr("href"));
    }
    EXPECT_EQ(overview, (std::vector<std::string>{"#svc-" + pump, "#svc-alpha~2", "#svc-alpha",
                                                  "#svc-omega"}));

    // Every KO test, a KO test without requirements included, links to its row.
    std::vector<std::string> failing;
    for (const Node* item : by_name(*by_id(r.page, "failing-tests"), "li")) {
        const Node* link = by_name(*item, "a").front();
        const Node* row = by_id(r.page, link->attr("href").substr(1));
        ASSERT_NE(row, nullptr) << link->attr("href");
        EXPECT_TRUE(row->has_class("ko"));
        EXPECT_EQ(text_of_class(*row, "test-name"), text_of_class(*link, "test-name"));
        failing.push_back(text(*link));
    }
    EXPECT_EQ(failing, (std::vector<std::string>{"pump/valve 2.0 / \xC3\xBC"
                                                 "ber_test #1",
                                                 "pump/valve 2.0 / a.b~c", "alpha / t"}));
}

TEST(ReportPage, AnchorsAreUniqueAndSurviveAnInsertedService) {
    SKIP_WITHOUT_XSLTPROC();
    const std::string original = qtest::read_file(sample("names.req.xml"));
    const std::size_t first = original.find("\t<SERVICE ");
    std::string inserted = original;
    inserted.insert(first,
                    "\t<SERVICE NAME=\"zeta\" TYPE=\"\" STATUS=\"KO\" NB_VALID=\"0\" "
                    "NB_INVALID=\"1\" NB_TEST=\"1\" >\n\t\t<TEST NAME=\"t\" STATUS=\"KO\" >\n"
                    "\t\t</TEST>\n\t</SERVICE>\n");
    qtest::TempDir dir;
    qtest::write_file(dir.file("inserted.req.xml"), inserted);
    const Rendered before = render(sample("names.req.xml"));
    const Rendered after = render(dir.file("inserted.req.xml"));
    for (const Rendered* r : {&before, &after}) {
        std::vector<std::string> ids;
        for (const Node* n : all(r->page, [](const Node& n) { return n.attributes.count("id"); })) {
            ids.push_back(n->attr("id"));
        }
        EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size());
    }
    // The same test has the same anchor, on a row of the same name.
    for (const std::string& id : anchors(before.page)) {
        const Node* was = by_id(before.page, id);
        const Node* now = by_id(after.page, id);
        ASSERT_NE(now, nullptr) << id;
        EXPECT_EQ(text(*now), text(*was)) << id;
    }
    EXPECT_NE(by_id(after.page, "test-zeta/t"), nullptr);
}

// Without the script nothing is hidden: the filter bar is the only element
// that waits for it.
TEST(ReportPage, WithoutScriptEverythingIsShown) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("names.req.xml"));
    const auto hidden = all(r.page, [](const Node& n) { return n.attributes.count("hidden"); });
    ASSERT_EQ(hidden.size(), 1u);
    EXPECT_EQ(hidden[0]->attr("id"), "filters");
}

// The values of the listed requirements, each in its small element.
std::set<std::string> requirement_values(const Node& page) {
    std::set<std::string> values;
    for (const Node* list : by_class(page, "reqs")) {
        for (const Node* value : by_name(*list, "small")) {
            values.insert(text(*value));
        }
    }
    return values;
}

TEST(ReportPage, MarkupInDataIsShownAsText) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode.req.xml"));
    for (const Node* b : by_name(r.page, "b")) {  // the verdicts the page writes itself
        EXPECT_TRUE(text(*b) == "OK" || text(*b) == "KO") << text(*b);
    }
    EXPECT_TRUE(by_name(r.page, "raw").empty());
    EXPECT_NE(r.html.find("Campaign for the &lt;b&gt;pump&lt;/b&gt; controller &amp; its valve, "
                          "\"nightly\""),
              std::string::npos);

    std::vector<std::string> comments;
    for (const Node* list : by_class(r.page, "comments")) {
        for (const Node* c : by_name(*list, "li")) {
            comments.push_back(text(*c));
        }
    }
    EXPECT_EQ(comments.front(), "Campaign for the <b>pump</b> controller & its valve, \"nightly\"");
    EXPECT_NE(std::find(comments.begin(), comments.end(), "Must stop when p > <b>max</b> & warn."),
              comments.end());

    std::set<std::string> req_names;
    for (const auto& occurrence : listed_requirements(r.page)) {
        req_names.insert(std::get<0>(occurrence));
    }
    EXPECT_EQ(req_names.count("SRS_PMP_<b>013</b>"), 1u);
    const auto values = requirement_values(r.page);
    EXPECT_EQ(values.count("expected=25, \"quoted\" & <raw>"), 1u);
    EXPECT_EQ(text_of_class(r.page, "title"), "Pump <b>controller</b>");
}

TEST(ReportPage, TabsAndLineBreaksInValuesSurvive) {
    SKIP_WITHOUT_XSLTPROC();
    const Rendered r = render(sample("element_mode_off.req.xml"));
    EXPECT_EQ(requirement_values(r.page).count("note=line one\nline two\ttabbed"), 1u);
}

// A requirement's value is shown as it is; its attributes are shown again
// only where the value does not already read name=value or name:value (a
// positional attribute, a $NAME resolved), which keeps a requirement-heavy
// page small without losing any of them.
TEST(ReportPage, OnlyAttributesTheValueDoesNotShowAreRepeated) {
    SKIP_WITHOUT_XSLTPROC();
    const std::vector<std::pair<const char*, std::set<std::string>>> cases = {
        {"element_mode.req.xml", {"att_3=nightly"}},
        {"element_mode_off.req.xml", {"att_1=x", "att_2=y"}},
    };
    for (const auto& [report, expected] : cases) {
        const Rendered r = render(sample(report));
        std::set<std::string> chips;
        for (const Node* list : by_class(r.page, "reqs")) {
            for (const Node* chip : by_name(*list, "span")) {
                if (!chip->has_class("empty")) {
                    chips.insert(text(*chip));
                }
            }
        }
        EXPECT_EQ(chips, expected) << report;
    }
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
        ratios.push_back(text(*cell));
    }
    // A module of several lines has its total in its caption, before its lines.
    EXPECT_EQ(ratios, (std::vector<std::string>{"100.0%", "100.0%", "n/a", "80.0%", "75.0%",
                                                "100.0%", "80.0%", "50.0%"}));
    EXPECT_EQ(text(*by_name(*by_class(r.page, "coverage")[1], "caption")[0]),
              "src/pump.c: 4 of 5 branches, 80.0%");
    std::vector<std::string> covered;
    for (const Node* cell : by_class(r.page, "covered")) {
        covered.push_back(text(*cell));
    }
    EXPECT_EQ(covered, (std::vector<std::string>{"2", "0", "3", "1", "08", "1"}));
}

// ---------------------------------------------------------------------------

// The JUnit classname prefix: the report's name, else its test suite path.
std::string junit_report_name(const Node& report) {
    const Node& run = report.children.back();
    for (const Node& child : run.children) {
        if (child.name == "REPORT_INFO" && !child.attr("REPORT_NAME").empty()) {
            return child.attr("REPORT_NAME");
        }
    }
    return run.attr("TESTSUITE_PATH").empty() ? "report" : run.attr("TESTSUITE_PATH");
}

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
            EXPECT_EQ(cases[t]->attr("classname"),
                      junit_report_name(report) + "." + service.attr("NAME"));
            EXPECT_EQ(cases[t]->attr("time"), "0");
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

// What a CI server counts, read by Debian's JUnit reader (junitparser): the
// totals, a failing case for a KO run without a KO test, and classnames that
// keep the cases of two reports apart.
const std::string kPython = "/usr/bin/python3";

std::vector<std::string> junit_read(const std::string& report, const qtest::TempDir& dir) {
    const std::string junit = dir.file("junit.xml");
    qtest::write_file(junit, run_stylesheet("testreq_junit.xsl", report));
    const qtest::ProcessResult read = qtest::run_process(
        kPython, {std::string(QUILLON_SOURCE_DIR) + "/tests/report/junit_summary.py", junit},
        {{"PATH", "/usr/bin:/bin"}}, dir.path());
    EXPECT_EQ(read.exit_status, 0) << read.err;
    std::vector<std::string> lines;
    std::istringstream out(read.out);
    for (std::string line; std::getline(out, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(JunitView, ReaderCountsFailuresAndKeepsReportsApart) {
    SKIP_WITHOUT_XSLTPROC();
    if (qtest::run_process(kPython, {"-c", "import junitparser"}, {{"PATH", "/usr/bin:/bin"}}, "/")
            .exit_status != 0) {
        GTEST_SKIP() << "python3-junitparser is not installed (scripts/setup.sh --tests)";
    }
    qtest::TempDir dir;
    const struct {
        const char* report;
        std::vector<std::string> lines;
    } cases[] = {
        {"ko_run_no_ko_test.req.xml",
         {"tests=3 failures=1 errors=0", "OK\t0\tedge.svc_a\tt1", "OK\t0\tedge.svc_b\tt2",
          "KO\t0\tedge\trun verdict"}},
        {"names.req.xml",
         {"tests=7 failures=3 errors=0", "OK\t0\t/home/qa/names.alpha\tt",
          "OK\t0\t/home/qa/names.alpha\tt",
          "KO\t0\t/home/qa/names.pump/valve 2.0\t\xC3\xBC"
          "ber_test #1",
          "KO\t0\t/home/qa/names.pump/valve 2.0\ta.b~c", "OK\t0\t/home/qa/names.pump/valve 2.0\t",
          "KO\t0\t/home/qa/names.alpha\tt", "OK\t0\t/home/qa/names.omega\tt"}},
        {"empty_run.req.xml", {"tests=0 failures=0 errors=0"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(junit_read(sample(c.report), dir), c.lines) << c.report;
    }
    // Two reports of the same services and tests, told apart by their names.
    std::string renamed = qtest::read_file(sample("names.req.xml"));
    renamed.replace(renamed.find("<REPORT_INFO>"), 13, "<REPORT_INFO REPORT_NAME=\"nightly\">");
    qtest::write_file(dir.file("renamed.req.xml"), renamed);
    const std::vector<std::string> first = junit_read(sample("names.req.xml"), dir);
    const std::vector<std::string> second = junit_read(dir.file("renamed.req.xml"), dir);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 1; i < first.size(); ++i) {
        EXPECT_EQ(std::count(first.begin(), first.end(), second[i]), 0) << second[i];
        EXPECT_NE(second[i].find("\tnightly."), std::string::npos) << second[i];
    }
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
// Headless Chromium opens the page in a frame of the given width (a window
// cannot be narrower than 500 px), then runs a probe script on it: once the
// page's own script has run, the probe replaces the page's body by its
// findings, one per line, which the outer page takes over and --dump-dom
// prints.
#define SKIP_WITHOUT_CHROMIUM()                                                             \
    SKIP_WITHOUT_XSLTPROC();                                                                \
    if (!qtest::file_exists(qtest::kChromium)) {                                            \
        GTEST_SKIP() << "Chromium is not installed (Debian package chromium, installed by " \
                        "scripts/setup.sh --tests)";                                        \
    }

qtest::ProcessResult chromium(const qtest::TempDir& dir, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "--hide-scrollbars");
    return qtest::run_chromium(dir.path(), arguments);
}

std::vector<std::string> probe(const std::string& report, const char* script,
                               const std::string& query, int width) {
    qtest::TempDir dir;
    qtest::write_file(dir.file("page.html"), run_stylesheet("testreq_report.xsl", report));
    qtest::write_file(
        dir.file("probe.html"),
        "<!DOCTYPE html><body><iframe id=\"f\" src=\"page.html" + query +
            "\" style=\"border:0;width:" + std::to_string(width) +
            "px;height:900px\"></iframe><script>addEventListener('load', function () {"
            "(function (window, document, getComputedStyle) {" +
            script +
            "})(f.contentWindow, f.contentDocument, "
            "f.contentWindow.getComputedStyle.bind(f.contentWindow));"
            "document.body.textContent = f.contentDocument.body.textContent; });</script>");
    const qtest::ProcessResult run = chromium(
        dir, {"--dump-dom", "--allow-file-access-from-files", "file://" + dir.file("probe.html")});
    return qtest::probe_lines(run);
}

// "+" or "-" (shown or hidden), KO or OK, and the element's id or link.
const char* kFilterProbe = R"(
  var lines = [];
  document.querySelectorAll('#failing-tests li, section.service, tr.test, #services tbody tr, '
      + '#requirement-summary tbody tr, tr.req-row').forEach(function (el) {
    var link = el.querySelector('a');
    lines.push((el.hidden ? '-' : '+') + ' ' + (el.classList.contains('ko') ? 'KO' : 'OK') + ' '
        + (el.id || link.getAttribute('href')));
  });
  document.body.textContent = lines.join('\n');
)";

TEST(ReportInBrowser, FilterHidesOkRowsAndSearchKeepsMatches) {
    SKIP_WITHOUT_CHROMIUM();
    for (const char* report : {"names.req.xml", "element_mode.req.xml"}) {
        const auto lines = probe(sample(report), kFilterProbe, "?ko=1", 1280);
        EXPECT_GT(lines.size(), 10u) << report;
        for (const std::string& line : lines) {
            EXPECT_EQ(line[0] == '-', line.find(" OK ") == 1) << report << ": " << line;
        }
    }
    // "ber_t" is only in one test's name: its row, its card, its service's row
    // and its entry among the failing tests stay.
    const std::string test =
        "test-pump.2Fvalve.202.2E0/\xC3\xBC"
        "ber_test.20.231";
    std::vector<std::string> shown;
    for (const std::string& line : probe(sample("names.req.xml"), kFilterProbe, "?q=BER_T", 1280)) {
        if (line[0] == '+') {
            shown.push_back(line);
        }
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"+ KO #" + test, "+ KO #svc-pump.2Fvalve.202.2E0",
                                               "+ KO svc-pump.2Fvalve.202.2E0", "+ KO " + test}));
}

// The filter the address names when the page opens: the fragment the
// campaign page also reads, the older query, a bad escape that must cost
// nothing but itself, and an anchor, which is no filter. Then the filter
// changed on the page is written back into the fragment.
const char* kAddressProbe = R"(
  var box = document.getElementById('filter-text'), ko = document.getElementById('filter-ko');
  var lines = ['[' + box.value + '] ' + ko.checked + ' '
      + document.querySelectorAll('tr.test:not([hidden])').length];
  box.value = 'a b&c';
  box.dispatchEvent(new Event('input'));
  ko.checked = true;
  ko.dispatchEvent(new Event('change'));
  lines.push(window.location.hash + window.location.search);
  document.body.textContent = lines.join('\n');
)";

TEST(ReportInBrowser, TheAddressHoldsTheFilter) {
    SKIP_WITHOUT_CHROMIUM();
    const std::string written = "#search=a%20b%26c&filter=ko";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "[] false 7"},
        {"#search=BER_T&filter=ko", "[BER_T] true 1"},
        {"?q=BER_T&ko=1", "[BER_T] true 1"},
        {"#filter=ko&search=%", "[%] true 0"},
        {"#search=%C3%BCBER",
         "[\xC3\xBC"
         "BER] false 1"},
        {"#filter=skipped,ko", "[] true 3"},
        {"#test-alpha/t", "[] false 7"},
    };
    for (const auto& [address, opened] : cases) {
        EXPECT_EQ(probe(sample("names.req.xml"), kAddressProbe, address, 1280),
                  (std::vector<std::string>{opened, written}))
            << address;
    }
}

// The table of every occurrence, which the script gathers from the lists:
// each requirement of the report once, KO first, its links landing on its
// summary row, its service and its test.
const char* kOccurrenceProbe = R"(
  var lines = [];
  document.querySelectorAll('#requirements tbody tr').forEach(function (row) {
    var cells = Array.prototype.map.call(row.cells, function (td) { return td.textContent; });
    Array.prototype.forEach.call(row.querySelectorAll('a'), function (a) {
      if (!document.getElementById(a.getAttribute('href').slice(1))) {
        cells.push('dead ' + a.getAttribute('href'));
      }
    });
    lines.push(cells.join('|'));
  });
  document.body.textContent = lines.join('\n');
)";

TEST(ReportInBrowser, EveryOccurrenceIsGatheredFromTheLists) {
    SKIP_WITHOUT_CHROMIUM();
    for (const char* report : {"element_mode.req.xml", "names.req.xml"}) {
        SCOPED_TRACE(report);
        const Rendered r = render(sample(report));
        std::multiset<Occurrence> gathered;
        bool seen_ok = false;
        for (const std::string& line : probe(sample(report), kOccurrenceProbe, "", 1280)) {
            std::vector<std::string> cells;
            std::istringstream split(line);
            for (std::string cell; std::getline(split, cell, '|');) {
                cells.push_back(cell);
            }
            ASSERT_EQ(cells.size(), 5u) << line;
            gathered.emplace(cells[1], cells[0], cells[2], cells[3], cells[4]);
            EXPECT_FALSE(seen_ok && cells[0] != "OK") << "KO after OK: " << line;
            seen_ok = seen_ok || cells[0] == "OK";
        }
        EXPECT_EQ(gathered, expected_occurrences(r));
    }
}

// A report whose long lists fold (50 requirements in one test) and whose
// second service passed, so its tests fold too.
std::string write_folded_report(const qtest::TempDir& dir) {
    std::string requirements;
    for (int i = 0; i < 50; ++i) {
        requirements += "<REQUIREMENT NAME=\"REQ_" + std::to_string(i) + "\" STATUS=\"OK\"/>";
    }
    const std::string path = dir.file("folded.req.xml");
    qtest::write_file(
        path,
        "<RUN TESTSUITE_PATH=\"/s\" AUTHOR=\"a\" STATUS=\"KO\">"
        "<SERVICE NAME=\"failing\" TYPE=\"unit\" STATUS=\"KO\" NB_VALID=\"0\" NB_INVALID=\"1\" "
        "NB_TEST=\"1\"><TEST NAME=\"broken\" STATUS=\"KO\"/></SERVICE>"
        "<SERVICE NAME=\"passing\" TYPE=\"unit\" STATUS=\"OK\" NB_VALID=\"1\" NB_INVALID=\"0\" "
        "NB_TEST=\"1\"><TEST NAME=\"folded_case\" STATUS=\"OK\"><COMMENT>seen only when "
        "unfolded</COMMENT><REQUIREMENTS>" +
            requirements + "</REQUIREMENTS></TEST></SERVICE></RUN>");
    return path;
}

// A fold closed while the filter changes is filtered when it opens.
const char* kFoldProbe = R"(
  var fold = document.querySelector('#requirement-occurrences details');
  var lines = [fold.open + fold.querySelector('.matches').textContent];
  fold.open = true;
  fold.dispatchEvent(new Event('toggle'));
  lines.push(fold.querySelectorAll('tr.req-row:not([hidden])').length
      + fold.querySelector('.matches').textContent);
  document.body.textContent = lines.join('\n');
)";

TEST(ReportInBrowser, AClosedFoldIsFilteredWhenItOpens) {
    SKIP_WITHOUT_CHROMIUM();
    qtest::TempDir dir;
    EXPECT_EQ(
        probe(write_folded_report(dir), kFoldProbe, "#search=req_4", 1280),
        (std::vector<std::string>{"false (filtered when opened)", "11 (11 kept by the filter)"}));
}

// Printed, the page is whole whatever the filter and the folds: a test of a
// service that passed (its tests folded) in a report whose long lists are
// folded too, with a filter that hides everything, is in the PDF, and every
// section starts a page.
TEST(ReportPrint, PdfHoldsFoldedAndFilteredTests) {
    SKIP_WITHOUT_CHROMIUM();
    const std::string pdftotext = "/usr/bin/pdftotext";
    if (!qtest::file_exists(pdftotext)) {
        GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils, installed by "
                        "scripts/setup.sh --tests)";
    }
    qtest::TempDir dir;
    const std::string report = write_folded_report(dir);
    qtest::write_file(dir.file("page.html"), run_stylesheet("testreq_report.xsl", report));
    const qtest::ProcessResult print =
        chromium(dir, {"--no-pdf-header-footer", "--print-to-pdf=" + dir.file("page.pdf"),
                       "file://" + dir.file("page.html") + "#search=nothing&filter=ko"});
    ASSERT_EQ(print.exit_status, 0) << print.err;
    const qtest::ProcessResult pdf = qtest::run_process(
        pdftotext, {"-layout", dir.file("page.pdf"), "-"}, {{"PATH", "/usr/bin:/bin"}}, "/");
    ASSERT_EQ(pdf.exit_status, 0) << pdf.err;
    EXPECT_NE(pdf.out.find("folded_case"), std::string::npos) << pdf.out;
    EXPECT_NE(pdf.out.find("seen only when unfolded"), std::string::npos);
    EXPECT_NE(pdf.out.find("REQ_49"), std::string::npos);
    EXPECT_EQ(pdf.out.find("KO only"), std::string::npos) << "the filter bar is printed";
    // Contents and summary, failing tests, run, services, requirements,
    // occurrences and the two services: one page each at least.
    EXPECT_GE(std::count(pdf.out.begin(), pdf.out.end(), '\f'), 8);
}

// Every folded part opened and every card laid out: nothing may stick out of
// a 420 px viewport (a table scrolls inside its card), and every text must
// have a contrast of 4.5:1 at least with the background it is drawn on.
const char* kLayoutProbe = R"(
  document.querySelectorAll('details').forEach(function (d) {
    d.open = true;
    d.dispatchEvent(new Event('toggle'));
  });
  var style = document.createElement('style');
  style.textContent = '.card.service { content-visibility: visible !important; }';
  document.head.appendChild(style);
  var width = window.innerWidth, lines = ['viewport ' + width];
  lines.push('page ' + document.documentElement.scrollWidth);
  function rgba(text) { var v = text.match(/[\d.]+/g).map(Number); if (v.length == 3) v.push(1); return v; }
  function lum(c) {
    return [0, 1, 2].map(function (i) {
      var s = c[i] / 255; return s <= 0.03928 ? s / 12.92 : Math.pow((s + 0.055) / 1.055, 2.4);
    }).reduce(function (sum, v, i) { return sum + v * [0.2126, 0.7152, 0.0722][i]; }, 0);
  }
  var lowest = 21;
  document.querySelectorAll('body *').forEach(function (el) {
    var r = el.getBoundingClientRect();
    if (!el.parentElement.closest('.scroll, .coverage-blocks') && r.width > 0
        && (r.left < -0.5 || r.right > width + 0.5)) {
      lines.push('wide ' + el.tagName + '.' + el.className + ' ' + r.left + '..' + r.right);
    }
    var own = Array.prototype.some.call(el.childNodes, function (n) {
      return n.nodeType == 3 && n.textContent.trim() != '';
    });
    if (!own || r.width <= 1 || r.height <= 1) return;
    var fg = rgba(getComputedStyle(el).color), bg = null;
    for (var a = el; a && !bg; a = a.parentElement) {
      var c = rgba(getComputedStyle(a).backgroundColor);
      if (c[3] > 0) bg = c;
    }
    bg = bg || [255, 255, 255, 1];
    var l1 = lum(fg), l2 = lum(bg);
    var ratio = (Math.max(l1, l2) + 0.05) / (Math.min(l1, l2) + 0.05);
    lowest = Math.min(lowest, ratio);
    if (ratio < 4.5) lines.push('contrast ' + ratio.toFixed(2) + ' ' + el.tagName + '.' + el.className);
  });
  lines.push('lowest contrast ' + (lowest >= 4.5 ? 'AA' : lowest.toFixed(2)));
  document.body.textContent = lines.join('\n');
)";

TEST(ReportInBrowser, NarrowScreenAndContrast) {
    SKIP_WITHOUT_CHROMIUM();
    for (const char* report :
         {"element_mode.req.xml", "names.req.xml", "ko_run_no_ko_test.req.xml"}) {
        EXPECT_EQ(probe(sample(report), kLayoutProbe, "", 420),
                  (std::vector<std::string>{"viewport 420", "page 420", "lowest contrast AA"}))
            << report;
    }
}

// Screenshots, kept as artifacts for a person to look at.

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
    SKIP_WITHOUT_CHROMIUM();
    qtest::TempDir dir;
    const std::string page = dir.file("report.html");
    qtest::write_file(page, run_stylesheet("testreq_report.xsl", sample("element_mode.req.xml")));
    const fs::path artifacts = fs::path(QUILLON_STAGE_DIR).parent_path() / "tests" / "artifacts";
    fs::create_directories(artifacts);
    for (const char* size : {"420,2600", "1280,2000"}) {
        const qtest::ProcessResult run =
            chromium(dir, {"--screenshot=" + dir.file("report.png"),
                           std::string("--window-size=") + size, "file://" + page});
        ASSERT_EQ(run.exit_status, 0) << run.err;
        ASSERT_TRUE(qtest::file_exists(dir.file("report.png"))) << run.err;
        std::string name = std::string("report-") + size + ".png";
        fs::copy_file(dir.file("report.png"), artifacts / name.replace(name.find(','), 1, "x"),
                      fs::copy_options::overwrite_existing);
    }
    const std::string shot = dir.file("report.png");
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
