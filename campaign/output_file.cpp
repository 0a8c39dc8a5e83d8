#include "campaign/output_file.h"

#include "campaign/messages.h"
#include "xml/replacing_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <charconv>

namespace {

// Why path could not be written, from the errno of the call that failed.
// ReplacingFile refuses a target it can neither replace nor write straight
// into (a directory, a block device) without any call failing.
QString reason(int error_number, const QString& path) {
    if (error_number == 0) {
        error_number = QFileInfo(path).isDir() ? EISDIR : ENOTSUP;
    }
    return qt_error_string(error_number);
}

}  // namespace

OutputStream::OutputStream(ReplacingFile& file) : file_(&file) {
    buffer_.reserve(kSpillSize * 2);
}

void OutputStream::put_int(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void OutputStream::spill() {
    if (!failed_ && !buffer_.empty() && !file_->write(buffer_)) {
        failed_ = true;
        error_number_ = errno != 0 ? errno : EIO;
    }
    buffer_.clear();
}

bool OutputStream::flush() {
    if (file_) {
        spill();
    }
    return !failed_;
}

bool write_output(const QString& path, const std::function<void(OutputStream&)>& write,
                  QString* error) {
    const QByteArray name = QFile::encodeName(path);
    ReplacingFile file;
    int error_number = 0;
    errno = 0;
    if (file.open(std::string_view(name.constData(), static_cast<std::size_t>(name.size())))) {
        OutputStream out(file);
        write(out);
        if (!out.flush()) {
            error_number = out.error_number();
        } else {
            errno = 0;
            if (file.commit()) {
                return true;
            }
            error_number = errno;
        }
    } else {
        error_number = errno;
    }
    *error = message_cannot_write(path, reason(error_number, path));
    return false;
}
