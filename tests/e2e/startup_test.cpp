// The tool's start-up as a user meets it: QARVODIR, catalogues, banner and
// usage, the option pass and its failures.

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using qtest::Environment;
using qtest::ProcessResult;
using qtest::run_quillon;

const std::string kBanner =
    std::string("\nQuillon C and Ada Test Requirement Report ") + QUILLON_VERSION +
    "\nLicensed under the Apache License, Version 2.0. Provided AS IS, without warranties or "
    "conditions of any kind.\n";
const std::string kOptionList =
    "Options (each value is glued to its letter, as in -hheader.txt):\n"
    "  -o<outfile>     write the report to <outfile> instead of the input's name\n"
    "                  with .rod replaced by .req.xml\n"
    "  -h<headerfile>  add the header section read from <headerfile>\n"
    "  -l<logfile>     append one line naming each report written to <logfile>\n"
    "  -v              echo every requirement on standard output\n"
    "  -e              element mode: every element of a test gets its own verdict\n"
    "  --help          print this help and exit\n"
    "  --version       print the name and version and exit\n";

class StartupTest : public testing::Test {
  protected:
    qtest::TempDir dir;
    Environment env = qtest::default_tool_environment();

    ProcessResult run(const std::vector<std::string>& arguments) {
        return run_quillon(arguments, env, dir.path());
    }
};

TEST_F(StartupTest, WithoutQarvodirOnlyTheFatalMessageAndStatusSeven) {
    const std::string fatal = "Fatal Error: please setup QARVODIR environment variable.\n";
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>("")}) {
        env["QARVODIR"] = value;
        for (const auto& arguments :
             {std::vector<std::string>{}, std::vector<std::string>{"-v", "a.rod"}}) {
            const ProcessResult result = run(arguments);
            EXPECT_EQ(result.exit_status, 7);
            EXPECT_EQ(result.err, fatal);
            EXPECT_EQ(result.out, "");
        }
    }
}

TEST_F(StartupTest, NoArgumentsPrintBannerAndUsageWithStatus255) {
    const ProcessResult result = run({});
    EXPECT_EQ(result.exit_status, 255);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, kBanner + "Usage: (" + std::string(QUILLON_BINARY) +
                              ") [-o<outfile>] [-h<headerfile>] [-l<logfile>] filename.rod\n");
}

TEST_F(StartupTest, OptionsAloneDoNothing) {
    for (const auto& arguments :
         {std::vector<std::string>{"-v"}, std::vector<std::string>{"-", "--", "-x", "-e"}}) {
        const ProcessResult result = run(arguments);
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, "");
    }
}

// The header file is read once, before the first report: one that cannot be
// opened or read whole (/proc/self/mem opens, and its first page cannot be
// read) is one message and status 255, and no report is begun.
TEST_F(StartupTest, UnreadableHeaderFileStopsBeforeAnyInput) {
    qtest::write_file(dir.file("a.rod"), "KOVIN Merovia ROD: 1.1.0\n");
    std::filesystem::create_directory(dir.file("folder"));
    const struct {
        std::string name;
        std::string err;
    } cases[] = {
        {"missing", "kvwxrd: Unable to open file \"missing\".\n"},
        {"folder", "kvwxrd: Unable to open file \"folder\".\n"},
        {"/proc/self/mem", "kvwxrd: Unable to read file \"/proc/self/mem\".\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult result = run({"-lrun.log", "-h" + c.name, "a.rod"});
        EXPECT_EQ(result.exit_status, 255);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(qtest::file_exists(dir.file("a.req.xml")));
        EXPECT_FALSE(qtest::file_exists(dir.file("a.req.xml.tmp")));
        EXPECT_EQ(qtest::read_file(dir.file("run.log")), "");
    }
}

TEST_F(StartupTest, OnlyTheSecondCharacterSelectsTheOption) {
    // -help is -h with the value "elp".
    const ProcessResult result = run({"-help"});
    EXPECT_EQ(result.exit_status, 255);
    EXPECT_EQ(result.err, "kvwxrd: Unable to open file \"elp\".\n");
}

// --help and --version win wherever they stand: nothing else is read, not
// even a -h file that does not exist, and no input is converted.
TEST_F(StartupTest, HelpAndVersionAnswerOnStandardOutput) {
    qtest::write_file(dir.file("a.rod"), "KOVIN Merovia ROD: 1.1.0\nNS s\n");
    const std::string usage = "Usage: (" + std::string(QUILLON_BINARY) +
                              ") [-o<outfile>] [-h<headerfile>] [-l<logfile>] filename.rod\n";
    const std::string version = std::string("Quillon ") + QUILLON_VERSION + "\n";
    const struct {
        std::vector<std::string> arguments;
        std::string out;
    } cases[] = {
        {{"--help"}, usage + kOptionList},
        {{"--version"}, version},
        {{"-hmissing", "a.rod", "--help", "-lrun.log"}, usage + kOptionList},
        {{"a.rod", "--version", "--help"}, version},
    };
    for (const auto& c : cases) {
        const ProcessResult result = run(c.arguments);
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, c.out);
        EXPECT_FALSE(qtest::file_exists(dir.file("a.req.xml")));
        EXPECT_FALSE(qtest::file_exists(dir.file("run.log")));
    }
    // They need no set-up: without QARVODIR they answer all the same.
    env.erase("QARVODIR");
    const ProcessResult unset = run({"--version"});
    EXPECT_EQ(unset.exit_status, 0);
    EXPECT_EQ(unset.out, version);
    EXPECT_EQ(run({"a.rod"}).exit_status, 7);
}

