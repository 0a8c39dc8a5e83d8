#include "campaign/output_file.h"

#include "campaign/messages.h"
#include "xml/replacing_file.h"

#include <sys/stat.h>

#include <cerrno>

namespace {

// Why path could not be written, from the errno of the call that failed.
// ReplacingFile refuses a target it can neither replace nor write straight
// into (a directory, a block device) without any call failing.
QString reason(int error_number, const std::string& path) {
    struct stat status;
    if (error_number == 0) {
        error_number =
            ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? EISDIR : ENOTSUP;
    }
    return qt_error_string(error_number);
}

}  // namespace

bool write_output(const std::string& path, const std::function<void(XmlStream&)>& write,
                  QString* error) {
    ReplacingFile file;
    if (file.open(path)) {
        XmlStream out(file);
        write(out);
        if (out.flush() && file.commit()) {
            return true;
        }
    }
    *error = message_cannot_write(shown_file_name(path), reason(file.error_number(), path));
    return false;
}
