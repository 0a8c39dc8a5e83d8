// Report pages rendered in process with the staged report stylesheet: the
// page xsltproc would write, anchors included, landing whole or not at all,
// and a stylesheet that may do nothing but read the report.

#include "campaign/report_pages.h"

#include "tests/support/test_support.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const std::string kStylesheet = std::string(QUILLON_STAGE_DIR) + "/lib/reports/testreq_report.xsl";

std::string data(const std::string& name) {
    return std::string(QUILLON_SOURCE_DIR) + "/tests/campaign/data/" + name;
}

std::set<std::string> ids(const std::string& page) {
    QXmlStreamReader reader(QByteArray::fromStdString(page));
    std::set<std::string> found;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        const auto id = reader.attributes().value(QStringLiteral("id"));
        if (reader.isStartElement() && !id.isEmpty()) {
            found.insert(id.toString().toStdString());
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return found;
}

TEST(ReportPages, RendersThePageXsltprocWouldWithItsAnchors) {
    qtest::TempDir dir;
    const std::string page = dir.file("alpha.html");
    QString error;
    ASSERT_TRUE(render_report_page(data("alpha.req.xml"), kStylesheet, page, &error))
        << error.toStdString();
    const std::string html = qtest::read_file(page);
    const std::set<std::string> anchors = ids(html);
    EXPECT_EQ(anchors.count("test-nav/t2"), 1u);
    EXPECT_EQ(anchors.count("svc-nav"), 1u);
    if (qtest::file_exists("/usr/bin/xsltproc")) {
        const qtest::ProcessResult xsltproc =
            qtest::run_process("/usr/bin/xsltproc", {"--nonet", kStylesheet, data("alpha.req.xml")},
                               {{"PATH", "/usr/bin:/bin"}}, "/");
        ASSERT_EQ(xsltproc.exit_status, 0) << xsltproc.err;
        EXPECT_EQ(html, xsltproc.out);
    }
}

// Each failure names its file, writes nothing and leaves an earlier page
// as it was.
TEST(ReportPages, AFailureLeavesTheEarlierPage) {
    qtest::TempDir dir;
    const std::string page = dir.file("page.html");
    const std::string writer = dir.file("writer.xsl");
    qtest::write_file(writer,
                      "<xsl:stylesheet version=\"1.1\" "
                      "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                      "<xsl:template match=\"/\"><xsl:document href=\"" +
                          dir.file("planted") +
                          "\"><x/></xsl:document><p>x</p></xsl:template></xsl:stylesheet>");
    struct Case {
        std::string report, stylesheet, named;
    };
    const Case cases[] = {
        {data("missing.req.xml"), kStylesheet, "missing.req.xml"},
        {data("broken.req.xml"), kStylesheet, "broken.req.xml: "},
        {data("alpha.req.xml"), data("missing.xsl"), "missing.xsl: "},
        {data("alpha.req.xml"), data("alpha.req.xml"), "alpha.req.xml: "},
        {data("alpha.req.xml"), writer, page + ": cannot write: "},
    };
    for (const Case& c : cases) {
        qtest::write_file(page, "earlier");
        QString error;
        EXPECT_FALSE(render_report_page(c.report, c.stylesheet, page, &error)) << c.named;
        EXPECT_NE(error.toStdString().find(c.named), std::string::npos) << error.toStdString();
        EXPECT_EQ(qtest::read_file(page), "earlier") << c.named;
        EXPECT_FALSE(qtest::file_exists(dir.file("planted"))) << c.named;
        EXPECT_FALSE(qtest::file_exists(page + ".tmp")) << c.named;
    }
    QString error;
    EXPECT_FALSE(
        render_report_page(data("alpha.req.xml"), kStylesheet, dir.file("no/page.html"), &error));
    EXPECT_NE(error.toStdString().find("no/page.html: cannot write: "), std::string::npos)
        << error.toStdString();
}

}  // namespace
