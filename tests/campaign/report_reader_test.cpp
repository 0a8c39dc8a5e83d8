// Reading one report: what the campaign keeps of it, and the documents it
// must refuse with one line saying why.

#include "campaign/report_reader.h"
#include "tests/campaign/campaign_test_support.h"

#include <QBuffer>
#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

bool read_text(const std::string& xml, ReportResult* report, QString* error) {
    QByteArray bytes = QByteArray::fromStdString(xml);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return read_report(buffer, report, error);
}

TEST(ReportReader, KeepsVerdictsNamesAndEveryRequirementWithItsPlace) {
    ReportResult report;
    QString error;
    ASSERT_TRUE(read_report_file(ctest::kData + "alpha.req.xml", &report, &error))
        << error.toStdString();
    EXPECT_EQ(report.name, "Board");
    EXPECT_FALSE(report.run_ok);
    ASSERT_EQ(report.services.size(), 1u);
    EXPECT_EQ(report.service_name(0), "nav");
    EXPECT_FALSE(report.services[0].ok);
    ASSERT_EQ(report.tests.size(), 3u);
    EXPECT_EQ(report.test_name(1), "t2");
    EXPECT_FALSE(report.tests[1].ok);
    EXPECT_TRUE(report.tests[2].ok);

    // Run level, test level, element level; a comment that looks like one is no requirement.
    ASSERT_EQ(report.requirements.size(), 3u);
    const RequirementOccurrence& run = report.requirements[0];
    EXPECT_EQ(
        std::make_tuple(report.text(run.id), report.text(run.value), run.ok, run.service, run.test),
        std::make_tuple("R3", "level=A", true, -1, -1));
    const RequirementOccurrence& test = report.requirements[1];
    EXPECT_EQ(
        std::make_tuple(report.text(test.id), report.text(test.value), test.service, test.test),
        std::make_tuple("R1", "a, \"b\"", 0, 0));
    const RequirementOccurrence& element = report.requirements[2];
    EXPECT_EQ(std::make_tuple(report.text(element.id), element.ok, element.test,
                              report.text(element.element)),
              std::make_tuple("R2", false, 1, "e1"));
}

// A value or test name equal to the one before is kept once, and each entry
// still reads its own.
TEST(ReportReader, RepeatedTextsAreKeptOnce) {
    ReportResult report;
    QString error;
    ASSERT_TRUE(
        read_text("<RUN STATUS=\"OK\">"
                  "<SERVICE NAME=\"s\" STATUS=\"OK\"><TEST NAME=\"test\" STATUS=\"OK\">"
                  "<REQUIREMENTS><REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"level=A\"/>"
                  "<REQUIREMENT NAME=\"R2\" STATUS=\"OK\" VALUE=\"level=A\"/>"
                  "<REQUIREMENT NAME=\"R3\" STATUS=\"OK\" VALUE=\"level=B\"/>"
                  "<REQUIREMENT NAME=\"R4\" STATUS=\"OK\"/></REQUIREMENTS></TEST>"
                  "<TEST NAME=\"test\" STATUS=\"OK\"/><TEST NAME=\"other\" STATUS=\"OK\"/>"
                  "</SERVICE></RUN>",
                  &report, &error))
        << error.toStdString();
    std::vector<std::string> texts;
    for (const RequirementOccurrence& r : report.requirements) {
        texts.emplace_back(report.text(r.value));
    }
    for (int t = 0; t < 3; ++t) {
        texts.emplace_back(report.test_name(t));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"level=A", "level=A", "level=B", "", "test", "test",
                                               "other"}));
    EXPECT_EQ(report.texts, "stestR1level=AR2R3level=BR4other");
}

// What a reviewer files: the bytes read are the bytes hashed.
TEST(ReportReader, ProvenanceIsTheFileItselfAndTheRunsOwnFields) {
    ReportResult report;
    QString error;
    const std::string path = ctest::kData + "alpha.req.xml";
    ASSERT_TRUE(read_report_file(path, &report, &error));
    const QByteArray bytes = QByteArray::fromStdString(qtest::read_file(path));
    EXPECT_EQ(report.provenance.size, bytes.size());
    EXPECT_EQ(report.provenance.sha256,
              QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString());
    EXPECT_EQ(report.provenance.run_date, "2026/12/01");
}

// For each KO test the reader keeps why: its KO elements and the comments of
// the levels that failed; long comments are cut on a character boundary.
TEST(ReportReader, AKoTestKeepsItsKoElementsAndTheCommentsOfTheFailingLevels) {
    ReportResult report;
    QString error;
    ASSERT_TRUE(read_report_file(
        std::string(QUILLON_SOURCE_DIR) + "/tests/e2e/expected/campaign.element.req.xml", &report,
        &error));
    std::vector<std::tuple<std::string, std::vector<std::string>, std::vector<std::string>>> causes;
    for (const TestResult& test : report.tests) {
        if (test.cause >= 0) {
            const TestCause& cause = report.causes[test.cause];
            causes.emplace_back(report.text(test.name), cause.ko_elements, cause.comments);
        }
    }
    using Texts = std::vector<std::string>;
    EXPECT_EQ(
        causes,
        (std::vector<std::tuple<std::string, Texts, Texts>>{
            {"saturated_climb", {"check_limit"}, {"Command must saturate at the rate limit."}},
            {"divide_gains", {}, {"Division by zero in gain normalisation."}},
        }));

    const std::string long_comment = std::string(kCauseCommentBytes - 1, 'a') + "\xC3\xA9 and more";
    ReportResult cut;
    ASSERT_TRUE(read_text("<RUN><SERVICE NAME=\"s\"><TEST NAME=\"t\" STATUS=\"KO\"><COMMENT>" +
                              long_comment + "</COMMENT></TEST></SERVICE></RUN>",
                          &cut, &error));
    EXPECT_EQ(cut.causes.at(0).comments, Texts{std::string(kCauseCommentBytes - 1, 'a')});
}