TEST_F(StartupTest, HelpAndBannerAreTranslated) {
    env["LC_ALL"] = "fr_FR.UTF-8";
    EXPECT_NE(run({}).err.find("\nDistribu\xC3\xA9 sous la licence Apache, version 2.0. Fourni "
                               "\xC2\xAB EN L'\xC3\x89TAT \xC2\xBB, sans garantie"),
              std::string::npos);
    const ProcessResult result = run({"--help"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out.rfind("Usage : (", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\nOptions (chaque valeur est coll\xC3\xA9"
                              "e \xC3\xA0 sa lettre"),
              std::string::npos)
        << result.out;
    EXPECT_NE(
        result.out.find("\n  --version             affiche le nom et la version et termine\n"),
        std::string::npos)
        << result.out;
}

TEST_F(StartupTest, LogFileIsCreatedByTheOptionPass) {
    const ProcessResult result = run({"-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(qtest::file_exists(dir.file("run.log")));
    EXPECT_EQ(qtest::read_file(dir.file("run.log")), "");
}

TEST_F(StartupTest, UnwritableLogFileIsReported) {
    const ProcessResult result = run({"-lno/such/dir/run.log", "a.rod"});
    EXPECT_EQ(result.exit_status, 255);
    EXPECT_EQ(result.err, "kvwxrd: Unable to open file \"no/such/dir/run.log\".\n");
}

TEST_F(StartupTest, FileNamesArePrintedByteForByte) {
    // A name holding placeholders and a backslash is not rewritten.
    const ProcessResult result = run({"-hm%2is%1s\\ing"});
    EXPECT_EQ(result.err, "kvwxrd: Unable to open file \"m%2is%1s\\ing\".\n");
}

TEST_F(StartupTest, MissingLocaleDirectoryIsAWarningThenANormalRun) {
    env["QARVODIR"] = dir.path() + "/";
    const ProcessResult result = run({"-hmissing"});
    EXPECT_EQ(result.exit_status, 255);
    EXPECT_EQ(result.err, "Warning: directory doesn't exist '" + dir.path() +
                              "//lib/locale'\n"
                              "kvwxrd: Unable to open file \"missing\".\n");
}

TEST_F(StartupTest, ShippedFrenchCatalogueTranslatesToolMessages) {
    env["LC_ALL"] = "fr_FR.UTF-8";
    const ProcessResult result = run({"-hmissing"});
    EXPECT_EQ(result.err, "kvwxrd : impossible d'ouvrir le fichier « missing ».\n");
}

TEST_F(StartupTest, FrenchMessagesFollowALatin1Locale) {
    if (!qtest::locale_available("fr_FR.ISO-8859-1")) {
        GTEST_SKIP() << "locale fr_FR.ISO-8859-1 is not generated on this machine";
    }
    env["LC_ALL"] = "fr_FR.ISO-8859-1";
    // A Latin-1 file name: the byte 0xE9 is é, and comes back as the same byte.
    const ProcessResult result = run({"-hd\xE9j\xE0"});
    EXPECT_EQ(result.err, "kvwxrd : impossible d'ouvrir le fichier \xAB d\xE9j\xE0 \xBB.\n");
}

TEST_F(StartupTest, CommonCatalogueWinsOverQuillonCatalogue) {
    qtest::TempDir root;
    env["QARVODIR"] = qtest::make_qarvodir(
        root.path(), {"prefixes/quillon_fr.qm", "prefixes/brenmix_fr.qm", "prefixes/common_fr.qm"});
    env["LC_ALL"] = "fr_FR.UTF-8";
    EXPECT_EQ(run({"-hmissing"}).err, "common_: kvwxrd cannot open «missing»\n");
}

TEST_F(StartupTest, MissingCatalogueForOnePrefixIsSkippedSilently) {
    qtest::TempDir root;
    env["QARVODIR"] = qtest::make_qarvodir(root.path(), {"prefixes/quillon_fr.qm"});
    env["LC_ALL"] = "fr_FR.UTF-8";
    EXPECT_EQ(run({"-hmissing"}).err, "quillon_: kvwxrd cannot open «missing»\n");
}

TEST_F(StartupTest, TerritoryLocaleFallsBackToLanguageCatalogue) {
    qtest::TempDir root;
    env["QARVODIR"] = qtest::make_qarvodir(root.path(), {"language_only/quillon_fr.qm"});
    env["LC_ALL"] = "fr_FR.UTF-8";
    EXPECT_EQ(run({"-hmissing"}).err, "fr: kvwxrd ne peut ouvrir «missing»\n");

    // Another language finds nothing and prints the source text.
    env["LC_ALL"] = "en_US.UTF-8";
    EXPECT_EQ(run({"-hmissing"}).err, "kvwxrd: Unable to open file \"missing\".\n");
}

TEST_F(StartupTest, EmptyLocaleDirectoryMeansUntranslatedMessages) {
    qtest::TempDir root;
    env["QARVODIR"] = qtest::make_qarvodir(root.path(), {});
    env["LC_ALL"] = "fr_FR.UTF-8";
    EXPECT_EQ(run({"-hmissing"}).err, "kvwxrd: Unable to open file \"missing\".\n");
}

}  // namespace
