#include "rod/reader_diagnostics.h"
#include "rod/rod.h"

#include "i18n/local8bit.h"
#include "tests/support/scoped_state.h"
#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

std::string printed(int kind, const char* file, int line, const char* text) {
    return qtest::capture_stderr([&] { reader_error(kind, file, line, text); });
}

TEST(ReaderDiagnosticsTest, TheHookHoldsTheDefaultReporter) {
    EXPECT_EQ(reader_error, &report_reader_error);
}

TEST(ReaderDiagnosticsTest, EachKindPrintsItsLine) {
    EXPECT_EQ(printed(kReaderCannotOpen, "a.rod", 0, nullptr),
              "Qarvo-E-IMPOUVFIC: kvwrod: Unable to open file \"a.rod\".\n");
    EXPECT_EQ(printed(kReaderInvalidToken, "b.rod", 12, "ZZ"),
              "Qarvo-E-INVRODTKN: kvwrod: \"b.rod\", line 12: Invalid token 'ZZ'.\n");
    EXPECT_EQ(printed(kReaderBadLine, "b.rod", 7, "ignored"),
              "Qarvo-E-BADRODLIN: kvwrod: \"b.rod\", line 7: Assertion failed.\n");
    EXPECT_EQ(printed(kReaderBadVersion, "c.rod", 1, nullptr),
              "Qarvo-E-INVFILVER: kvwrod: Error, invalid version for \"c.rod\".\n");
    EXPECT_EQ(printed(kReaderVersionWarning, "c.rod", 1, nullptr),
              "Qarvo-W-INVFILVER: kvwrod: Warning, invalid version for \"c.rod\".\n");
}

TEST(ReaderDiagnosticsTest, BadFileIsFollowedByAnEmptyLine) {
    EXPECT_EQ(printed(kReaderBadFile, "d.rod", 1, nullptr),
              "Qarvo-E-BADRODFIL: kvwrod: File \"d.rod\" not recognized.\n\n");
}

TEST(ReaderDiagnosticsTest, UnknownKindsNameOnlyTheModule) {
    EXPECT_EQ(printed(9, "e.rod", 3, "XX"), "Qarvo-E-UNKNOWERR: kvwrod: Unknown error.\n");
    EXPECT_EQ(printed(-1, "e.rod", 3, "XX"), "Qarvo-E-UNKNOWERR: kvwrod: Unknown error.\n");
    EXPECT_EQ(printed(6, nullptr, 0, nullptr), "Qarvo-E-UNKNOWERR: kvwrod: Unknown error.\n");
}

TEST(ReaderDiagnosticsTest, ArgumentsAreInsertedAsTheyAre) {
    // A placeholder inside a file name or a token is not filled again.
    EXPECT_EQ(printed(kReaderInvalidToken, "x%3y%4.rod", 12, "%2"),
              "Qarvo-E-INVRODTKN: kvwrod: \"x%3y%4.rod\", line 12: Invalid token '%2'.\n");
    EXPECT_EQ(printed(kReaderCannotOpen, "%1 %s\\n.rod", 0, nullptr),
              "Qarvo-E-IMPOUVFIC: kvwrod: Unable to open file \"%1 %s\\n.rod\".\n");
}

TEST(ReaderDiagnosticsTest, AbsentArgumentsPrintEmpty) {
    EXPECT_EQ(printed(kReaderInvalidToken, nullptr, -5, nullptr),
              "Qarvo-E-INVRODTKN: kvwrod: \"\", line -5: Invalid token ''.\n");
}

TEST(ReaderDiagnosticsTest, TokenIsReadInTheLocaleEncoding) {
    qtest::ScopedLocale scope("C.UTF-8");
    EXPECT_EQ(printed(kReaderInvalidToken, "f.rod", 2, "\xC3\xA9"),
              "Qarvo-E-INVRODTKN: kvwrod: \"f.rod\", line 2: Invalid token '\xC3\xA9'.\n");
    EXPECT_EQ(printed(kReaderInvalidToken, "f.rod", 2, "\xE9Z"),
              "Qarvo-E-INVRODTKN: kvwrod: \"f.rod\", line 2: Invalid token '\xEF\xBF\xBDZ'.\n");
}

TEST(ReaderDiagnosticsTest, DuplicateServiceWarning) {
    EXPECT_EQ(qtest::capture_stderr([] { report_duplicate_service("init", 40, 12); }),
              "Qarvo-W-DUPSRVNAM: Duplicate service name init: line 40. first declaration at "
              "line 12.\n");
    EXPECT_EQ(qtest::capture_stderr([] { report_duplicate_service("s%2", 40, 12); }),
              "Qarvo-W-DUPSRVNAM: Duplicate service name s%2: line 40. first declaration at "
              "line 12.\n");
}

