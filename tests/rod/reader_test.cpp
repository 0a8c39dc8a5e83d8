// rod_read as a whole: the header line and its outcomes, line numbering,
// unknown record codes, record texts, and lines of any length.

#include "rod/rod.h"
#include "tests/rod/reader_testing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rodtest::Diagnostic;
using rodtest::read_file_bytes;
using rodtest::read_records;
using rodtest::tree_of;

struct HeaderCase {
    std::string bytes;
    bool gives_tree;
    std::vector<Diagnostic> diagnostics;
};

TEST(ReaderHeaderTest, EachFirstLineHasItsOutcome) {
    const HeaderCase cases[] = {
        {"KOVIN Merovia ROD:1.1.0\n", true, {}},
        {"KOVIN Merovia ROD: 1.1.7\n", true, {}},
        {"KOVIN Merovia ROD:\t1.\t1. 0 and more\n", true, {}},
        {"KOVIN Merovia ROD: +1.1.-3\n", true, {}},
        {"KOVIN Merovia ROD: 1.1.0", true, {}},
        {"KOVIN Merovia ROD: 1.3.0\n", true, {{5, 1, "(null)"}}},
        {"KOVIN Merovia ROD: 1.4294967297.0\n", true, {{5, 1, "(null)"}}},
        {"KOVIN Merovia ROD: 2.1.0\n", false, {{4, 1, "(null)"}}},
        {"KOVIN Merovia ROD: 0.1.0\n", false, {{4, 1, "(null)"}}},
        // A number that does not fit is not 1, even if it would wrap to 1.
        {"KOVIN Merovia ROD: 4294967297.1.0\n", false, {{4, 1, "(null)"}}},
        {"KOVIN Merovia ROD: 1.1\n", false, {{3, 1, "(null)"}}},
        {"KOVIN Merovia ROD: 2.1\n", false, {{3, 1, "(null)"}}},
        {"KOVIN Merovia ROD: 1 .1.0\n", false, {{3, 1, "(null)"}}},
        {"KOVIN Merovia ROD: 1.1.x\n", false, {{3, 1, "(null)"}}},
        {"KOVIN Merovia ROD:\n", false, {{3, 1, "(null)"}}},
        {"KOVIN Merovia ROD 1.1.0\n", false, {{3, 1, "(null)"}}},
        {"kovin Merovia ROD: 1.1.0\n", false, {{3, 1, "(null)"}}},
        {"NS service\n", false, {{3, 1, "(null)"}}},
        {"M\n", false, {{3, 1, "(null)"}}},
        {"\n", false, {{3, 1, "(null)"}}},
        {"", false, {{3, 0, "(null)"}}},
        {"MO smoke\n", true, {{5, 1, "(null)"}}},
        // The header is judged on the first 51199 bytes of its line; what
        // follows them is never kept.
        {"KOVIN Merovia ROD: 1.1.0" + std::string(100000, '\0') + "\n", true, {}},
        {"KOVIN Merovia ROD:" + std::string(51177, ' ') + "1.1.0\n", false, {{3, 1, "(null)"}}},
        {"KOVIN Merovia ROD:" + std::string(51176, ' ') + "1.1.0\n", true, {}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        const rodtest::Reading reading = read_file_bytes(c.bytes);
        EXPECT_EQ(reading.tree != nullptr, c.gives_tree);
        EXPECT_EQ(reading.failure, c.gives_tree ? RodReadFailure::None : RodReadFailure::Rejected);
        EXPECT_EQ(reading.diagnostics, c.diagnostics);
    }
}

TEST(ReaderHeaderTest, MissingFileIsReportedWithLineZero) {
    qtest::TempDir dir;
    const std::string path = dir.file("absent.rod");
    rodtest::RecordingHook hook;
    const RodReading reading = rod_read(path.c_str());
    EXPECT_EQ(reading.tree, nullptr);
    EXPECT_EQ(reading.failure, RodReadFailure::Rejected);
    EXPECT_EQ(rodtest::recorded(), (std::vector<Diagnostic>{{0, 0, "(null)"}}));
}

TEST(ReaderHeaderTest, DiagnosticsNameThePathReadAndTheRunKeepsIt) {
    qtest::TempDir dir;
    const std::string path = dir.file("named.rod");
    qtest::write_file(path, "KOVIN Merovia ROD: 1.2.0\n");
    std::string file_seen;
    static std::string* seen = nullptr;
    seen = &file_seen;
    const ReaderErrorHook saved = reader_error;
    reader_error = [](int, const char* file, int, const char*) { *seen = file; };
    const auto [tree, failure] = rod_read(path.c_str());
    EXPECT_EQ(failure, RodReadFailure::None);
    reader_error = saved;
    EXPECT_EQ(file_seen, path);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(rodtest::text_of(rod_node_as<RodRunNode>(tree.get())->rod_path), path);
}

TEST(ReaderHeaderTest, HeaderlessFileReadsItsFirstLineAsRecordOne) {
    const rodtest::Reading reading = read_file_bytes("MO smoke\nZZ\nVM 3\n");
    ASSERT_NE(reading.tree, nullptr);
    EXPECT_EQ(reading.diagnostics, (std::vector<Diagnostic>{{5, 1, "(null)"}, {1, 2, "ZZ"}}));
    EXPECT_EQ(rodtest::dump(reading), "Run report=\"smoke\" version=\"3\"\n");
    EXPECT_STREQ(rod_name(reading.tree.get()), "smoke");
}

TEST(ReaderHeaderTest, ALongHeaderlessFirstLineIsOneRecord) {
    const std::string name(70000, 'n');
    const rodtest::Reading reading = read_file_bytes("MO " + name + "\nVM 3\n");
    EXPECT_EQ(reading.diagnostics, (std::vector<Diagnostic>{{5, 1, "(null)"}}));
    EXPECT_EQ(rodtest::dump(reading), "Run report=\"" + name + "\" version=\"3\"\n");
}

TEST(ReaderHeaderTest, HeaderOnlyGivesAnEmptyRun) {
    const rodtest::Reading reading = read_records("");
    ASSERT_NE(reading.tree, nullptr);
    EXPECT_TRUE(reading.diagnostics.empty());
    EXPECT_EQ(rod_services(reading.tree.get()), nullptr);
    EXPECT_EQ(rodtest::dump(reading), "");
}

TEST(ReaderLinesTest, UnknownCodesAreReportedWithLineAndTokenAndReadingGoesOn) {
    const rodtest::Reading reading =
        read_records("\nZZ anything\r\n\r\nns lower\nX\nNS s\n\n\nY2 z\nNT t\n");
    EXPECT_EQ(reading.diagnostics,
              (std::vector<Diagnostic>{{1, 3, "ZZ"}, {1, 5, "ns"}, {1, 6, "X"}, {1, 10, "Y2"}}));
    EXPECT_EQ(rodtest::dump(reading), "Service \"s\"\n Test \"t\"\n");
}

TEST(ReaderLinesTest, LineEndsAreRemovedAndOtherTrailingBytesKept) {
    EXPECT_EQ(tree_of("NS a\r\r\n"), "Service \"a\"\n");
    EXPECT_EQ(tree_of("NS a \t\r\n"), "Service \"a \t\"\n");
    EXPECT_EQ(tree_of("NS a\rb\n"), "Service \"a\rb\"\n");
    EXPECT_EQ(tree_of("NS last"), "Service \"last\"\n");
}

TEST(ReaderLinesTest, ZeroBytesStayPartOfTheText) {
    const rodtest::Reading reading = read_records(std::string("NS a\0b\n", 7));
    const RodNode* service = rod_services(reading.tree.get());
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(rod_text_view(rod_name(service)), std::string_view("a\0b", 3));
}

TEST(ReaderTextTest, RecordTextsAndRawRecordTexts) {
    EXPECT_EQ(tree_of("NS s\n"
                      "RQ   REQ_12\n"
                      "CO  c\n"
                      "TF   x\n"
                      "KL  k\n"
                      "TS   t  \n"
                      "NT\n"
                      "RT   \n"
                      "NT\tx\n"
                      "NTab cd\n"),
              "Service \"s\" type=\"t  \"\n"
              " Note R \"  REQ_12\"\n"
              " Note C \" c\"\n"
              " Coverage K \" k\"\n"
              " TF T \"x\"\n"
              " Test -\n"
              " Test -\n"
              " Test \"cd\"\n");
}

TEST(ReaderTextTest, LineValueTable) {
    struct Case {
        const char* line;
        bool keep_blanks;
        std::optional<std::string_view> value;
    };
    const Case cases[] = {
        {"NS name", false, "name"},       {"RQ   REQ_12", true, "  REQ_12"},
        {"RQ   REQ_12", false, "REQ_12"}, {"NS x y  ", false, "x y  "},
        {"NSab cd", false, "cd"},         {"NS   ", true, "  "},
        {"NS   ", false, std::nullopt},   {"NS ", true, std::nullopt},
        {"NS", false, std::nullopt},      {"NS\tx", true, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(rod_line_value(c.line, c.keep_blanks), c.value);
    }
}

TEST(ReaderLongLineTest, ALongLineIsOneRecord) {
    // Past the point where a fixed line buffer would cut it, the text goes on
    // with "NS"; that must stay text, not become a Service.
    std::string requirement(51196, 'r');
    requirement += "NS tail";
    const rodtest::Reading reading = read_records("NS s\nRQ " + requirement + "\nNT t\n");
    EXPECT_TRUE(reading.diagnostics.empty());
    const RodNode* service = rod_services(reading.tree.get());
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(rod_next(service), nullptr);
    EXPECT_EQ(rod_text_view(rod_note_text(rod_notes(service))), requirement);
    EXPECT_STREQ(rod_name(rod_service_tests(service)), "t");
}

TEST(ReaderLongLineTest, LinesLongerThanAReadBlockArriveWhole) {
    std::string name(3 * 1024 * 1024 + 17, 'n');
    name[1024 * 1024] = ' ';
    const rodtest::Reading reading = read_records("NS " + name + "\r\nNS b");
    const RodNode* service = rod_services(reading.tree.get());
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(rod_text_view(rod_name(service)), name);
    EXPECT_STREQ(rod_name(rod_next(service)), "b");
}

}  // namespace