TEST(ReportReader, NameFallsBackToTheFileStem) {
    ReportResult report;
    QString error;
    ASSERT_TRUE(read_report_file(ctest::kData + "power.req.xml", &report, &error));
    EXPECT_EQ(report.name, "power");
    EXPECT_EQ(report_stem("dir/x.y.req.xml"), "x.y");
    EXPECT_EQ(report_stem("out.xml"), "out");
}

TEST(ReportReader, AnythingButAnExplicitOkIsKo) {
    ReportResult report;
    QString error;
    ASSERT_TRUE(
        read_text("<RUN STATUS=\"ok\"><SERVICE NAME=\"s\"><TEST NAME=\"t\"/>"
                  "<TEST NAME=\"u\" STATUS=\"OK\"/></SERVICE></RUN>",
                  &report, &error));
    EXPECT_FALSE(report.run_ok);
    EXPECT_FALSE(report.services[0].ok);
    EXPECT_FALSE(report.tests[0].ok);
    EXPECT_TRUE(report.tests[1].ok);
}

TEST(ReportReader, RefusesWhatIsNotAWellFormedReport) {
    const struct {
        const char* xml;
        const char* error;
    } cases[] = {
        {"<RUN STATUS=\"OK\"><SERVICE NAME=\"s\">", "no element found (line 1, column 36)"},
        {"<html><body/></html>", "the document element is <html>, not <RUN>"},
        {"", "no element found (line 1, column 1)"},
        {"<RUN STATUS=\"OK\"></RUN><RUN/>", "junk after document element (line 1, column 24)"},
        {"<RUN STATUS=\"OK\"><SERVICE NAME=\"a&b\"/></RUN>", nullptr},
        // expat still reports the end of a refused empty document element.
        {"<testsuites/>", "the document element is <testsuites>, not <RUN>"},
        {"<x a=\"1\" b=\"2\"/>", "the document element is <x>, not <RUN>"},
        // Default attributes would make a test without a verdict count OK.
        {"<!DOCTYPE RUN [<!ATTLIST TEST STATUS CDATA \"OK\">]>"
         "<RUN STATUS=\"OK\"><SERVICE NAME=\"s\"><TEST NAME=\"t\"/></SERVICE></RUN>",
         "the report has a document type declaration, which quillon never writes"},
    };
    for (const auto& c : cases) {
        ReportResult report;
        QString error;
        EXPECT_FALSE(read_text(c.xml, &report, &error)) << c.xml;
        if (c.error) {
            EXPECT_EQ(error.toStdString(), c.error) << c.xml;
        } else {
            EXPECT_FALSE(error.isEmpty()) << c.xml;
        }
    }
}

// The header section quillon writes after REPORT_INFO holds entries of any
// tag (a "service:phantom=x" line gives <SERVICE NAME="phantom" VALUE="x">):
// none of them is a service, a requirement or the report's name.
TEST(ReportReader, TheHeaderSectionIsNotTheBody) {
    ReportResult report;
    QString error;
    ASSERT_TRUE(
        read_text("<RUN STATUS=\"OK\">\n\t<REPORT_INFO REPORT_NAME=\"Real\">\n\t</REPORT_INFO>\n"
                  "\t<ENV_INFO HOST=\"h\">\n\t</ENV_INFO>\n"
                  "<SERVICE NAME=\"phantom\" VALUE=\"x\" ></SERVICE>"
                  "<REPORT_INFO NAME=\"x\" REPORT_NAME=\"Other\" ></REPORT_INFO>"
                  "<SERVICE NAME=\"ko\" STATUS=\"KO\" ></SERVICE>"
                  "<REQUIREMENTS NAME=\"r\" STATUS=\"KO\" ></REQUIREMENTS>"
                  "\t<SERVICE NAME=\"s\" STATUS=\"OK\">\n\t\t<TEST NAME=\"t\" STATUS=\"OK\"/>\n"
                  "\t</SERVICE>\n</RUN>",
                  &report, &error))
        << error.toStdString();
    EXPECT_EQ(report.name, "Real");
    ASSERT_EQ(report.services.size(), 1u);
    EXPECT_EQ(report.service_name(0), "s");
    ASSERT_EQ(report.tests.size(), 1u);
    EXPECT_EQ(report.tests[0].service, 0);
    EXPECT_TRUE(report.requirements.empty());
}

TEST(ReportReader, AnUnreadableFileIsOneLineNamingIt) {
    ReportResult report;
    QString error;
    EXPECT_FALSE(read_report_file("/nonexistent/x.req.xml", &report, &error));
    EXPECT_EQ(error.toStdString(),
              "/nonexistent/x.req.xml: cannot read: No such file or directory");
}

}  // namespace
