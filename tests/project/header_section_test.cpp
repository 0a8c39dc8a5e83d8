#include "project/header_section.h"

#include "i18n/local8bit.h"
#include "tests/support/scoped_state.h"
#include "tests/support/test_support.h"
#include "xml/xml_stream.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace {

using qtest::ScopedLocale;

// The section written from a header file holding contents; it must read as
// XML once wrapped in a root element.
std::string section_of(const std::string& contents) {
    XmlStream out;
    write_header_section(out, contents);
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml("<R>" + out.text() + "</R>", &error)) << error << "\n"
                                                                           << out.text();
    return out.text();
}

// Every line read_header_line gives for a file holding contents.
std::vector<std::string> lines_of(std::string_view contents) {
    std::vector<std::string> lines;
    while (auto line = read_header_line(contents)) {
        lines.emplace_back(*line);
    }
    return lines;
}

using Lines = std::vector<std::string>;

TEST(ReadHeaderLine, CutsAtLastLfThenTabThenCr) {
    EXPECT_EQ(lines_of("a=1\nb=2\r\nc=3"), (Lines{"a=1", "b=2", "c=3"}));
    EXPECT_EQ(lines_of("f=x\ty\tz\n"), (Lines{"f=x\ty"}));
    EXPECT_EQ(lines_of("a\rb\r\n\n"), (Lines{"a\rb", ""}));
    EXPECT_EQ(lines_of("k=v\r\tcomment\r\n"), (Lines{"k=v"}));
    EXPECT_EQ(lines_of(""), Lines{});
}

TEST(ReadHeaderLine, ReadsLongLineWhole) {
    const std::string value(5000, 'v');
    EXPECT_EQ(lines_of("k=" + value + "\n-\n"), (Lines{"k=" + value, "-"}));
}

TEST(HeaderSection, ExampleOfEnvironmentAndNamedEntries) {
    EXPECT_EQ(section_of("Host name=alpha\nOS:Linux=2.6\nCompiler:gcc=version:4.1\nTarget=x86\n"),
              "\t<ENV_INFO HOST_NAME=\"alpha\">\n\t</ENV_INFO>\n"
              "<OS NAME=\"Linux\" VALUE=\"2.6\" ></OS>"
              "<COMPILER NAME=\"gcc\" VERSION=\"4.1\" ></COMPILER>"
              "\t<ENV_INFO TARGET=\"x86\">\n\t</ENV_INFO>\n");
}

