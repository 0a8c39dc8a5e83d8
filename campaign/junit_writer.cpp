#include "campaign/junit_writer.h"

#include "campaign/test_cause.h"

#include <QString>

#include <initializer_list>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

// Elements as QXmlStreamWriter lays them out with auto-formatting, which
// this file was written with before: each start tag on a line of its own,
// indented by four spaces per level, an element without children closed
// as "<name .../>", and a line break after the whole.
class JunitXml {
  public:
    explicit JunitXml(XmlStream& out) : out_(out) {
        out_.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    }

    void start(std::string_view name) {
        close_start_tag();
        out_.put('\n');
        indent();
        out_.put('<');
        out_.put(name);
        ++depth_;
        start_tag_open_ = true;
    }
    // An attribute whose value is the parts of text one after the other.
    void attribute(std::string_view name, std::initializer_list<std::string_view> text) {
        out_.put(' ');
        out_.put(name);
        out_.put("=\"");
        for (const std::string_view part : text) {
            put_text(part, XmlPlace::Attribute);
        }
        out_.put('"');
    }
    void attribute(std::string_view name, long long number) {
        out_.put(' ');
        out_.put(name);
        out_.put("=\"");
        out_.put_int(number);
        out_.put('"');
    }
    // Text content, which the end tag follows at once.
    void text(std::string_view utf8) {
        close_start_tag();
        put_text(utf8, XmlPlace::Content);
        text_written_ = true;
    }
    void end(std::string_view name) {
        --depth_;
        if (start_tag_open_) {
            out_.put("/>");
            start_tag_open_ = false;
        } else if (text_written_) {
            out_.put("</");
            out_.put(name);
            out_.put('>');
            text_written_ = false;
        } else {
            out_.put('\n');
            indent();
            out_.put("</");
            out_.put(name);
            out_.put('>');
        }
        if (depth_ == 0) {
            out_.put('\n');
        }
    }

  private:
    void close_start_tag() {
        if (start_tag_open_) {
            out_.put('>');
            start_tag_open_ = false;
        }
    }
    void indent() {
        for (int i = 0; i < depth_; ++i) {
            out_.put("    ");
        }
    }
    // QXmlStreamWriter leaves out the characters XML cannot hold (controls
    // other than TAB, LF and CR; U+FFFE, U+FFFF) where XmlStream puts
    // U+FFFD: they are taken out first, in the rare text that has any.
    void put_text(std::string_view utf8, XmlPlace place) {
        if (!has_unwritable(utf8)) {
            out_.put_text(utf8, place, TextEncoding::Utf8);
            return;
        }
        std::string kept;
        for (std::size_t i = 0; i < utf8.size();) {
            const std::size_t length = unwritable_length(utf8.substr(i));
            if (length == 0) {
                kept += utf8[i++];
            } else {
                i += length;
            }
        }
        out_.put_text(kept, place, TextEncoding::Utf8);
    }
    // The bytes of the unwritable character text starts with, else 0.
    static std::size_t unwritable_length(std::string_view text) {
        const auto byte = static_cast<unsigned char>(text[0]);
        if (byte < 0x20) {
            return byte == '\t' || byte == '\n' || byte == '\r' ? 0 : 1;
        }
        const bool non_character = text.size() >= 3 && byte == 0xEF &&
                                   static_cast<unsigned char>(text[1]) == 0xBF &&
                                   static_cast<unsigned char>(text[2]) >= 0xBE;
        return non_character ? 3 : 0;
    }
    static bool has_unwritable(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if ((byte < 0x20 || byte == 0xEF) && unwritable_length(text.substr(i)) > 0) {
                return true;
            }
        }
        return false;
    }

    XmlStream& out_;
    int depth_ = 0;
    bool start_tag_open_ = false;
    bool text_written_ = false;
};

// Makes every (classname, name) pair of the document unique. Only the
// classnames that may be shared are tracked: the tests of one report's
// services of one name have keys no two alike already.
class UniqueIds {
  public:
    explicit UniqueIds(const Campaign& campaign) {
        for (const std::string& key : campaign.report_keys) {
            report_keys_.insert(key);
        }
    }

    // Whether "<key>.<service>" may be another classname too: the bare key
    // of a report (its run's own case), or another report's key followed by
    // '.' and a service name.
    std::vector<bool> shared_services(const std::string& key, const ReportResult& report) const {
        bool key_splits = false;
        for (std::size_t dot = key.find('.'); dot != std::string::npos && !key_splits;
             dot = key.find('.', dot + 1)) {
            key_splits = is_report_key(key.substr(0, dot));
        }
        std::vector<bool> shared(report.services.size(), key_splits);
        for (std::size_t s = 0; s < shared.size() && !key_splits; ++s) {
            const std::string classname = key + '.' + std::string(report.service_name(s));
            for (std::size_t dot = classname.find('.', key.size() + 1);
                 dot != std::string::npos && !shared[s]; dot = classname.find('.', dot + 1)) {
                shared[s] = is_report_key(classname.substr(0, dot));
            }
            shared[s] = shared[s] || is_report_key(classname);
        }
        return shared;
    }

    std::string take(const std::string& classname, const std::string& name) {
        std::unordered_set<std::string>& taken = taken_[classname];
        std::string unique = name;
        for (int n = 2; !taken.insert(unique).second; ++n) {
            unique = name + " #" + std::to_string(n);
        }
        return unique;
    }