// The warning the reader prints prepares its message once and fills it in
// bytes; it must print exactly what the general path prints, whatever the
// name holds (Latin-1 bytes, zero bytes, placeholders, the markers it uses
// internally) and in the encodings where it takes the fast path.
void expect_same_duplicate_warnings() {
    const std::string names[] = {"init",          "s%2%1",        std::string("n\0ul", 4),
                                 "\xE9t\xE9\xFF", "\x01\x02\x03", ""};
    DuplicateServiceWarning warning;
    for (const std::string& name : names) {
        for (const auto& [new_line, first_line] : {std::pair{40, 12}, std::pair{-1, 2147483647}}) {
            EXPECT_EQ(qtest::capture_stderr([&] {
                          warning.report(name, new_line, first_line);
                          warning.flush();
                      }),
                      qtest::capture_stderr(
                          [&] { report_duplicate_service(name, new_line, first_line); }))
                << name;
        }
    }
}

TEST(ReaderDiagnosticsTest, PreparedDuplicateWarningPrintsWhatTheGeneralPathPrints) {
    for (const char* locale : {"C.UTF-8", "fr_FR.ISO-8859-1", "C"}) {
        qtest::ScopedLocale scope(locale);
        if (!scope.ok()) {
            ADD_FAILURE() << "locale " << locale << " is not installed";
            continue;
        }
        expect_same_duplicate_warnings();
    }
}

// Warnings wait in a batch and go out in writes of whole lines, none longer
// than a batch unless one line alone is; nothing is written twice or lost.
TEST(ReaderDiagnosticsTest, DuplicateWarningsGoOutInBatchesOfWholeLines) {
    const std::string long_name(DuplicateServiceWarning::kBatchSize + 10, 'n');
    std::string expected;
    std::string printed_before_flush;
    const std::string printed = qtest::capture_stderr([&] {
        DuplicateServiceWarning warning;
        for (int i = 0; i < 200; ++i) {
            const std::string name = i == 100 ? long_name : "service_" + std::to_string(i);
            warning.report(name, i, 1);
            expected += "Qarvo-W-DUPSRVNAM: Duplicate service name " + name + ": line " +
                        std::to_string(i) + ". first declaration at line 1.\n";
        }
    });
    EXPECT_EQ(printed, expected);
    const std::string first = qtest::capture_stderr([&] {
        DuplicateServiceWarning warning;
        warning.report("a", 2, 1);
        std::fputs("other\n", stderr);  // not flushed first: the warning waits
        warning.flush();
    });
    EXPECT_EQ(first,
              "other\nQarvo-W-DUPSRVNAM: Duplicate service name a: line 2. first "
              "declaration at line 1.\n");
}

// Installs the test catalogue for the life of one test.
class TranslatedReaderDiagnosticsTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(translator_.load("rod_diagnostics", QUILLON_FIXTURE_QM_DIR "/rod_diagnostics"));
        ASSERT_TRUE(QCoreApplication::installTranslator(&translator_));
    }
    void TearDown() override { QCoreApplication::removeTranslator(&translator_); }

  private:
    QTranslator translator_;
};

TEST_F(TranslatedReaderDiagnosticsTest, TranslationFollowsTheUntranslatedIdentifier) {
    EXPECT_EQ(printed(kReaderInvalidToken, "b%3.rod", 12, "ZZ"),
              "Qarvo-E-INVRODTKN: [kvwrod] token <ZZ> at b%3.rod:12\n");
    EXPECT_EQ(qtest::capture_stderr([] { report_duplicate_service("init", 40, 12); }),
              "Qarvo-W-DUPSRVNAM: service init again at 40 (first at 12)\n");
    EXPECT_EQ(qtest::capture_stderr([] { DuplicateServiceWarning().report("init", 40, 12); }),
              "Qarvo-W-DUPSRVNAM: service init again at 40 (first at 12)\n");
    expect_same_duplicate_warnings();
}

TEST_F(TranslatedReaderDiagnosticsTest, TheCommentSelectsTheTranslation) {
    // The catalogue translates this source text under two comments.
    EXPECT_EQ(printed(kReaderBadFile, "d.rod", 1, nullptr),
              "Qarvo-E-BADRODFIL: kvwrod does not know d.rod\n\n");
    // Messages the catalogue lacks stay untranslated.
    EXPECT_EQ(printed(kReaderCannotOpen, "a.rod", 0, nullptr),
              "Qarvo-E-IMPOUVFIC: kvwrod: Unable to open file \"a.rod\".\n");
}

}  // namespace
