// What each record does to the tree: the hierarchy, the Closes rules, notes
// and pending notes, implicit Elements, duplicate Services, aborted
// executions, LI joining, the file table and positions, and the places where
// a list already holds entries when a record adds to it.

#include "rod/reader_records.h"
#include "i18n/local8bit.h"
#include "rod/nodes.h"
#include "rod/rod.h"
#include "tests/rod/reader_testing.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <cstdio>

#include <clocale>
#include <string>
#include <string_view>
#include <utility>

namespace {

using rodtest::read_records;
using rodtest::tree_of;

TEST(ReaderRecordsTest, RecordsBuildTheHierarchy) {
    EXPECT_EQ(tree_of("NS svc\n"
                      "TS unit\n"
                      "NT t1\n"
                      "NB e1\n"
                      "NV x\n"
                      "IN 1\n"
                      "VA 2\n"
                      "V1 3\n"
                      "V2 4\n"
                      "RV CORRECT\n"
                      "EN env\n"
                      "NV ev\n"
                      "MN stub\n"
                      "VA s1\n"
                      "V1 s2\n"
                      "V2 s3\n"
                      "RV s4\n"
                      "MC call\n"
                      "MP p\n"
                      "VA p1\n"
                      "RT OK\n"
                      "RS OK\n"),
              "Service \"svc\" type=\"unit\" status=\"OK\"\n"
              " Test \"t1\" status=\"OK\"\n"
              "  Element \"e1\"\n"
              "   Variable \"x\" in=\"1\" va=\"2\" v1=\"3\" v2=\"4\" status=\"CORRECT\"\n"
              "   Environment \"env\"\n"
              "    Variable \"ev\"\n"
              "   Stub \"stub\" va=\"s1\" v1=\"s2\" v2=\"s3\" status=\"s4\"\n"
              "    Call \"call\"\n"
              "     Variable \"p\" va=\"p1\"\n");
}

// A code is looked up by a slot that two codes of other bytes may share
// ("nS" and "NS", "N3" and "Ns"): only the code itself is known.
TEST(ReaderRecordsTest, OnlyWholeCodesAreKnown) {
    RodTree tree(rod_new_run("suite.rod"));
    ReaderState state(rod_node_as<RodRunNode>(tree.get()));
    const std::pair<std::string_view, bool> lines[] = {
        {"NS s", true},     {"nS s", false}, {"Ns s", false},   {"N3 s", false},
        {"\x0eS s", false}, {"N", false},    {"V1 1", true},    {"V1", true},
        {"v1 1", false},    {"DI", true},    {"FP9 1 2", true}, {"ZZ", false},
    };
    for (const auto& [line, known] : lines) {
        EXPECT_EQ(rod_apply_record(state, line), known) << line;
    }
    EXPECT_EQ(rodtest::dump(tree.get()), "Service \"s\"\n");
}

TEST(ReaderRecordsTest, RunServiceTestAndAuxTexts) {
    EXPECT_EQ(tree_of("MO rep\nVM 1.0\nTG tg\nSO src.c\nVS 3\nPT t.ptu\nVP 4\nVO 5\nCI cpu\n"
                      "DP d1\nDE d2\nCP cp\nOP op\nFO fo\nTE te\nTV tv\nTC tc\nTI ti\n"
                      "NI lost\nFI aux1\nNI n1\nFA f1\nFI aux2\n"
                      "FT lost\nNS s\nTE ste\nTV stv\nTC stc\nTI sti\n"
                      "NT t\nFT ft\nDT dt\nEI ei\nIC ic\nVI vi\n"),
              "Run report=\"rep\" version=\"1.0\" tg=\"tg\" src=\"src.c\" src_version=\"3\" "
              "ptu=\"t.ptu\" ptu_version=\"4\" tool=\"5\" target=\"cpu\" prepro=\"d1\" "
              "run_date=\"d2\" cp=\"cp\" op=\"op\" fo=\"fo\" te=\"te\" tv=\"tv\" tc=\"tc\" "
              "ti=\"ti\"\n"
              "Aux \"aux1\" ni=\"n1\" fa=\"f1\"\n"
              "Aux \"aux2\"\n"
              "Service \"s\" te=\"ste\" tv=\"stv\" tc=\"stc\" ti=\"sti\"\n"
              " Test \"t\" ft=\"ft\" dt=\"dt\" vi=\"vi\" ei=\"ei\" ic=\"ic\"\n");
}

TEST(ReaderRecordsTest, LaterTextsReplaceButVerdictsOnlyFillAGap) {
    EXPECT_EQ(tree_of("VM a\nVM b\nSO x\nSO\n"
                      "NS s\nTS a\nTS b\nRS first\nRS second\nTE a\nTE\n"
                      "NT t\nRT\nRT one\nRT two\nFT a\nFT\n"),
              "Run version=\"b\"\n"
              "Service \"s\" type=\"b\" status=\"first\"\n"
              " Test \"t\" status=\"one\"\n");
}

TEST(ReaderRecordsTest, RecordsWithoutTheirOpenItemAreIgnored) {
    const rodtest::Reading reading = read_records(
        "NT t\nIN x\nVA x\nRV x\nRT x\nRS x\nTS x\nNB e\nEN e\nMN m\nMC c\n"
        "MP p\nBD a b c\nFB\nNV v\nTF t\nLI l\nFT f\nDT d\nVI v\nNI n\nFA f\n"
        "DB\nDI\nBG\n");
    EXPECT_TRUE(reading.diagnostics.empty());
    EXPECT_EQ(rodtest::dump(reading), "");
}

// --- Closes rules ----------------------------------------------------------

TEST(ReaderClosesTest, NotesAfterViWaitForTheNextTest) {
    EXPECT_EQ(tree_of("NS s\nNT t1\nVI v\nRQ R1\nNT t2\n"),
              "Service \"s\"\n"
              " Test \"t1\" vi=\"v\"\n"
              " Test \"t2\"\n"
              "  Note R \"R1\"\n");
}

TEST(ReaderClosesTest, PendingNotesGoToTheNextServiceAndStayTheNoteTail) {
    EXPECT_EQ(tree_of("NS s\nNT t1\nVI v\nCO c1\nRQ r2\nNS s2\nRQ r3\n"),
              "Service \"s\"\n"
              " Test \"t1\" vi=\"v\"\n"
              "Service \"s2\"\n"
              " Note C \"c1\"\n"
              " Note R \"r2\"\n"
              " Note R \"r3\"\n");
}

TEST(ReaderClosesTest, PendingModeEndsWithNsOrNtEvenWithoutATest) {
    // VI without a Test still makes notes wait; NT without a Service ends
    // the waiting but hands nothing over, so the next NS takes them.
    EXPECT_EQ(tree_of("VI\nRQ p\nNT x\nNS s\nNT t\nVI\nNS s2\nRQ r\n"),
              "Service \"s\"\n"
              " Note R \"p\"\n"
              " Test \"t\"\n"
              "Service \"s2\"\n"
              " Note R \"r\"\n");
}

TEST(ReaderClosesTest, NvAfterViMakesAnExceptionElement) {
    EXPECT_EQ(tree_of("NS s\nNT t\nNB e1\nVI x\nNV v\n"),
              "Service \"s\"\n"
              " Test \"t\" vi=\"x\"\n"
              "  Element \"e1\"\n"
              "  Element \"Exception\"\n"
              "   Variable \"v\"\n");
}

TEST(ReaderClosesTest, NbClearsTheNoteTail) {
    EXPECT_EQ(tree_of("NS s\nNT t\nRQ r1\nNB e\nRQ r2\nNV v\nRQ r3\nCO c4\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Note R \"r1\"\n"
              "  Element \"e\"\n"
              "   Note R \"r2\"\n"
              "   Variable \"v\"\n"
              "    Note R \"r3\"\n"
              "    Note C \"c4\"\n");
}

TEST(ReaderClosesTest, MnKeepsTheNoteTail) {
    EXPECT_EQ(tree_of("NS s\nNT t\nNB e\nRQ r1\nMN m\nRQ r2\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\"\n"
              "   Note R \"r1\"\n"
              "   Note R \"r2\"\n"
              "   Stub \"m\"\n");
}

TEST(ReaderClosesTest, BgClosesEverythingButNotMo) {
    EXPECT_EQ(tree_of("NS s\nNT t\nBG\nNT u\nRQ r\n"),
              "Note R \"r\"\n"
              "Service \"s\"\n"
              " Test \"t\"\n");
    // MO closes the items but keeps the note tail; the coverage tail goes.
    EXPECT_EQ(tree_of("NS s\nRQ a\nKL k1\nMO rep\nRQ b\nKL k2\nNT lost\n"),
              "Run report=\"rep\"\n"
              "Coverage K \"k2\"\n"
              "Service \"s\"\n"
              " Note R \"a\"\n"
              " Note R \"b\"\n"
              " Coverage K \"k1\"\n");
}

TEST(ReaderClosesTest, NtClosesTheElement) {
    EXPECT_EQ(tree_of("NS s\nNT t1\nNB e\nNT t2\nNV v\n"),
              "Service \"s\"\n"
              " Test \"t1\"\n"
              "  Element \"e\"\n"
              " Test \"t2\"\n"
              "  Element \"Exception\"\n"
              "   Variable \"v\"\n");
}

TEST(ReaderClosesTest, ViLeavesTheEnvironmentOpen) {
    EXPECT_EQ(tree_of("NS s\nNT t\nNB e\nEN env\nVI\nNV v\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\"\n"
              "   Environment \"env\"\n"
              "    Variable \"v\"\n");
}

TEST(ReaderClosesTest, StubLevelRecords) {
    // NV closes an open Stub; BD closes it as well; FB does not.
    EXPECT_EQ(tree_of("NS s\nNT t\nNB e\nMN m\nMC c\nMP p\nNV v\nVA x\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\"\n"
              "   Variable \"v\" va=\"x\"\n"
              "   Stub \"m\"\n"
              "    Call \"c\"\n"
              "     Variable \"p\"\n");
    EXPECT_EQ(tree_of("NS s\nNT t\nNB e\nMN m\nVA a\nBD r 1 2\nVA b\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\"\n"
              "   Variable \"r\" in=\"1\" va=\"b\" row\n"
              "   Stub \"m\" va=\"a\"\n");
    EXPECT_EQ(tree_of("NS s\nNT t\nNB e\nMN m\nFB\nVA x\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\"\n"
              "   Variable \"End of sql table\" end\n"
              "   Stub \"m\" va=\"x\"\n");
}

// --- Implicit Elements and variables -----------------------------------------

TEST(ReaderElementsTest, RecordsMakeTheElementTheyNeed) {
    const struct {
        const char* record;
        const char* tree;
    } cases[] = {
        {"BD a 1 2", "  Element \"sql table\"\n   Variable \"a\" in=\"1\" va=\"2\" row\n"},
        {"FB", "  Element \"End of sql table\"\n   Variable \"End of sql table\" end\n"},
        {"EN env", "  Element \"Environment\"\n   Environment \"env\"\n"},
        {"MN m", "  Element \"Stub\"\n   Stub \"m\"\n"},
        {"NV v", "  Element \"Exception\"\n   Variable \"v\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        EXPECT_EQ(tree_of(std::string("NS s\nNT t\n") + c.record + "\n"),
                  std::string("Service \"s\"\n Test \"t\"\n") + c.tree);
        EXPECT_EQ(tree_of(std::string("NS s\n") + c.record + "\n"), "Service \"s\"\n");
    }
}

TEST(ReaderElementsTest, AnImplicitElementBecomesTheOpenElement) {
    EXPECT_EQ(tree_of("NS s\nNT t\nBD a 1 2\nBD b 3 4\nRQ r\nEN env\nMN m\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"sql table\"\n"
              "   Variable \"a\" in=\"1\" va=\"2\" row\n"
              "   Variable \"b\" in=\"3\" va=\"4\" row\n"
              "    Note R \"r\"\n"
              "   Environment \"env\"\n"
              "   Stub \"m\"\n");
}

TEST(ReaderElementsTest, BdWordsAreSplitOnAnyWhiteSpace) {
    EXPECT_EQ(tree_of("NS s\nNT t\nBD a b\nBD\nBD  x\nBD a\tb\vc d\nBD\tx\ty\tz\nBDp q\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"sql table\"\n"
              "   Variable \"a\" in=\"b\" va=\"\" row\n"
              "   Variable \"\" in=\"\" va=\"\" row\n"
              "   Variable \"x\" in=\"\" va=\"\" row\n"
              "   Variable \"a\" in=\"b\" va=\"c\" row\n"
              "   Variable \"\" in=\"\" va=\"\" row\n"
              "   Variable \"p\" in=\"q\" va=\"\" row\n");
}

TEST(ReaderElementsTest, CoveragePrefixOfNv) {
    EXPECT_EQ(tree_of("NS s\nNT t\nNV KVNCOV_main.c\nNV kvncov_x\nNV KVNCOV_\nNV\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"Exception\"\n"
              "   Variable \"Coverage main.c\" coverage\n"
              "   Variable \"kvncov_x\"\n"
              "   Variable \"Coverage \" coverage\n"
              "   Variable -\n");
}

// --- Note lists ------------------------------------------------------------

TEST(ReaderNotesTest, CoverageNotesFollowTheirTail) {
    EXPECT_EQ(tree_of("KL r1\nNS s\nKL s1\nNT t\nKL t1\nNB e\nKL t2\nNT u\nKL u1\nBG\nKL r2\n"),
              "Coverage K \"r1\"\n"
              "Coverage K \"r2\"\n"
              "Service \"s\"\n"
              " Coverage K \"s1\"\n"
              " Test \"t\"\n"
              "  Coverage K \"t1\"\n"
              "  Coverage K \"t2\"\n"
              "  Element \"e\"\n"
              " Test \"u\"\n"
              "  Coverage K \"u1\"\n");
}

TEST(ReaderNotesTest, TfNotesAllJoinTheFirstList) {
    EXPECT_EQ(tree_of("TF lost\nNS a\nTF x\nNS b\nTF y\nBG\nTF z\n"),
              "Service \"a\"\n"
              " TF T \"x\"\n"
              " TF T \"y\"\n"
              " TF T \"z\"\n"
              "Service \"b\"\n");
}

TEST(ReaderNotesTest, LiItemsAreJoined) {
    EXPECT_EQ(tree_of("LI lost\nNS s\nLI a\nLI\nLI   \nLI b\nNS t\nLI c\nNS s\nLI  d e\n"),
              "Service \"s\" li=\"a, b, d e\"\n"
              "Service \"t\" li=\"c\"\n");
}

TEST(ReaderNotesTest, ManyLiItemsKeepTheirExactText) {
    std::string records = "NS s\n";
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string item = "item" + std::to_string(i);
        records += "LI " + item + "\n";
        expected += (i ? ", " : "") + item;
    }
    const rodtest::Reading reading = read_records(records);
    const auto* service = rod_node_as<RodServiceNode>(rod_services(reading.tree.get()));
    ASSERT_NE(service, nullptr);
    ASSERT_NE(service->extras, nullptr);
    EXPECT_EQ(rod_text_view(service->extras->li_text), expected);
    EXPECT_EQ(std::string(service->extras->li_text), expected);
}

// --- Duplicate Services ------------------------------------------------------

TEST(ReaderServicesTest, DuplicateWithAPositionWarnsAndIsMade) {
    const rodtest::Reading reading =
        read_records("FX  1 t.ptu\nFP7 1 10\nNS svc\nFP7 1 30\nNS svc\n");
    EXPECT_EQ(reading.err,
              "Qarvo-W-DUPSRVNAM: Duplicate service name svc: line 30. first declaration at "
              "line 10.\n");
    EXPECT_EQ(rodtest::dump(reading),
              "File 1 \"t.ptu\"\n"
              "Service \"svc\" @t.ptu:10\n"
              "Service \"svc\" @t.ptu:30\n");
}

void print_error_line(int /*kind*/, const char* /*file*/, int line, const char* token) {
    std::fprintf(stderr, "error at %d: %s\n", line, token);
}

// The warnings wait in a batch: an error about a later line must still come
// after them, and a warning after the error after it.
TEST(ReaderServicesTest, WarningsAndErrorsKeepTheOrderOfTheirLines) {
    qtest::TempDir dir;
    const std::string path = dir.file("t.rod");
    qtest::write_file(path,
                      std::string(rodtest::kHeader) +
                          "FX  1 t\nFP7 1 10\nNS s\nFP7 1 20\nNS s\nZZ bad\nFP7 1 30\nNS s\n");
    const ReaderErrorHook saved = reader_error;
    reader_error = print_error_line;
    const std::string err = qtest::capture_stderr([&] { rod_read(path.c_str()); });
    reader_error = saved;
    EXPECT_EQ(err,
              "Qarvo-W-DUPSRVNAM: Duplicate service name s: line 20. first declaration at "
              "line 10.\n"
              "error at 7: ZZ\n"
              "Qarvo-W-DUPSRVNAM: Duplicate service name s: line 30. first declaration at "
              "line 10.\n");
}

TEST(ReaderServicesTest, DuplicateWithoutAPositionReopensTheFirst) {
    const rodtest::Reading reading = read_records("NS svc\nNT a\nNS svc\nRT lost\nNT b\n");
    // b, left without a verdict, is the only warning.
    EXPECT_EQ(reading.err,
              "Qarvo-W-TSTNOVRDT: Test b has no verdict: line 6. the file ends inside it.\n");
    EXPECT_EQ(rodtest::dump(reading),
              "Service \"svc\"\n"
              " Test \"a\"\n"
              " Test \"b\"\n");
}

TEST(ReaderServicesTest, TheFirstOfANameIsReopenedAndWarnedAbout) {
    const rodtest::Reading reading = read_records(
        "FX  1 t\nFP7 1 10\nNS s\nFP7 1 20\nNS s\nNT x\nNS s\nNT y\n"
        "FP7 1 40\nNS s\n");
    EXPECT_EQ(reading.err,
              "Qarvo-W-DUPSRVNAM: Duplicate service name s: line 20. first declaration at "
              "line 10.\n"
              "Qarvo-W-DUPSRVNAM: Duplicate service name s: line 40. first declaration at "
              "line 10.\n");
    EXPECT_EQ(rodtest::dump(reading),
              "File 1 \"t\"\n"
              "Service \"s\" @t:10\n"
              " Test \"y\"\n"
              "Service \"s\" @t:20\n"
              " Test \"x\"\n"
              "Service \"s\" @t:40\n");
}

TEST(ReaderServicesTest, ServicePositionEndsWithNsAndDb) {
    EXPECT_EQ(tree_of("FX  1 t\nFP7 1 10\nNS s\nNS s\nFP7 1 20\nDB\nNS s\nNS u\n"),
              "File 1 \"t\"\n"
              "Service \"s\" @t:10\n"
              "Service \"u\"\n");
}

TEST(ReaderServicesTest, ReopeningLeavesTheNoteTail) {
    EXPECT_EQ(tree_of("NS a\nNS b\nRQ r1\nNS a\nRQ r2\n"),
              "Service \"a\"\n"
              "Service \"b\"\n"
              " Note R \"r1\"\n"
              " Note R \"r2\"\n");
}

TEST(ReaderServicesTest, UnnamedServicesAreNeverDuplicates) {
    const rodtest::Reading reading = read_records("NS\nNS   \nNS x\n");
    EXPECT_EQ(reading.err, "");
    EXPECT_EQ(rodtest::dump(reading), "Service -\nService -\nService \"x\"\n");
}

// --- A file that ends inside a Test ---------------------------------------------

// No record closes a Test; a file that ends before the open Test got its
// verdict (RT with a text, AS or AT) is warned about, naming the line of its NT.
TEST(ReaderUnfinishedTestTest, AFileEndingInsideATestWithoutAVerdictWarns) {
    const std::string cut =
        "Qarvo-W-TSTNOVRDT: Test t has no verdict: line 3. the file ends "
        "inside it.\n";
    const struct {
        const char* what;
        std::string records;
        std::string err;
    } cases[] = {
        {"cut after VA", "NS s\nNT t\nNB e\nNV v\nVA 1\n", cut},
        {"cut after V1", "NS s\nNT t\nNB e\nNV v\nVA 1\nV1 2", cut},
        {"cut after NT", "NS s\nNT t\n", cut},
        {"an RT without a text", "NS s\nNT t\nRT  \n", cut},
        {"blank and CRLF lines count", "\r\nNS s\r\n\nNT u\r\n",
         "Qarvo-W-TSTNOVRDT: Test u has no verdict: line 5. the file ends inside it.\n"},
        {"after a duplicate warning", "FX  1 f\nFP7 1 9\nNS s\nFP7 1 7\nNS s\nNT t\n",
         "Qarvo-W-DUPSRVNAM: Duplicate service name s: line 7. first declaration at line 9.\n"
         "Qarvo-W-TSTNOVRDT: Test t has no verdict: line 7. the file ends inside it.\n"},
        {"not cut", "NS s\nNT t\nRT OK\nNS s2\nRS OK\n", ""},
        {"the last Test has its verdict", "NS s\nNT t\nRT INCORRECT\n", ""},
        {"an abort is a verdict", "NS s\nNT t\nAT boom\n", ""},
        {"a Test in the middle without a verdict", "NS s\nNT a\nNT b\nRT OK\n", ""},
        {"BG closes the Test", "NS s\nNT t\nBG\n", ""},
        {"no Test outside a Service", "NT t\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const rodtest::Reading reading = read_records(c.records);
        EXPECT_NE(reading.tree, nullptr);
        EXPECT_EQ(reading.err, c.err);
    }
}

// --- Aborted executions -------------------------------------------------------

TEST(ReaderAbortTest, ServiceAbortedWithACause) {
    EXPECT_EQ(tree_of("NS s\nNT t\nAS division by zero\n"),
              "Service \"s\" status=\"INCORRECT\"\n"
              " Test \"t\" status=\"INCORRECT\" service_abort=\"division by zero\"\n"
              "  Note S \"division by zero: *** SERVICE EXECUTION ABORTED ***\"\n");
}

TEST(ReaderAbortTest, TestAbortedWithoutACause) {
    EXPECT_EQ(tree_of("NS s\nNT t\nAT\n"),
              "Service \"s\" status=\"INCORRECT\"\n"
              " Test \"t\" status=\"INCORRECT\" test_abort=\"\"\n"
              "  Note A \"Warning: *** TEST EXECUTION ABORTED ***\"\n");
}

TEST(ReaderAbortTest, IncorrectReplacesAVerdictAndIsNotReplaced) {
    EXPECT_EQ(tree_of("NS s\nRS CORRECT\nNT t\nAT x\nRT CORRECT\nRS CORRECT\n"
                      "NT u\nRT CORRECT\nAT  y\n"),
              "Service \"s\" status=\"INCORRECT\"\n"
              " Test \"t\" status=\"INCORRECT\" test_abort=\"x\"\n"
              "  Note A \"x: *** TEST EXECUTION ABORTED ***\"\n"
              " Test \"u\" status=\"INCORRECT\" test_abort=\" y\"\n"
              "  Note A \" y: *** TEST EXECUTION ABORTED ***\"\n");
}

TEST(ReaderAbortTest, AbortNotesDoNotWaitForTheNextTest) {
    EXPECT_EQ(tree_of("AS boom\nNS s\nNT t1\nVI v\nAT late\nNT t2\n"),
              "Note S \"boom: *** SERVICE EXECUTION ABORTED ***\"\n"
              "Service \"s\" status=\"INCORRECT\"\n"
              " Test \"t1\" status=\"INCORRECT\" vi=\"v\" test_abort=\"late\"\n"
              "  Note A \"late: *** TEST EXECUTION ABORTED ***\"\n"
              " Test \"t2\"\n");
}

TEST(ReaderAbortTest, TheMessageGoesThroughTheLocalEncodingTheCauseDoesNot) {
    if (local8bit_kind() != Local8BitKind::Utf8) {
        GTEST_SKIP() << "expects a UTF-8 (or plain C) locale";
    }
    EXPECT_EQ(tree_of("NS s\nNT t\nAS caf\xC3\xA9 \xE9\n"),
              "Service \"s\" status=\"INCORRECT\"\n"
              " Test \"t\" status=\"INCORRECT\" service_abort=\"caf\xC3\xA9 \xE9\"\n"
              "  Note S \"caf\xC3\xA9 \xEF\xBF\xBD: *** SERVICE EXECUTION ABORTED ***\"\n");
}

TEST(ReaderAbortTest, ALatin1CauseKeepsItsBytesUnderALatin1Locale) {
    if (!qtest::locale_available("fr_FR.ISO-8859-1")) {
        GTEST_SKIP() << "needs the fr_FR.ISO-8859-1 locale";
    }
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "fr_FR.ISO-8859-1");
    local8bit_init();
    const std::string tree = tree_of("NS s\nAT caf\xE9\n");
    std::setlocale(LC_ALL, saved.c_str());
    local8bit_init();
    EXPECT_EQ(tree,
              "Service \"s\" status=\"INCORRECT\"\n"
              " Note A \"caf\xE9: *** TEST EXECUTION ABORTED ***\"\n");
}

// Installs the reader's test catalogue for the life of one test.
class TranslatedAbortTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(translator_.load("rod_reader", QUILLON_FIXTURE_QM_DIR "/rod_reader"));
        ASSERT_TRUE(QCoreApplication::installTranslator(&translator_));
    }
    void TearDown() override { QCoreApplication::removeTranslator(&translator_); }

  private:
    QTranslator translator_;
};

TEST_F(TranslatedAbortTest, MessagesComeFromTheCatalogue) {
    EXPECT_EQ(tree_of("NS s\nAS x%2 y\nAT\n"),
              "Service \"s\" status=\"INCORRECT\"\n"
              " Note S \"service stopped (x%2 y)\"\n"
              " Note A \"test stopped (Avertissement)\"\n");
}

// --- File table and positions ---------------------------------------------------

TEST(ReaderPositionsTest, FileEntriesAsTheirSyntaxReadsThem) {
    EXPECT_EQ(tree_of("FX  7 src/a.c\n"
                      "FX   8 three blanks.c\n"
                      "FX 9 ignored.c\n"
                      "FX 12 first digit lost.c\n"
                      "FX  -3 negative.c\n"
                      "FX  5\n"
                      "FX  6 old.c\n"
                      "FX  6 new.c\n"
                      "FX  +4 signed.c\n"
                      "FX\t 3 tab.c\n"
                      "FX  2147483647 max.c\n"
                      "FX  2147483648 too big.c\n"
                      "FX  99999999999999999999999 far too big.c\n"
                      "FX\n"
                      "FX  \n"
                      "FX  x.c\n"),
              "File 2 \"first digit lost.c\"\n"
              "File 3 \"\t 3 tab.c\"\n"
              "File 4 \"+4 signed.c\"\n"
              "File 5 \"\"\n"
              "File 6 \"new.c\"\n"
              "File 7 \"src/a.c\"\n"
              "File 8 \"three blanks.c\"\n"
              "File 2147483647 \"max.c\"\n");
}

TEST(ReaderPositionsTest, EachKindTakesItsPosition) {
    EXPECT_EQ(tree_of("FX  1 p.ptu\nFP7 1 7\nFP6 1 6\nFP4 1 4\nFP5 1 5\nFP3 1 3\nFP2 1 2\n"
                      "NS s\nNT t\nNB e\nEN env\nMN m\nNV v\nBD b\nNB f\nNT u\nNV x\n"),
              "File 1 \"p.ptu\"\n"
              "Service \"s\" @p.ptu:7\n"
              " Test \"t\" @p.ptu:6\n"
              "  Element \"e\" @p.ptu:4\n"
              "   Environment \"env\" @p.ptu:5\n"
              "    Variable \"v\" @p.ptu:2\n"
              "    Variable \"b\" in=\"\" va=\"\" row\n"
              "   Stub \"m\" @p.ptu:3\n"
              "  Element \"f\" @p.ptu:4\n"
              " Test \"u\" @p.ptu:6\n"
              "  Element \"Exception\"\n"
              "   Variable \"x\" @p.ptu:2\n");
}

TEST(ReaderPositionsTest, InvalidPositionsBecomeNone) {
    const char* const invalid[] = {
        "FP6 5 10",          // no entry 5
        "FP6 1 -1",          // negative line
        "FP6 -1 3",          // negative file
        "FP6 1",             // one number
        "FP6",               // nothing at offset 4
        "FP6 1 2147483648",  // line beyond 32 bits
        "FP6 4294967297 3",  // file number that would wrap to 1
        "FP6 1 0",           // line 0: no position
    };
    for (const char* record : invalid) {
        SCOPED_TRACE(record);
        EXPECT_EQ(tree_of(std::string("FX  1 a\nFP6 1 9\n") + record + "\nNS s\nNT t\n"),
                  "File 1 \"a\"\nService \"s\"\n Test \"t\"\n");
    }
}

TEST(ReaderPositionsTest, OtherFpRecordsAreIgnoredAndPositionsLast) {
    EXPECT_EQ(tree_of("FX  1 a\nFP6 1 5\nFP9 1 6\nFP 1 7\nFP0 1 8\nFP6 1\t 12x\n"
                      "NS s\nNT t1\nNT t2\n"),
              "File 1 \"a\"\n"
              "Service \"s\"\n"
              " Test \"t1\" @a:12\n"
              " Test \"t2\" @a:12\n");
}

TEST(ReaderPositionsTest, NodesShareTheFileTableText) {
    const rodtest::Reading reading =
        read_records("FX  1 old\nFP6 1 5\nNS s\nNT t1\nNT t2\nFX  1 new\nNT t3\n");
    EXPECT_EQ(rodtest::dump(reading),
              "File 1 \"new\"\n"
              "Service \"s\"\n"
              " Test \"t1\" @old:5\n"
              " Test \"t2\" @old:5\n"
              " Test \"t3\" @new:5\n");
    const RodNode* t1 = rod_service_tests(rod_services(reading.tree.get()));
    const RodNode* t3 = rod_next(rod_next(t1));
    EXPECT_EQ(rod_node_as<RodTestNode>(t1)->file, rod_node_as<RodTestNode>(rod_next(t1))->file);
    EXPECT_EQ(rod_node_as<RodTestNode>(t3)->file, rodtest::run_of(reading)->file_table.at(1));
}

TEST(ReaderPositionsTest, FileNumbersDoNotSizeTheTable) {
    const rodtest::Reading reading = read_records(
        "FX  0 suite.ptu\nFX  150 x.c\nFX  2000000000 far.c\n"
        "FP4 2000000000 3\nNS s\nNT t\nNB e\n");
    EXPECT_EQ(rodtest::dump(reading),
              "File 0 \"suite.ptu\"\n"
              "File 150 \"x.c\"\n"
              "File 2000000000 \"far.c\"\n"
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\" @far.c:3\n");
    EXPECT_STREQ(rod_testsuite_path(reading.tree.get()), "suite.ptu");
    EXPECT_LT(rodtest::run_of(reading)->arena.reserved_bytes(), 1024u * 1024u);
}

// --- Variable extras ---------------------------------------------------------

const RodVariableNode* variable_named(const RodNode* element, std::string_view name) {
    for (const RodNode* n = rod_variables(element); n; n = rod_next(n)) {
        if (rod_text_view(rod_name(n)) == name) {
            return rod_node_as<RodVariableNode>(n);
        }
    }
    return nullptr;
}

TEST(ReaderVariableExtrasTest, OnlyV2OrNotesGiveAVariableExtras) {
    const rodtest::Reading reading = read_records(
        "NS s\nNT t\nNB e\n"
        "NV plain\nIN 1\nVA 2\nRV CORRECT\nV1\nV2\n"
        "NV v1\nV1 a\nNV v2\nV2 b\nNV noted\nCO c\n");
    const RodNode* element = rod_test_elements(rod_service_tests(rod_services(reading.tree.get())));
    ASSERT_NE(variable_named(element, "plain"), nullptr);
    const std::pair<const char*, bool> expected[] = {
        {"plain", false}, {"v1", false}, {"v2", true}, {"noted", true}};
    for (const auto& [name, made] : expected) {
        ASSERT_NE(variable_named(element, name), nullptr) << name;
        EXPECT_EQ(rod_variable_extras_if_made(*variable_named(element, name)) != nullptr, made)
            << name;
    }
    EXPECT_EQ(rodtest::dump(reading),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\"\n"
              "   Variable \"plain\" in=\"1\" va=\"2\" status=\"CORRECT\"\n"
              "   Variable \"v1\" v1=\"a\"\n"
              "   Variable \"v2\" v2=\"b\"\n"
              "   Variable \"noted\"\n"
              "    Note C \"c\"\n");
}

TEST(ReaderVariableExtrasTest, NotesAndValuesShareTheExtrasInAnyOrder) {
    EXPECT_EQ(tree_of("NS s\nNT t\nNB e\n"
                      "NV a\nRQ r1\nV1 x\nCO c1\nV2 y\nIN i\nRQ r2\n"
                      // V1 kept in the Variable moves into extras made later.
                      "NV c\nV1 1234567\nCO c3\nNV d\nV1 12345678\nV2 z\n"
                      "NV b\nV2 y\nV1 x\nV1\nRQ r3\n"
                      // MN closes b but leaves the note tail in its extras.
                      "MN m\nCO c2\n"),
              "Service \"s\"\n"
              " Test \"t\"\n"
              "  Element \"e\"\n"
              "   Variable \"a\" in=\"i\" v1=\"x\" v2=\"y\"\n"
              "    Note R \"r1\"\n"
              "    Note C \"c1\"\n"
              "    Note R \"r2\"\n"
              "   Variable \"c\" v1=\"1234567\"\n"
              "    Note C \"c3\"\n"
              "   Variable \"d\" v1=\"12345678\" v2=\"z\"\n"
              "   Variable \"b\" v2=\"y\"\n"
              "    Note R \"r3\"\n"
              "    Note C \"c2\"\n"
              "   Stub \"m\"\n");
}

// --- Lists that already hold entries ------------------------------------------

TEST(ReaderAppendTest, NothingIsLostWhereAListAlreadyHoldsEntries) {
    const struct {
        const char* what;
        const char* records;
        const char* tree;
    } cases[] = {
        {"MN after BD in one Element", "NS s\nNT t\nNB e\nMN m1\nBD r\nMN m2\n",
         "Service \"s\"\n Test \"t\"\n  Element \"e\"\n"
         "   Variable \"r\" in=\"\" va=\"\" row\n   Stub \"m1\"\n   Stub \"m2\"\n"},
        {"BD after VI", "NS s\nNT t\nNB e\nBD a\nVI\nBD b\n",
         "Service \"s\"\n Test \"t\"\n  Element \"e\"\n   Variable \"a\" in=\"\" va=\"\" row\n"
         "  Element \"sql table\"\n   Variable \"b\" in=\"\" va=\"\" row\n"},
        {"NB after VI", "NS s\nNT t\nNB e1\nVI\nNB e2\n",
         "Service \"s\"\n Test \"t\"\n  Element \"e1\"\n  Element \"e2\"\n"},
        {"MP after VI", "NS s\nNT t\nMN m\nMC c\nMP p1\nVI\nMP p2\n",
         "Service \"s\"\n Test \"t\"\n  Element \"Stub\"\n   Stub \"m\"\n    Call \"c\"\n"
         "     Variable \"p1\"\n     Variable \"p2\"\n"},
        {"NS after BG", "NS a\nBG\nNS b\n", "Service \"a\"\nService \"b\"\n"},
        {"NS after a reopening", "NS a\nNS b\nNS a\nNS c\n",
         "Service \"a\"\nService \"b\"\nService \"c\"\n"},
        {"KL in a reopened Service", "NS s\nKL a\nNT t\nNS s\nKL b\n",
         "Service \"s\"\n Coverage K \"a\"\n Coverage K \"b\"\n Test \"t\"\n"},
        {"a note after MC in an Element", "NS s\nNT t\nNB e\nRQ r1\nMC\nRQ r2\n",
         "Service \"s\"\n Test \"t\"\n  Element \"e\"\n   Note R \"r1\"\n   Note R \"r2\"\n"},
        {"a note after MC in a Test", "NS s\nNT t\nRQ r1\nMC\nRQ r2\n",
         "Service \"s\"\n Test \"t\"\n  Note R \"r1\"\n  Note R \"r2\"\n"},
        {"a note after MC in the Run", "RQ r1\nMC\nRQ r2\n", "Note R \"r1\"\nNote R \"r2\"\n"},
        // An Element never reopens, but its lists still grow after it closed.
        {"a note after MO in a closed Element", "NS s\nNT t\nNB e\nRQ r1\nMO x\nRQ r2\n",
         "Run report=\"x\"\nService \"s\"\n Test \"t\"\n  Element \"e\"\n"
         "   Note R \"r1\"\n   Note R \"r2\"\n"},
        {"EN in a closed Element after a later one", "NS s\nNT t\nNB e\nEN a\nVI\nMN m\nEN b\n",
         "Service \"s\"\n Test \"t\"\n  Element \"e\"\n   Environment \"a\"\n"
         "   Environment \"b\"\n  Element \"Stub\"\n   Stub \"m\"\n"},
        {"MN in a closed Element", "NS s\nNT t\nNB e\nMN m1\nVI\nMN m2\n",
         "Service \"s\"\n Test \"t\"\n  Element \"e\"\n   Stub \"m1\"\n   Stub \"m2\"\n"},
        {"pending notes not yet handed over", "NS s\nNT t\nVI\nRQ r1\nVI\nCO r2\nNT u\n",
         "Service \"s\"\n Test \"t\"\n Test \"u\"\n  Note R \"r1\"\n  Note C \"r2\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tree_of(c.records), c.tree);
    }
}

}  // namespace
