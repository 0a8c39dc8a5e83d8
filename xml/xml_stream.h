#pragma once
// The byte stream a document is written to: markup goes in as it is, data
// texts through put_text, which converts them to UTF-8 and escapes them for
// their place, so that no caller can let an unescaped text through. The
// bytes collect in a buffer that spills into a ReplacingFile (or stays in
// memory, for tests), and the stream remembers whether any write failed.

#include "xml/xml_text.h"

#include <string>
#include <string_view>

class ReplacingFile;

// The encoding the bytes of a data text are in.
enum class TextEncoding {
    Utf8,
    Local8Bit,  // the process locale's 8-bit encoding
};

class XmlStream {
  public:
    // Writes to file, which must outlive the stream.
    explicit XmlStream(ReplacingFile& file);
    // Collects everything in memory; text() gives it.
    XmlStream() = default;
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Markup: bytes the caller knows to be well-formed UTF-8 in their place.
    void put(std::string_view markup) {
        buffer_.append(markup);
        spill_if_full();
    }
    void put(char c) {
        buffer_.push_back(c);
        spill_if_full();
    }
    void put_int(long long value);

    // A data text: converted from its encoding to UTF-8 (bytes that do not
    // decode become U+FFFD) and escaped for its place. Inline, so that the
    // encoding, always a constant, costs nothing on the hot path.
    void put_text(std::string_view text, XmlPlace place, TextEncoding encoding) {
        switch (encoding) {
            case TextEncoding::Utf8:
                xml_append_utf8(buffer_, text, place);
                break;
            case TextEncoding::Local8Bit:
                xml_append_local8(buffer_, text, place);
                break;
        }
        spill_if_full();
    }

    // Writes out everything pending; false when any write so far failed.
    bool flush();
    bool failed() const { return failed_; }

    // Everything written, for a memory stream.
    const std::string& text() const { return buffer_; }

  private:
    static constexpr std::size_t kSpillSize = 1 << 18;
    void spill_if_full() {
        if (file_ && buffer_.size() >= kSpillSize) {
            spill();
        }
    }
    void spill();

    ReplacingFile* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};
