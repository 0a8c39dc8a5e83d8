// The read path end to end: a ROD file that cannot be read to its end gets
// no report, one that ends inside a Test is warned about, foreign input is
// turned down in bounded memory, texts from outside are read in the locale's
// encoding, and QARVODIR names its folder by its bytes.

#include "rod/reader_lines.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using qtest::ProcessResult;

class ReadPathTest : public testing::Test {
  protected:
    qtest::TempDir dir;
    qtest::Environment env = qtest::default_tool_environment();

    // Every run reads a.rod before the input under test and c.rod after it.
    void SetUp() override {
        write("a.rod", "KOVIN Merovia ROD: 1.1.0\nMO a\n");
        write("c.rod", "KOVIN Merovia ROD: 1.1.0\nMO c\n");
    }
    // Every report left parses. Names that are not UTF-8 are beyond
    // QTemporaryDir's own clean-up.
    void TearDown() override {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().string().ends_with(".req.xml")) {
                EXPECT_TRUE(qtest::parses_as_xml(qtest::read_file(entry.path()))) << entry.path();
            }
        }
        std::filesystem::remove_all(dir.path());
    }

    void write(const std::string& name, const std::string& bytes) {
        qtest::write_file(dir.file(name), bytes);
    }
    // A file of `size` bytes: head, a hole that reads as zero bytes, tail.
    void write_sparse(const std::string& name, const std::string& head, std::size_t size,
                      const std::string& tail = "") {
        write(name, head);
        std::filesystem::resize_file(dir.file(name), size - tail.size());
        std::ofstream(dir.file(name), std::ios::binary | std::ios::app) << tail;
    }
    std::string read(const std::string& name) { return qtest::read_file(dir.file(name)); }

    // Runs command (the tool, or strace in front of it) on a.rod, input and
    // c.rod; the log tells which reports were put in place.
    void expect_run(std::vector<std::string> command, const std::string& input, std::size_t limit,
                    int status, const std::string& err, const std::string& log) {
        write("run.log", "");
        command.insert(command.end(), {QUILLON_BINARY, "-lrun.log", "a.rod", input, "c.rod"});
        const std::string program = command.front();
        command.erase(command.begin());
        const ProcessResult result = qtest::run_process(program, command, env, dir.path(), limit);
        EXPECT_EQ(result.exit_status, status);
        EXPECT_EQ(result.err, err);
        EXPECT_EQ(read("run.log"), log);
    }
};

TEST_F(ReadPathTest, AReadErrorMeansNoReportForThatInput) {
    if (qtest::run_process("/usr/bin/strace", {"-o", "/dev/null", "/bin/true"}, env, dir.path())
            .exit_status != 0) {
        GTEST_SKIP() << "strace cannot inject read errors here (scripts/setup.sh --tests "
                        "installs it; tracing must be allowed)";
    }
    // Several blocks of reading; the last record makes the verdict KO, so a
    // report of any part of the file would be wrong. The large file is read
    // a block ahead on a second thread.
    const auto make_rod = [](int requirements) {
        std::string rod = "KOVIN Merovia ROD: 1.1.0\nNS s\nNT t\n";
        for (int i = 0; i < requirements; ++i) {
            rod += "RQ REQ_" + std::to_string(i) + " a=1\n";
        }
        return rod + "RT INCORRECT\n";
    };
    write("big.rod", make_rod(200000));
    write("large.rod", make_rod(600000));
    ASSERT_EQ(std::filesystem::file_size(dir.file("big.rod")) >> 20, 3u);
    ASSERT_GE(std::filesystem::file_size(dir.file("large.rod")) >> 20, 10u);
    const auto read_error = [](const std::string& file) {
        return "kvwxrd: Unable to read file \"" + file + "\".\n";
    };
    // One read per full block, one for the rest, and one that meets the end.
    const int last_read =
        static_cast<int>(std::filesystem::file_size(dir.file("big.rod")) / kRodBlockSize) + 2;
    const struct {
        std::string file;
        std::string failing_reads;  // strace's "when": counted from 1 on each thread
        const char* locale;
        std::string err;
    } cases[] = {
        // Before the header has been judged the file has no first line.
        {"big.rod", "1", "C.UTF-8",
         "Qarvo-E-BADRODFIL: kvwrod: File \"big.rod\" not recognized.\n\n"},
        {"big.rod", "2", "C.UTF-8", read_error("big.rod")},
        {"big.rod", "2", "fr_FR.UTF-8",
         "kvwxrd : impossible de lire le fichier \xC2\xAB big.rod \xC2\xBB.\n"},
        // The read that would have met the end.
        {"big.rod", std::to_string(last_read), "C.UTF-8", read_error("big.rod")},
        // Every read from the third on, whichever thread makes it.
        {"large.rod", "3+", "C.UTF-8", read_error("large.rod")},
    };
    // A leak check stops the process with ptrace, which strace already holds.
    env["ASAN_OPTIONS"] = "detect_leaks=0";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " " + c.failing_reads);
        env["LC_ALL"] = c.locale;
        const std::string report = c.file.substr(0, c.file.size() - 4) + ".req.xml";
        write(report, "<old/>");
        expect_run({"/usr/bin/strace", "-f", "-qq", "-o", "/dev/null", "-P",
                    std::filesystem::canonical(dir.file(c.file)), "-e", "trace=read", "-e",
                    "inject=read:error=EIO:when=" + c.failing_reads},
                   c.file, 0, 0, c.err, "REQ a.req.xml\nREQ c.req.xml\n");
        EXPECT_EQ(read(report), "<old/>");
        EXPECT_FALSE(qtest::file_exists(dir.file(report + ".tmp")));
    }
}

