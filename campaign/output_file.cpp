#include "campaign/output_file.h"

#include "campaign/messages.h"
#include "xml/replacing_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

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

bool write_output(const QString& path, const std::function<void(XmlStream&)>& write,
                  QString* error) {
    const QByteArray name = QFile::encodeName(path);
    ReplacingFile file;
    if (file.open(std::string_view(name.constData(), static_cast<std::size_t>(name.size())))) {
        XmlStream out(file);
        write(out);
        if (out.flush() && file.commit()) {
            return true;
        }
    }
    *error = message_cannot_write(path, reason(file.error_number(), path));
    return false;
}
