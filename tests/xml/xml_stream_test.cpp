#include "xml/xml_stream.h"

#include "xml/replacing_file.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a file stream writes, across many spills and with pieces larger than
// its buffer, is exactly what a memory stream collects.
TEST(XmlStreamTest, AFileGetsEveryByteInOrderAcrossSpills) {
    qtest::TempDir dir;
    const std::string path = dir.file("out.xml");
    ReplacingFile file;
    ASSERT_TRUE(file.open(path));
    XmlStream to_file(file);
    XmlStream in_memory;
    const std::string large(700 * 1024, 'L');
    for (int i = 0; i < 60000; ++i) {
        for (XmlStream* out : {&to_file, &in_memory}) {
            out->put("<piece n=\"");
            out->put_int(i);
            out->put('"');
            if (i % 20000 == 7) {
                out->put(large);
            }
            out->put_text("a<\xC3\xA9", XmlPlace::Attribute, TextEncoding::Utf8);
            out->put("/>\n");
        }
    }
    EXPECT_TRUE(to_file.flush());
    EXPECT_TRUE(file.commit());
    EXPECT_GT(in_memory.text().size(), 2u * 1024 * 1024);
    EXPECT_EQ(qtest::read_file(path), in_memory.text());
}

TEST(XmlStreamTest, TextsAreConvertedFromTheirEncodingAndEscapedForTheirPlace) {
    XmlStream out;
    out.put_text("\"\xC3\xA9\t<", XmlPlace::Attribute, TextEncoding::Utf8);
    out.put('|');
    out.put_text("\"\xC3\xA9\t<", XmlPlace::Content, TextEncoding::Utf8);
    out.put('|');
    out.put_text("\xFF", XmlPlace::Content, TextEncoding::Utf8);
    EXPECT_EQ(out.text(), "&quot;\xC3\xA9&#9;&lt;|\"\xC3\xA9\t&lt;|\xEF\xBF\xBD");
}

TEST(XmlStreamTest, AFailedWriteIsReported) {
    ReplacingFile file;
    ASSERT_TRUE(file.open("/dev/full"));
    XmlStream out(file);
    out.put(std::string(3 * 1024 * 1024, 'x'));
    EXPECT_TRUE(out.failed());
    EXPECT_FALSE(out.flush());
    EXPECT_EQ(file.failure(), ReplacingFile::Failure::Write);
    EXPECT_EQ(file.failed_name(), "/dev/full");
}

}  // namespace
