// The tool's start-up as a user meets it: QARVODIR, catalogues, banner and
// usage, the option pass and its failures.

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using qtest::Environment;
using qtest::ProcessResult;
using qtest::run_quillon;

const std::string kBanner = std::string("\nQuillon C and Ada Test Requirement Report ") +
                            QUILLON_VERSION +
                            "\nFree software for test campaigns. No warranty of any kind.\n";

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

TEST_F(StartupTest, UnreadableHeaderFileStopsBeforeAnyInput) {
    qtest::write_file(dir.file("a.rod"), "KOVIN Merovia ROD: 1.1.0\n");
    std::filesystem::create_directory(dir.file("folder"));
    for (const std::string name : {"missing", "folder"}) {
        const ProcessResult result = run({"-h" + name, "a.rod"});
        EXPECT_EQ(result.exit_status, 255);
        EXPECT_EQ(result.err, "kvwxrd: Unable to open file \"" + name + "\".\n");
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(qtest::file_exists(dir.file("a.req.xml")));
    }
}

TEST_F(StartupTest, OnlyTheSecondCharacterSelectsTheOption) {
    // -help is -h with the value "elp".
    const ProcessResult result = run({"-help"});
    EXPECT_EQ(result.exit_status, 255);
    EXPECT_EQ(result.err, "kvwxrd: Unable to open file \"elp\".\n");
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