// The file is read whole once; a read that fails gives no bytes to make a
// section of (/proc/self/mem opens, and its first page cannot be read).
TEST(HeaderFile, ReadWholeOrNotAtAll) {
    qtest::TempDir dir;
    const std::string contents = std::string(200000, 'k') + "=v\nOS:Linux=6\n";
    qtest::write_file(dir.file("header.txt"), contents);
    const struct {
        std::string path;
        HeaderFileRead outcome;
    } cases[] = {
        {dir.file("header.txt"), HeaderFileRead::Read},
        {dir.file("absent.txt"), HeaderFileRead::NotOpened},
        {dir.path(), HeaderFileRead::NotOpened},
        {"/proc/self/mem", HeaderFileRead::ReadError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string bytes;
        EXPECT_EQ(read_header_file(c.path.c_str(), bytes), c.outcome);
        if (c.outcome == HeaderFileRead::Read) {
            EXPECT_EQ(bytes, contents);
        }
    }
}

TEST(HeaderSection, EmptyOrDashFirstGivesNothing) {
    EXPECT_EQ(section_of(""), "");
    EXPECT_EQ(section_of("-\nA=1\n"), "");
    EXPECT_EQ(section_of("--- end\n"), "");
}

TEST(HeaderSection, DashLineStopsSection) {
    EXPECT_EQ(section_of("A=1\n-\nB=2\nT:n=v\n"), "\t<ENV_INFO A=\"1\">\n\t</ENV_INFO>\n");
    // A dash later on the line does not count.
    EXPECT_EQ(section_of("A=-1\nB- =2\n"), "\t<ENV_INFO A=\"-1\" B-_=\"2\">\n\t</ENV_INFO>\n");
}

TEST(HeaderSection, LineWithoutEqualsKeepsEnvInfoOpen) {
    EXPECT_EQ(section_of("A=1\njust a comment\n\nB=2\n"),
              "\t<ENV_INFO A=\"1\" B=\"2\">\n\t</ENV_INFO>\n");
}

TEST(HeaderSection, CrLfSameAsLf) {
    const std::string lf = section_of("A=1\nT:n=v\nB=2\n");
    EXPECT_EQ(section_of("A=1\r\nT:n=v\r\nB=2\r\n"), lf);
    EXPECT_EQ(lf,
              "\t<ENV_INFO A=\"1\">\n\t</ENV_INFO>\n<T NAME=\"n\" VALUE=\"v\" ></T>"
              "\t<ENV_INFO B=\"2\">\n\t</ENV_INFO>\n");
}

TEST(HeaderSection, TabEndsTheLine) {
    EXPECT_EQ(section_of("A=1\tcomment\nT:n=v\tx\n"),
              "\t<ENV_INFO A=\"1\">\n\t</ENV_INFO>\n<T NAME=\"n\" VALUE=\"v\" ></T>");
    // Only the last TAB cuts; an earlier one is part of the value.
    EXPECT_EQ(section_of("f=x\ty\tz\n"), "\t<ENV_INFO F=\"x&#9;y\">\n\t</ENV_INFO>\n");
}

TEST(HeaderSection, BreakBecomesFourBlanks) {
    EXPECT_EQ(section_of("A=a<br>b\nT:n<br>=x:1<br>2\n"),
              "\t<ENV_INFO A=\"a    b\">\n\t</ENV_INFO>\n"
              "<T NAME=\"n    \" X=\"1    2\" ></T>");
}

TEST(HeaderSection, KeysAndTagsAreTransformed) {
    EXPECT_EQ(section_of("build host=h1\n"), "\t<ENV_INFO BUILD_HOST=\"h1\">\n\t</ENV_INFO>\n");
    // '{' '|' '}' '~' lose 0x20 like letters, which leaves '[' '\' ']' '^':
    // none can stand in a name, so all become '_'.
    EXPECT_EQ(section_of("my tag{~}:Some Name=attr name:Some Text:more\n"),
              "<MY_TAG___ NAME=\"Some Name\" ATTR_NAME=\"Some Text:more\" ></MY_TAG___>");
    // Further '=' belong to the value; the name and value keep their case.
    EXPECT_EQ(section_of("Os:Lin=a=b\n"), "<OS NAME=\"Lin\" VALUE=\"a=b\" ></OS>");
}

TEST(HeaderSection, NonAsciiTagBytesStayUnderUtf8) {
    if (!qtest::locale_available("C.UTF-8")) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    ScopedLocale utf8("C.UTF-8");
    // U+00E9 is C3 A9: bytes from 0x80 up are not upper-cased.
    EXPECT_EQ(section_of("caf\xC3\xA9:n\xC3\xA9=v\xC3\xA9\n"),
              "<CAF\xC3\xA9 NAME=\"n\xC3\xA9\" VALUE=\"v\xC3\xA9\" ></CAF\xC3\xA9>");
    EXPECT_EQ(section_of("caf\xC3\xA9=1\n"), "\t<ENV_INFO CAF\xC3\x89=\"1\">\n\t</ENV_INFO>\n");
}

TEST(HeaderSection, Latin1TextIsWrittenAsUtf8) {
    if (!qtest::locale_available("fr_FR.ISO-8859-1")) {
        GTEST_SKIP() << "no fr_FR.ISO-8859-1 locale";
    }
    ScopedLocale latin1("fr_FR.ISO-8859-1");
    // The tag keeps its E9 byte (U+00E9), the environment key is
    // upper-cased as text (U+00C9), and every text comes out as UTF-8.
    EXPECT_EQ(section_of("caf\xE9:n\xE9=v\xE9\ncaf\xE9=\xE0\n"),
              "<CAF\xC3\xA9 NAME=\"n\xC3\xA9\" VALUE=\"v\xC3\xA9\" ></CAF\xC3\xA9>"
              "\t<ENV_INFO CAF\xC3\x89=\"\xC3\xA0\">\n\t</ENV_INFO>\n");
    EXPECT_EQ(section_of("T:n=caf\xE9:\xE9t\xE9\n"),
              "<T NAME=\"n\" CAF\xC3\xA9=\"\xC3\xA9t\xC3\xA9\" ></T>");
}

TEST(HeaderSectionFixes, DataTextsAreEscaped) {
    EXPECT_EQ(section_of("A=<&>\"x\"\nT:a&b\"=x:<y>\rz\r\n"),
              "\t<ENV_INFO A=\"&lt;&amp;&gt;&quot;x&quot;\">\n\t</ENV_INFO>\n"
              "<T NAME=\"a&amp;b&quot;\" X=\"&lt;y&gt;&#13;z\" ></T>");
    EXPECT_EQ(section_of(std::string("A=a\x01z\x1F\n", 7)),
              "\t<ENV_INFO A=\"a\xEF\xBF\xBDz\xEF\xBF\xBD\">\n\t</ENV_INFO>\n");
    // A NUL byte is data too, not the end of the line.
    EXPECT_EQ(section_of(std::string("A=a\0b\n", 6)),
              "\t<ENV_INFO A=\"a\xEF\xBF\xBD"
              "b\">\n\t</ENV_INFO>\n");
}

TEST(HeaderSectionFixes, CraftedTextCannotInjectMarkup) {
    EXPECT_EQ(section_of("T:n=\"/><EVIL a=\"\n"),
              "<T NAME=\"n\" VALUE=\"&quot;/&gt;&lt;EVIL a=&quot;\" ></T>");
    EXPECT_EQ(section_of("T:n=x></T><EVIL:1\n"), "<T NAME=\"n\" X___T__EVIL=\"1\" ></T>");
}

TEST(HeaderSectionFixes, NamesAreMadeValid) {
    EXPECT_EQ(section_of("1st=a\n=b\n.y=d\nx.y-2=e\n"),
              "\t<ENV_INFO _1ST=\"a\" _=\"b\" _.Y=\"d\" X.Y-2=\"e\">\n\t</ENV_INFO>\n");
    EXPECT_EQ(section_of(":n=v\n9t:n=x@y:1\nT:n=:2\nT:n=-x:3\n"),
              "<_ NAME=\"n\" VALUE=\"v\" ></_>"
              "<_9T NAME=\"n\" X_Y=\"1\" ></_9T>"
              "<T NAME=\"n\" _=\"2\" ></T>"
              "<T NAME=\"n\" _-X=\"3\" ></T>");
}

TEST(HeaderSectionFixes, NameCharactersMustSuitEveryParser) {
    if (!qtest::locale_available("C.UTF-8")) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    ScopedLocale utf8("C.UTF-8");
    // An undecodable byte becomes U+FFFD, which only the newest name rules
    // accept; a symbol such as U+00B1 is no name character either.
    const std::string section = section_of("\xB2mpiler:gcc=v\xC2\xB1:12\nk\xC2\xB1y=1\n");
    EXPECT_EQ(section,
              "<_MPILER NAME=\"gcc\" V_=\"12\" ></_MPILER>"
              "\t<ENV_INFO K_Y=\"1\">\n\t</ENV_INFO>\n");
    EXPECT_TRUE(qtest::parses_as_xml("<R>" + section + "</R>"));

    // A letter of a script newer than Unicode 2.0 (NKo U+07CC) is refused by
    // parsers that follow the older name rules, Qt's among them.
    const std::string nko = section_of("\xDF\x8Cx:n=1\n\xC3\xA9t\xC3\xA9=2\n");
    EXPECT_EQ(
        nko,
        "<_X NAME=\"n\" VALUE=\"1\" ></_X>\t<ENV_INFO \xC3\x89T\xC3\x89=\"2\">\n\t</ENV_INFO>\n");
    EXPECT_TRUE(qtest::parses_as_xml("<R>" + nko + "</R>"));
}

TEST(HeaderSectionFixes, RepeatedEnvInfoNameOpensNewElement) {
    EXPECT_EQ(section_of("A=1\nB=2\na=3\nA=4\n"),
              "\t<ENV_INFO A=\"1\" B=\"2\">\n\t</ENV_INFO>\n"
              "\t<ENV_INFO A=\"3\">\n\t</ENV_INFO>\n"
              "\t<ENV_INFO A=\"4\">\n\t</ENV_INFO>\n");
    // Names that only become equal once blanks are turned into '_'.
    EXPECT_EQ(section_of("a b=1\nA_B=2\n"),
              "\t<ENV_INFO A_B=\"1\">\n\t</ENV_INFO>\n\t<ENV_INFO A_B=\"2\">\n\t</ENV_INFO>\n");
}

TEST(HeaderSectionFixes, OwnAttributeNamedNameBecomesValue) {
    EXPECT_EQ(section_of("Compiler:gcc=name:4.1\nT:n=Na me:x\n"),
              "<COMPILER NAME=\"gcc\" VALUE=\"name:4.1\" ></COMPILER>"
              "<T NAME=\"n\" NA_ME=\"x\" ></T>");
}

TEST(HeaderSectionFixes, LongLineIsOneLine) {
    // Cut into pieces, the tail would become an entry of its own.
    const std::string value = std::string(4990, 'v') + "T:n=tail";
    const std::string section = section_of("A=" + value + "\n");
    EXPECT_EQ(section, "\t<ENV_INFO A=\"" + value + "\">\n\t</ENV_INFO>\n");
}

}  // namespace