// A harness that stopped inside a Test leaves a file that reads as complete:
// its report is written as ever, and a warning names the Test.
TEST_F(ReadPathTest, AFileEndingInsideATestWarnsAndStillGetsItsReport) {
    const std::string rod =
        qtest::read_file(std::string(QUILLON_SOURCE_DIR) + "/examples/campaign/board_b.rod");
    std::size_t end = 0;
    for (int line = 0; line < 26; ++line) {
        end = rod.find('\n', end) + 1;
    }
    write("b.rod", rod.substr(0, end));  // head -n 26: up to V2 in saturated_climb
    expect_run({}, "b.rod", 0, 0,
               "Qarvo-W-TSTNOVRDT: Test saturated_climb has no verdict: line 19. the file ends "
               "inside it.\n",
               "REQ a.req.xml\nREQ b.req.xml\nREQ c.req.xml\n");
}

TEST_F(ReadPathTest, MemoryStaysBoundedOrTheRunStops) {
    if (!qtest::address_space_limits_work()) {
        GTEST_SKIP() << "a sanitizer build cannot run under an address-space limit";
    }
    const std::string header = "KOVIN Merovia ROD: 1.1.0";
    write_sparse("endless_record.rod", header + "\nNS s\nRQ ", std::size_t{1} << 30);
    write_sparse("huge_text.rod", header + "\nNS s\nNT t\nRQ ", 160 << 20, "\nRT CORRECT\n");
    write_sparse("endless_header.rod", header, std::size_t{1} << 30);
    write_sparse("endless_foreign.rod", "KOVIN Merovia XYZ", std::size_t{1} << 30);
    const std::string out_of_memory = "kvwxrd: Not enought memory.\n";
    const std::string both = "REQ a.req.xml\nREQ c.req.xml\n";
    const struct {
        std::string input;
        std::size_t limit_mib;
        int status;
        std::string err, log;
    } cases[] = {
        // Memory runs out reading a line, or keeping its text: the run stops
        // and the report before stays.
        {"endless_record.rod", 256, 255, out_of_memory, "REQ a.req.xml\n"},
        {"huge_text.rod", 320, 255, out_of_memory, "REQ a.req.xml\n"},
        // Judged on its first bytes; the rest of the line is never kept.
        {"/dev/zero", 256, 0, "Qarvo-E-BADRODFIL: kvwrod: File \"/dev/zero\" not recognized.\n\n",
         both},
        {"endless_foreign.rod", 256, 0,
         "Qarvo-E-BADRODFIL: kvwrod: File \"endless_foreign.rod\" not recognized.\n\n", both},
        {"endless_header.rod", 256, 0, "",
         "REQ a.req.xml\nREQ endless_header.req.xml\nREQ c.req.xml\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        expect_run({}, c.input, c.limit_mib << 20, c.status, c.err, c.log);
    }
}

// One ROD file, with the bytes of é, à and the no-break space of a locale's
// encoding in a duplicate service name, an unknown record code, a $NAME
// value and coverage lines, gives one and the same UTF-8 report in every
// locale, and messages in the locale's encoding.
TEST_F(ReadPathTest, TextsFromOutsideAreReadInTheLocaleEncoding) {
    struct Case {
        const char* locale;
        std::string e_acute, a_grave, no_break_space;
    };
    const Case cases[] = {
        {"C.UTF-8", "\xC3\xA9", "\xC3\xA0", "\xC2\xA0"},
        {"fr_FR.ISO-8859-1", "\xE9", "\xE0", "\xA0"},
    };
    const std::string report =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
        "<!-- Qarvoline/lib/reports/testreq_report.xsl -->\n"
        "<RUN TESTSUITE_PATH=\"t.ptu\" AUTHOR=\"caf\xC3\xA9\" STATUS=\"OK\">\n"
        "\t<REPORT_INFO>\n"
        "\t</REPORT_INFO>\n"
        "\t<SERVICE NAME=\"caf\xC3\xA9\" TYPE=\"\" STATUS=\"OK\" NB_VALID=\"0\" NB_INVALID=\"0\" "
        "NB_TEST=\"0\" >\n"
        "\t</SERVICE>\n"
        "\t<SERVICE NAME=\"caf\xC3\xA9\" TYPE=\"\" STATUS=\"OK\" NB_VALID=\"1\" NB_INVALID=\"0\" "
        "NB_TEST=\"1\" >\n"
        "\t\t<TEST NAME=\"t\" STATUS=\"OK\" >\n"
        "\t\t\t<REQUIREMENTS>\n"
        "\t\t\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"by=$USER\">\n"
        "\t\t\t\t\t<ATTRIBUTE NAME=\"by\" VALUE=\"caf\xC3\xA9\">\n"
        "\t\t\t\t\t</ATTRIBUTE>\n"
        "\t\t\t\t</REQUIREMENT>\n"
        "\t\t\t</REQUIREMENTS>\n"
        "\t\t\t<COVERAGE_RESULT MODULE=\"m\xC3\xA0\">\n"
        "\t\t\t\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\xC3\xA0\">\n"
        "\t\t\t\t</COVERAGE_DETAILS>\n"
        "\t\t\t</COVERAGE_RESULT>\n"
        "\t\t</TEST>\n"
        "\t</SERVICE>\n"
        "</RUN>";
    // No catalogue, so that the French locale prints the source texts.
    env["QARVODIR"] = qtest::make_qarvodir(dir.file("untranslated"), {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        if (!qtest::locale_available(c.locale)) {
            ADD_FAILURE() << "locale " << c.locale << " is not generated (scripts/setup.sh)";
            continue;
        }
        env["LC_ALL"] = c.locale;
        env["USER"] = "caf" + c.e_acute;
        const std::string service = "caf" + c.e_acute;
        write("e.rod", "KOVIN Merovia ROD: 1.1.0\nFX  0 t.ptu\nFP7 0 10\nNS " + service +
                           "\nFP7 0 20\nNS " + service + "\n" + c.e_acute +
                           " bad\nNT t\nRQ R1 by=$USER\nKL File m" + c.a_grave + c.no_break_space +
                           "\nKL " + c.no_break_space + "x" + c.a_grave + "\t(1/2)\nRT CORRECT\n");
        const ProcessResult result = qtest::run_quillon({"e.rod"}, env, dir.path());
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "Qarvo-W-DUPSRVNAM: Duplicate service name " + service +
                                  ": line 20. first declaration at line 10.\n"
                                  "Qarvo-E-INVRODTKN: kvwrod: \"e.rod\", line 7: Invalid token '" +
                                  (c.e_acute + " ").substr(0, 2) + "'.\n");
        EXPECT_EQ(read("e.req.xml"), report);
    }
}

// Under a Latin-1 locale, a QARVODIR holding é and à names the folder of
// those bytes, not the one its UTF-8 spelling would name.
TEST_F(ReadPathTest, QarvodirNamesItsFolderByItsBytes) {
    if (!qtest::locale_available("fr_FR.ISO-8859-1")) {
        GTEST_SKIP() << "locale fr_FR.ISO-8859-1 is not generated on this machine";
    }
    env["LC_ALL"] = "fr_FR.ISO-8859-1";
    qtest::make_qarvodir(dir.file("d\xE9j\xE0"), {"prefixes/quillon_fr.qm"});
    qtest::make_qarvodir(dir.file("d\xC3\xA9j\xC3\xA0"), {"language_only/quillon_fr.qm"});
    const std::pair<std::string, std::string> cases[] = {
        {"d\xE9j\xE0", "quillon_: kvwxrd cannot open \xABmissing\xBB\n"},
        {"abs\xE9nt", "Warning: directory doesn't exist '" + dir.file("abs\xE9nt") +
                          "/lib/locale'\nkvwxrd: Unable to open file \"missing\".\n"},
    };
    for (const auto& [folder, err] : cases) {
        env["QARVODIR"] = dir.file(folder);
        EXPECT_EQ(qtest::run_quillon({"-hmissing"}, env, dir.path()).err, err) << folder;
    }
}

}  // namespace
