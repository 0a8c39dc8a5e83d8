// Reports stay well-formed XML whatever bytes the inputs hold, and a parser
// reads back the texts themselves.

#include "tests/support/test_support.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

// The value of attribute `name` of the first element `element` of document.
std::string attribute_of(const std::string& document, const char* element, const char* name) {
    QXmlStreamReader reader(QByteArray(document.data(), static_cast<qsizetype>(document.size())));
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String(element)) {
            return reader.attributes().value(QLatin1String(name)).toString().toStdString();
        }
    }
    return "<missing>";
}

// The report rendered by the installed stylesheet (HTML page or JUnit XML),
// or "" where xsltproc is missing.
std::string render(const std::string& report_path, const char* stylesheet) {
    if (!qtest::file_exists("/usr/bin/xsltproc")) {
        return "";
    }
    const qtest::ProcessResult result = qtest::run_process(
        "/usr/bin/xsltproc",
        {std::string(QUILLON_STAGE_DIR) + "/lib/reports/" + stylesheet, report_path},
        {{"PATH", "/usr/bin:/bin"}}, "/");
    EXPECT_EQ(result.exit_status, 0) << result.err;
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(result.out, &error)) << stylesheet << ": " << error;
    return result.out;
}

class HostileInputTest : public testing::Test {
  protected:
    qtest::TempDir dir;
    qtest::Environment env = qtest::default_tool_environment();
    std::string page;  // the rendered HTML of the last report

    std::string convert(const std::string& rod, const std::vector<std::string>& options = {}) {
        qtest::write_file(dir.file("h.rod"), rod);
        std::vector<std::string> arguments = options;
        arguments.push_back("h.rod");
        const qtest::ProcessResult result = qtest::run_quillon(arguments, env, dir.path());
        EXPECT_EQ(result.exit_status, 0);
        const std::string report = qtest::read_file(dir.file("h.req.xml"));
        std::string error;
        EXPECT_TRUE(qtest::parses_as_xml(report, &error)) << error << "\n" << report;
        page = render(dir.file("h.req.xml"), "testreq_report.xsl");
        render(dir.file("h.req.xml"), "testreq_junit.xsl");
        return report;
    }
};

TEST_F(HostileInputTest, MarkupInTextsIsEscapedNotInjected) {
    const std::string report = convert(
        "KOVIN Merovia ROD: 1.1.0\n"
        "NS s\"/><EVIL a=\"\n"
        "NT t & <blink>\n"
        "CO </COMMENT><EVIL/>\n"
        "RQ R\"1 k=\"v\"&<w>\n"
        "RT CORRECT\n");
    EXPECT_EQ(report.find("<EVIL"), std::string::npos);
    EXPECT_EQ(attribute_of(report, "SERVICE", "NAME"), "s\"/><EVIL a=\"");
    EXPECT_EQ(attribute_of(report, "TEST", "NAME"), "t & <blink>");
    EXPECT_EQ(attribute_of(report, "REQUIREMENT", "NAME"), "R\"1");
    EXPECT_EQ(attribute_of(report, "ATTRIBUTE", "VALUE"), "\"v\"&<w>");
    // The page shows the texts; none of their markup becomes an element.
    if (!page.empty()) {
        EXPECT_NE(page.find("t &amp; &lt;blink&gt;"), std::string::npos);
        EXPECT_EQ(page.find("<EVIL"), std::string::npos);
        EXPECT_EQ(page.find("<blink"), std::string::npos);
    }
}

TEST_F(HostileInputTest, ControlCharactersAndBadBytesBecomeReplacementCharacters) {
    const std::string report = convert(
        "KOVIN Merovia ROD: 1.1.0\n"
        "NS a\x01z\n"
        "NT caf\xE9\n"
        "RT CORRECT\n");
    EXPECT_EQ(attribute_of(report, "SERVICE", "NAME"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(attribute_of(report, "TEST", "NAME"), "caf\xEF\xBF\xBD");
}

TEST_F(HostileInputTest, Latin1LocaleDecodesTextsIntoUtf8) {
    if (!qtest::locale_available("fr_FR.ISO-8859-1")) {
        GTEST_SKIP() << "locale fr_FR.ISO-8859-1 is not generated on this machine";
    }
    env["LC_ALL"] = "fr_FR.ISO-8859-1";
    const std::string report = convert(
        "KOVIN Merovia ROD: 1.1.0\n"
        "NS d\xE9j\xE0\n"
        "NT t\n"
        "RQ exig\xE9 a=\xE9t\xE9\n");
    EXPECT_EQ(attribute_of(report, "SERVICE", "NAME"), "d\xC3\xA9j\xC3\xA0");
    EXPECT_EQ(attribute_of(report, "REQUIREMENT", "NAME"), "exig\xC3\xA9");
    EXPECT_EQ(attribute_of(report, "ATTRIBUTE", "VALUE"), "\xC3\xA9t\xC3\xA9");
}

TEST_F(HostileInputTest, LongLinesAreOneRecord) {
    // The tail of a long requirement must not be read as a record of its own.
    const std::string tail(60000, 'x');
    const std::string report = convert(
        "KOVIN Merovia ROD: 1.1.0\n"
        "NS s\n"
        "NT t\n"
        "RQ R1 v=" +
        tail + "NS_bogus\n");
    EXPECT_TRUE(attribute_of(report, "ATTRIBUTE", "VALUE") == tail + "NS_bogus");
    EXPECT_EQ(report.find("<SERVICE NAME=\"bogus"), std::string::npos);
}

TEST_F(HostileInputTest, HeaderFileTextsAndNamesAreMadeSafe) {
    qtest::write_file(dir.file("header.txt"),
                      "1st key=<v>\n"
                      "a&b:c\"d=e:f\"g\n"
                      "Compiler:gcc=name:4.1\n");
    const std::string report = convert("KOVIN Merovia ROD: 1.1.0\n", {"-hheader.txt"});
    EXPECT_EQ(attribute_of(report, "ENV_INFO", "_1ST_KEY"), "<v>");
    EXPECT_EQ(attribute_of(report, "COMPILER", "VALUE"), "name:4.1");
}

}  // namespace
