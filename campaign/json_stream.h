#pragma once
// JSON text written piece by piece into an output stream, compact: no
// space or line break between tokens, only one line break after the whole.
// Members come out in the order they are given.

#include "xml/xml_stream.h"

#include <QString>

#include <string_view>
#include <vector>

class JsonWriter {
  public:
    // Writes to out, which must outlive the writer.
    explicit JsonWriter(XmlStream& out) : out_(out) {}

    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // Names the member whose value comes next.
    void key(std::string_view name);
    void string(std::string_view utf8);
    void string(const QString& text);
    void number(long long value);
    void boolean(bool value);
    void null();

  private:
    struct Level {
        bool object;
        int items;
    };
    void before_value();
    void open(char bracket, bool object);
    void close(char bracket);

    XmlStream& out_;
    std::vector<Level> levels_;
};

// A string as RFC 8259 writes it, quotes included: '"' and '\' get a
// backslash, the control characters below U+0020 become \b, \f, \n, \r, \t
// or \u00XX (lower-case hex), valid UTF-8 is copied as it is, and each byte
// that does not start a valid UTF-8 sequence becomes U+FFFD (as
// QString::fromUtf8 reads it), so the text is always valid UTF-8.
void append_json_string(XmlStream& out, std::string_view utf8);
