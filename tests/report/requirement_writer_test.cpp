#include "project/expand_variables.h"
#include "report/console_echo.h"
#include "report/section_writers.h"
#include "report_test_trees.h"
#include "tests/support/test_support.h"

#include <QXmlStreamReader>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using qtest::ScopedEnv;
using rtest::TreeBuilder;

// The REQUIREMENTS block of one list of 'R' Notes, with no indentation.
std::string requirements(const std::vector<std::string_view>& texts, bool ok = true,
                         std::string_view indent = "", ConsoleEcho* echo = nullptr) {
    TreeBuilder tree;
    for (std::string_view text : texts) {
        tree.note(tree.run().notes, 'R', text);
    }
    XmlStream out;
    EnvironmentCache environment;
    xrd_flush_comment(out, rod_list_first(tree.run().notes), ok, indent, environment, echo);
    return out.text();
}

// The same with the echo on: the block, and the lines echoed.
struct Echoed {
    std::string document;
    std::string echo;
};
Echoed requirements_echoed(const std::vector<std::string_view>& texts, bool ok = true) {
    const qtest::TempDir dir;
    const std::string path = dir.file("echo");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Echoed result;
    {
        ConsoleEcho echo(fd);
        result.document = requirements(texts, ok, "", &echo);
    }
    ::close(fd);
    result.echo = qtest::read_file(path);
    return result;
}

// Every line of the block carries the list's indent, a writer's few TABs
// or one far longer than any writer uses.
TEST(RequirementIndent, EveryLineCarriesTheIndent) {
    const std::vector<std::string_view> texts = {"R1; a=1; 2", "R2 b:3"};
    const std::string flat = requirements(texts);
    for (const std::string& indent : {std::string("\t\t\t"), std::string(60, '\t')}) {
        std::string expected;
        for (std::size_t start = 0; start < flat.size();) {
            const std::size_t end = flat.find('\n', start) + 1;
            expected += indent + flat.substr(start, end - start);
            start = end;
        }
        EXPECT_EQ(requirements(texts, true, indent), expected) << indent.size();
    }
}

