#pragma once
// What one requirement report says, as the campaign needs it: its name and
// run verdict, its services and tests with their verdicts, and every
// requirement it names with the place that names it. Texts are UTF-8.
//
// A campaign holds millions of tests, so a report keeps every name, ID and
// value of its entries in one buffer (texts) and each entry points into it:
// an entry costs a few words and no allocation of its own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A text of ReportResult::texts: its first byte and its length.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

struct ServiceResult {
    TextRef name;
    bool ok = true;
};

struct TestResult {
    int service = 0;  // index into ReportResult::services
    TextRef name;
    bool ok = true;
    int cause = -1;  // a KO test's index into ReportResult::causes
};

// Why a KO test failed, as far as its report says: the names of its KO
// elements, its KO requirements (indexes into ReportResult::requirements)
// and the comments of the failing levels (the test's own, and its KO
// elements'), each cut at kCauseCommentBytes.
struct TestCause {
    std::vector<std::string> ko_elements;
    std::vector<int> ko_requirements;
    std::vector<std::string> comments;
};

inline constexpr std::size_t kCauseCommentBytes = 2000;

// One REQUIREMENT element. service and test are -1 at the levels above them
// (a run-level requirement has both at -1); element is empty outside an
// ELEMENT.
struct RequirementOccurrence {
    TextRef id;
    TextRef value;
    bool ok = true;
    int service = -1;
    int test = -1;
    TextRef element;
};

// What a reviewer files about a report: the file's size and SHA-256, and
// the run's own identification fields (empty when the report has none).
struct ReportProvenance {
    long long size = 0;
    std::string sha256;      // lower-case hexadecimal
    std::string run_date;    // RUN_DATE of the run's REPORT_INFO
    std::string target;      // TARGET of the run's REPORT_INFO
    std::string suite_path;  // TESTSUITE_PATH of RUN
};

struct ReportResult {
    // The report file as it was named to the tool, and its canonical absolute
    // path (links resolved), which gives the report its identity: both are
    // bytes as the file system has them, in no particular encoding.
    std::string path;
    std::string real_path;
    // The run's own REPORT_NAME (never one of the header section), else the
    // file name without .req.xml, in UTF-8.
    std::string name;
    bool run_ok = true;
    ReportProvenance provenance;
    std::vector<ServiceResult> services;
    std::vector<TestResult> tests;
    std::vector<TestCause> causes;  // one per KO test
    std::vector<RequirementOccurrence> requirements;
    std::string texts;  // what the TextRefs above point into

    std::string_view text(TextRef ref) const { return {texts.data() + ref.offset, ref.size}; }
    // Keeps a text (at most 4 GiB of them per report) and says where it is.
    TextRef add_text(std::string_view text) {
        const TextRef ref{static_cast<std::uint32_t>(texts.size()),
                          static_cast<std::uint32_t>(text.size())};
        texts.append(text);
        return ref;
    }
    std::string_view service_name(int service) const { return text(services[service].name); }
    std::string_view test_name(int test) const { return text(tests[test].name); }
};
