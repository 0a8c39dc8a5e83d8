#pragma once
// Data texts as they enter the report: converted to UTF-8 and escaped so that
// the document stays well-formed and an XML parser reads back the text.
//
// In attribute values &, <, >, " and TAB, LF, CR become references; in
// element content &, <, > and CR do. Characters XML 1.0 cannot hold
// (U+0000-U+0008, U+000B, U+000C, U+000E-U+001F, U+FFFE, U+FFFF) and bytes
// that do not decode become U+FFFD. Runs of ordinary characters are copied
// in one go.

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

enum class XmlPlace { Attribute, Content };

// The most bytes one byte of text becomes ("&quot;").
inline constexpr std::size_t kXmlEscapedMax = 6;
// The room the escaper may use past the escaped text.
inline constexpr std::size_t kXmlEscapeSlack = 8;

// Writes text that is already UTF-8 (invalid sequences become U+FFFD) to out,
// which has room for kXmlEscapedMax bytes per byte of text plus
// kXmlEscapeSlack; returns the end of what it wrote.
char* xml_escape_utf8(char* out, std::string_view utf8, XmlPlace place);

// A length at most limit, which is at least 4, and above 0, at which utf8 may be cut
// so that the two pieces, escaped one after the other, give the bytes of the
// whole escaped in one go: no sequence is cut, valid or not.
std::size_t xml_utf8_cut(std::string_view utf8, std::size_t limit);

// A free text made into an element or attribute name, in UTF-8. Parsers
// differ on letters outside Latin (the current XML 1.0 edition accepts almost
// any character, older ones and Qt's only the letters of Unicode 2.0), so a
// name keeps ASCII letters and digits, '-', '.', U+00B7 and the accented
// letters of Latin-1 and Latin Extended-A, which every XML parser accepts;
// any other character becomes '_' (':' too: it would make a namespace
// prefix). A name that could not start as it is gets a '_' in front.
std::string xml_name_utf8(const QString& text);

// The same for text of ASCII bytes, made without going through QString:
// nothing but a std::bad_alloc can fail when memory runs out.
std::string xml_name_ascii(std::string_view ascii);
