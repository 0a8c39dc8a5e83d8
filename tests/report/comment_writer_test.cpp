#include "report/section_writers.h"
#include "report_test_trees.h"
#include "tests/support/test_support.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

using rtest::TreeBuilder;

TEST(CommentWriter, OnlyCommentNotesWithText) {
    TreeBuilder tree;
    RodList& notes = tree.run().notes;
    tree.note(notes, 'C', "one");
    tree.note(notes, 'C', "");
    tree.note(notes, 'C', std::nullopt);
    tree.note(notes, 'R', "R1");
    tree.note(notes, 'c', "lower");
    tree.note(notes, 'C', "two");
    XmlStream out;
    xrd_comment_write(out, rod_list_first(notes), "\t\t");
    EXPECT_EQ(out.text(),
              "\t\t<COMMENT>one</COMMENT>\n"
              "\t\t<COMMENT>two</COMMENT>\n");
}

TEST(CommentWriter, ContentIsEscapedAndReadsBack) {
    using namespace std::string_view_literals;
    TreeBuilder tree;
    tree.note(tree.run().notes, 'C', "if (a < b && c > \"d\")\t</COMMENT>\r\x0B\0x"sv);
    XmlStream out;
    xrd_comment_write(out, rod_list_first(tree.run().notes), "");
    EXPECT_EQ(out.text(),
              "<COMMENT>if (a &lt; b &amp;&amp; c &gt; \"d\")\t&lt;/COMMENT&gt;&#13;"
              "\xEF\xBF\xBD\xEF\xBF\xBDx</COMMENT>\n");

    QXmlStreamReader reader(QByteArray::fromStdString(out.text()));
    reader.readNextStartElement();
    EXPECT_EQ(reader.readElementText(),
              QString::fromUtf8("if (a < b && c > \"d\")\t</COMMENT>\r\uFFFD\uFFFDx"));
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
}

}  // namespace
