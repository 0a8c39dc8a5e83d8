#include "xml/xml_stream.h"

#include "xml/replacing_file.h"

#include <charconv>

XmlStream::XmlStream(ReplacingFile& file) : file_(&file) {
    buffer_.reserve(kSpillSize * 2);
}

void XmlStream::put_int(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void XmlStream::spill() {
    if (!buffer_.empty() && !file_->write(buffer_)) {
        failed_ = true;
    }
    buffer_.clear();
}

bool XmlStream::flush() {
    if (file_) {
        spill();
    }
    return !failed_;
}