TEST(RequirementCutting, NameAloneGivesEmptyValueAndNoAttribute) {
    EXPECT_EQ(requirements({"R1"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"\">\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, BlankSeparatesWhenNoSemicolonOrComma) {
    EXPECT_EQ(requirements({"  R1 a=1  b=2"}, false),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"KO\" VALUE=\"a=1  b=2\">\n"
              "\t\t<ATTRIBUTE NAME=\"a\" VALUE=\"1\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t\t<ATTRIBUTE NAME=\"b\" VALUE=\"2\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, UnnamedAttributeIsNamedByItsPosition) {
    EXPECT_EQ(requirements({"R1; a:1; 2;3"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"a:1; 2;3\">\n"
              "\t\t<ATTRIBUTE NAME=\"a\" VALUE=\"1\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t\t<ATTRIBUTE NAME=\"att_2\" VALUE=\"2\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t\t<ATTRIBUTE NAME=\"att_3\" VALUE=\"3\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, SemicolonWinsOverComma) {
    EXPECT_EQ(requirements({"R1, x; a=1, 2"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1, x\" STATUS=\"OK\" VALUE=\"a=1, 2\">\n"
              "\t\t<ATTRIBUTE NAME=\"a\" VALUE=\"1, 2\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, MarkIsSearchedPastTheSeparator) {
    EXPECT_EQ(requirements({"R1, x, y=1"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"x, y=1\">\n"
              "\t\t<ATTRIBUTE NAME=\"x, y\" VALUE=\"1\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, FirstOfColonAndEqualsNamesTheAttribute) {
    EXPECT_EQ(requirements({"R1, k=v:w, t:1=2"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"k=v:w, t:1=2\">\n"
              "\t\t<ATTRIBUTE NAME=\"k\" VALUE=\"v:w\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t\t<ATTRIBUTE NAME=\"t\" VALUE=\"1=2\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, BlanksBeforeTheMarkAndTheSeparatorStay) {
    EXPECT_EQ(requirements({"R1, a = 1 ,b=2"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"a = 1 ,b=2\">\n"
              "\t\t<ATTRIBUTE NAME=\"a \" VALUE=\"1 \">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t\t<ATTRIBUTE NAME=\"b\" VALUE=\"2\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, TabIsNoBlank) {
    EXPECT_EQ(requirements({"\tR1\ta=1"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"&#9;R1&#9;a=1\" STATUS=\"OK\" VALUE=\"\">\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, SeparatorCarriesOverInsideOneListOnly) {
    EXPECT_EQ(requirements({"R1, a=1", "R2 b=2"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"a=1\">\n"
              "\t\t<ATTRIBUTE NAME=\"a\" VALUE=\"1\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "\t<REQUIREMENT NAME=\"R2 b=2\" STATUS=\"OK\" VALUE=\"\">\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
    EXPECT_EQ(requirements({"R2 b=2"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R2\" STATUS=\"OK\" VALUE=\"b=2\">\n"
              "\t\t<ATTRIBUTE NAME=\"b\" VALUE=\"2\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, BlanksOnlyNoteGivesEmptyNameAndValue) {
    EXPECT_EQ(requirements({"   "}, true, "\t"),
              "\t<REQUIREMENTS>\n"
              "\t\t<REQUIREMENT NAME=\"\" STATUS=\"OK\" VALUE=\"\">\n"
              "\t\t</REQUIREMENT>\n"
              "\t</REQUIREMENTS>\n");
}

TEST(RequirementCutting, EmptyPiecesBetweenSeparators) {
    EXPECT_EQ(requirements({"R1;;=;"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\";=;\">\n"
              "\t\t<ATTRIBUTE NAME=\";\" VALUE=\"\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementCutting, OnlyRequirementNotesWithTextCount) {
    TreeBuilder tree;
    RodList& notes = tree.run().notes;
    tree.note(notes, 'C', "a comment");
    tree.note(notes, 'R', std::nullopt);
    tree.note(notes, 'R', "");
    tree.note(notes, 'K', "R9");
    XmlStream out;
    EnvironmentCache environment;
    xrd_flush_comment(out, rod_list_first(notes), true, "\t", environment, nullptr);
    EXPECT_EQ(out.text(), "");

    tree.note(notes, 'R', "R1");
    xrd_flush_comment(out, rod_list_first(notes), true, "\t", environment, nullptr);
    EXPECT_EQ(out.text(),
              "\t<REQUIREMENTS>\n"
              "\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"\">\n"
              "\t\t</REQUIREMENT>\n"
              "\t</REQUIREMENTS>\n");
}

TEST(RequirementExpansion, AttributeValuesAreExpandedTheRequirementValueIsNot) {
    qtest::ScopedLocale locale("C.UTF-8");
    ScopedEnv env{{"QT_REQ_HOME", "/u/x"}, {"QT_REQ_LOCAL", "\xC3\xA9"}, {"QT_REQ_UNSET", nullptr}};
    EXPECT_EQ(requirements({"R1; p=$QT_REQ_HOME/log; $QT_REQ_UNSET$QT_REQ_LOCAL"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" "
              "VALUE=\"p=$QT_REQ_HOME/log; $QT_REQ_UNSET$QT_REQ_LOCAL\">\n"
              "\t\t<ATTRIBUTE NAME=\"p\" VALUE=\"/u/x/log\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t\t<ATTRIBUTE NAME=\"att_2\" VALUE=\"$QT_REQ_UNSET\xC3\xA9\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementExpansion, ExpandedValueIsEscaped) {
    ScopedEnv env{{"QT_REQ_MARKUP", "\"/><X a=\"&"}};
    const std::string text = requirements({"R1 v=$QT_REQ_MARKUP"});
    EXPECT_NE(text.find("<ATTRIBUTE NAME=\"v\" VALUE=\"&quot;/&gt;&lt;X a=&quot;&amp;\">"),
              std::string::npos)
        << text;
}

TEST(RequirementEscaping, MarkupInNotesCannotInjectElements) {
    EXPECT_EQ(requirements({"R<1>, k=\"v&w\"/><X>"}),
              "<REQUIREMENTS>\n"
              "\t<REQUIREMENT NAME=\"R&lt;1&gt;\" STATUS=\"OK\" "
              "VALUE=\"k=&quot;v&amp;w&quot;/&gt;&lt;X&gt;\">\n"
              "\t\t<ATTRIBUTE NAME=\"k\" VALUE=\"&quot;v&amp;w&quot;/&gt;&lt;X&gt;\">\n"
              "\t\t</ATTRIBUTE>\n"
              "\t</REQUIREMENT>\n"
              "</REQUIREMENTS>\n");
}

TEST(RequirementEscaping, ParserReadsBackTheTexts) {
    using namespace std::string_view_literals;
    const std::string text = "<R>" + requirements({"R\x01<1; a\"b:x\ty\r&z\0w"sv}) + "</R>";
    std::string error;
    ASSERT_TRUE(qtest::parses_as_xml(text, &error)) << error << "\n" << text;

    QXmlStreamReader reader(QByteArray::fromStdString(text));
    QStringList names;
    QStringList values;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement) {
            names << reader.attributes().value("NAME").toString();
            values << reader.attributes().value("VALUE").toString();
        }
    }
    ASSERT_EQ(names.size(), 4);  // R, REQUIREMENTS, REQUIREMENT, ATTRIBUTE
    EXPECT_EQ(names[2], QString::fromUtf8("R\uFFFD<1"));
    EXPECT_EQ(values[2], QString::fromUtf8("a\"b:x\ty\r&z\uFFFDw"));
    EXPECT_EQ(names[3], "a\"b");
    EXPECT_EQ(values[3], QString::fromUtf8("x\ty\r&z\uFFFDw"));
}

TEST(RequirementEcho, OneLinePerRequirementWhenVerbose) {
    ScopedEnv env{{"QT_REQ_HOME", "/u/x"}};
    const std::vector<std::string_view> notes = {"R1, a=1, 2", "R<&>", "R3; x\"y:$QT_REQ_HOME&"};
    const std::string quiet = requirements(notes, false);
    const Echoed echoed = requirements_echoed(notes, false);
    EXPECT_EQ(echoed.echo,
              "R1, status:KO, a:1, 2\n"
              "R<&>, status:KO\n"
              "R3, status:KO, x\"y:/u/x&\n");
    EXPECT_EQ(echoed.document, quiet);
}

TEST(RequirementEcho, Latin1LocaleTextsBecomeUtf8InReportAndEcho) {
    qtest::ScopedLocale locale("fr_FR.ISO-8859-1");
    if (!locale.ok()) {
        GTEST_SKIP() << "no Latin-1 locale";
    }
    ScopedEnv env{{"QT_REQ_E", "\xE8"}};
    const Echoed echoed = requirements_echoed({"R\xE9; \xE0:\xE7$QT_REQ_E"});
    EXPECT_EQ(
        echoed.document,
        "<REQUIREMENTS>\n"
        "\t<REQUIREMENT NAME=\"R\xC3\xA9\" STATUS=\"OK\" VALUE=\"\xC3\xA0:\xC3\xA7$QT_REQ_E\">\n"
        "\t\t<ATTRIBUTE NAME=\"\xC3\xA0\" VALUE=\"\xC3\xA7\xC3\xA8\">\n"
        "\t\t</ATTRIBUTE>\n"
        "\t</REQUIREMENT>\n"
        "</REQUIREMENTS>\n");
    EXPECT_EQ(echoed.echo, "R\xC3\xA9, status:OK, \xC3\xA0:\xC3\xA7\xC3\xA8\n");
}

TEST(RequirementCutting, LongNoteWithManySeparatorsIsCutWhole) {
    // Many attributes and no ':' or '=': each attribute must not rescan the
    // rest of the Note for a mark.
    std::string note = "R1;";
    for (int i = 0; i < 200000; ++i) {
        note += "v;";
    }
    note += "k=end";
    const std::string text = requirements({note});
    EXPECT_NE(text.find("<ATTRIBUTE NAME=\"v;v;v;"), std::string::npos);
    EXPECT_EQ(text.find("att_"), std::string::npos);

    std::string unnamed = "R1;";
    for (int i = 0; i < 200000; ++i) {
        unnamed += "v;";
    }
    const std::string unnamed_text = requirements({unnamed});
    EXPECT_NE(unnamed_text.find("<ATTRIBUTE NAME=\"att_200000\" VALUE=\"v\">"), std::string::npos);
    EXPECT_EQ(unnamed_text.find("att_200001"), std::string::npos);
}

}  // namespace
