#include "report/report_stream.h"

#include <charconv>

ReportStream::ReportStream(std::FILE* file) : file_(file) {
    buffer_.reserve(kSpillSize * 2);
}

ReportStream::ReportStream() = default;

void ReportStream::put_int(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void ReportStream::spill() {
    if (!buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
}

bool ReportStream::flush() {
    if (file_) {
        spill();
        if (std::fflush(file_) != 0) {
            failed_ = true;
        }
    }
    return !failed_;
}