  private:
    bool is_report_key(const std::string& text) const { return report_keys_.count(text) > 0; }

    std::unordered_set<std::string> report_keys_;
    std::unordered_map<std::string, std::unordered_set<std::string>> taken_;
};

// Tests and failures of a suite, which its element states before its cases.
struct SuiteCounts {
    int tests = 0;
    int failures = 0;
};

// A KO run without a KO test is reported by a case of its own.
bool needs_run_case(const ReportResult& report) {
    if (report.run_ok) {
        return false;
    }
    for (const TestResult& test : report.tests) {
        if (!test.ok) {
            return false;
        }
    }
    return true;
}

SuiteCounts report_counts(const ReportResult& report) {
    SuiteCounts counts{static_cast<int>(report.tests.size()), 0};
    for (const TestResult& test : report.tests) {
        counts.failures += test.ok ? 0 : 1;
    }
    if (needs_run_case(report)) {
        ++counts.tests;
        ++counts.failures;
    }
    return counts;
}

void suite_start(JunitXml& xml, std::string_view name, SuiteCounts counts) {
    xml.start("testsuite");
    xml.attribute("name", {name});
    xml.attribute("tests", counts.tests);
    xml.attribute("failures", counts.failures);
}

// A case whose classname is the parts of classname; failure is empty for a
// passing case, details the failure's text (empty: none).
void test_case(JunitXml& xml, std::initializer_list<std::string_view> classname,
               std::string_view name, std::string_view failure, std::string_view details = {}) {
    xml.start("testcase");
    xml.attribute("classname", classname);
    xml.attribute("name", {name});
    if (!failure.empty()) {
        xml.start("failure");
        xml.attribute("message", {failure});
        if (!details.empty()) {
            xml.text(details);
        }
        xml.end("failure");
    }
    xml.end("testcase");
}

// The same for a case whose name may be taken already.
void tracked_case(JunitXml& xml, UniqueIds& ids, const std::string& classname,
                  const std::string& name, std::string_view failure,
                  std::string_view details = {}) {
    test_case(xml, {classname}, ids.take(classname, name), failure, details);
}

// A KO test's failure: its first KO element and requirement as the message,
// every line of why it failed as the text; "test KO" when the report says
// no more.
struct Failure {
    std::string message;
    std::string details;
};

Failure test_failure(const ReportResult& report, int test) {
    const std::vector<std::string> lines = test_cause_lines(report, test);
    Failure failure{test_cause_headline(lines), std::string()};
    if (failure.message.empty()) {
        failure.message = "test KO";
    }
    for (const std::string& line : lines) {
        failure.details += line;
        failure.details += '\n';
    }
    return failure;
}

}  // namespace

void write_campaign_junit(XmlStream& out, const Campaign& campaign) {
    // The root element states the totals, so they are counted first; the
    // suites are then written one at a time, never held whole.
    SuiteCounts total;
    for (const ReportResult& report : campaign.reports) {
        const SuiteCounts counts = report_counts(report);
        total.tests += counts.tests;
        total.failures += counts.failures;
    }
    SuiteCounts unverified;
    for (const Requirement& requirement : campaign.requirements) {
        if (requirement.verdict == RequirementVerdict::NotVerified) {
            ++unverified.tests;
            ++unverified.failures;
        }
    }
    const int problems = static_cast<int>(campaign.problems.size());
    total.tests += unverified.tests + problems;
    total.failures += unverified.failures + problems;

    UniqueIds ids(campaign);
    JunitXml xml(out);
    xml.start("testsuites");
    xml.attribute("name", {"quillon-campaign"});
    xml.attribute("tests", total.tests);
    xml.attribute("failures", total.failures);
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        const std::string& key = campaign.report_keys[r];
        suite_start(xml, key, report_counts(report));
        const std::vector<bool> shared = ids.shared_services(key, report);
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            const TestResult& test = report.tests[t];
            const std::string_view service = report.service_name(test.service);
            const Failure failure = test.ok ? Failure() : test_failure(report, static_cast<int>(t));
            if (shared[test.service]) {
                tracked_case(xml, ids, key + '.' + std::string(service),
                             std::string(campaign.test_key(r, t)), failure.message,
                             failure.details);
            } else {
                test_case(xml, {key, ".", service}, campaign.test_key(r, t), failure.message,
                          failure.details);
            }
        }
        if (needs_run_case(report)) {
            tracked_case(xml, ids, key, "run verdict", "the run is KO while none of its tests is");
        }
        xml.end("testsuite");
    }
    if (unverified.tests > 0) {
        suite_start(xml, "requirements not verified", unverified);
        for (const Requirement& requirement : campaign.requirements) {
            if (requirement.verdict == RequirementVerdict::NotVerified) {
                tracked_case(xml, ids, "requirements", requirement.id,
                             "listed but verified by no report");
            }
        }
        xml.end("testsuite");
    }
    if (problems > 0) {
        suite_start(xml, "inputs", {problems, problems});
        for (const QString& problem : campaign.problems) {
            const std::string text = problem.toStdString();
            tracked_case(xml, ids, "inputs", text, text);
        }
        xml.end("testsuite");
    }
    xml.end("testsuites");
}
