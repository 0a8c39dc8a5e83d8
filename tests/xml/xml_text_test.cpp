#include "xml/xml_text.h"

#include "xml/xml_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string escaped(std::string_view text, XmlPlace place) {
    XmlStream out;
    out.put_text(text, place, TextEncoding::Utf8);
    return out.text();
}

// Every byte that needs a look, at every offset of texts short and long, so
// that it falls first, inside and last in a block and in the tail: the
// bytes before it are copied, it is escaped, and the bytes after follow.
TEST(XmlTextTest, ASpecialByteIsFoundAtEveryOffset) {
    struct Case {
        std::string_view byte;
        XmlPlace place;
        std::string_view expected;
    };
    const Case cases[] = {
        {"&", XmlPlace::Attribute, "&amp;"},
        {"<", XmlPlace::Content, "&lt;"},
        {">", XmlPlace::Attribute, "&gt;"},
        {"\"", XmlPlace::Attribute, "&quot;"},
        {"\"", XmlPlace::Content, "\""},
        {"\t", XmlPlace::Attribute, "&#9;"},
        {"\t", XmlPlace::Content, "\t"},
        {"\n", XmlPlace::Content, "\n"},
        {"\r", XmlPlace::Content, "&#13;"},
        {"\x01", XmlPlace::Content, "\xEF\xBF\xBD"},
        {"\x1F", XmlPlace::Attribute, "\xEF\xBF\xBD"},
        {"\xC3\xA9", XmlPlace::Attribute, "\xC3\xA9"},
        {"\xE2\x82\xAC", XmlPlace::Content, "\xE2\x82\xAC"},
        {"\xEF\xBF\xBF", XmlPlace::Content, "\xEF\xBF\xBD"},
        {"\xC3", XmlPlace::Attribute, "\xEF\xBF\xBD"},
        {"\x7F", XmlPlace::Attribute, "\x7F"},  // DEL is a character XML holds
    };
    for (const Case& c : cases) {
        for (std::size_t length = 1; length <= 40; ++length) {
            for (std::size_t at = 0; at < length; ++at) {
                const std::string before(at, 'a');
                const std::string after(length - at - 1, 'z');
                EXPECT_EQ(escaped(before + std::string(c.byte) + after, c.place),
                          before + std::string(c.expected) + after)
                    << "byte " << static_cast<int>(static_cast<unsigned char>(c.byte[0])) << " at "
                    << at << " of " << length;
            }
        }
    }
}

// A text far longer than the piece the stream escapes at once, with
// sequences of every length (and broken ones) around each possible cut.
TEST(XmlTextTest, ALongTextIsCutBetweenSequencesOnly) {
    std::string text;
    std::string expected;
    const std::string_view pieces[][2] = {
        {"\xC3\xA9", "\xC3\xA9"},
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"\x80\x80\x80\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"<", "&lt;"},
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (int i = 0; text.size() < 200 * 1024; ++i) {
        text.append(pieces[i % 6][0]);
        expected.append(pieces[i % 6][1]);
        text.append(std::string(i % 5, 'x'));
        expected.append(std::string(i % 5, 'x'));
    }
    EXPECT_EQ(escaped(text, XmlPlace::Content), expected);
}

TEST(XmlTextTest, ACutKeepsEverySequenceWhole) {
    const std::string_view text =
        "ab\xE2\x82\xAC"
        "cd\x80\x80\x80\x80\x80"
        "e";
    EXPECT_EQ(xml_utf8_cut(text, 4), 2u);    // before the euro sign, not inside it
    EXPECT_EQ(xml_utf8_cut(text, 5), 5u);    // right after it
    EXPECT_EQ(xml_utf8_cut(text, 9), 6u);    // before 'd', the nearest byte no sequence continues
    EXPECT_EQ(xml_utf8_cut(text, 11), 11u);  // three of them before: nothing reaches past
    EXPECT_EQ(xml_utf8_cut(text, 40), text.size());
}

}  // namespace
