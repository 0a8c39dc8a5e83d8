#include "campaign/open_by_name.h"

#include "campaign/messages.h"

#include <fcntl.h>

#include <cerrno>

bool open_by_name(const std::string& path, QFile* file, QString* why) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        *why = qt_error_string(errno);
        return false;
    }
    // AutoCloseHandle: the descriptor is the file's from here on.
    if (!file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *why = file->errorString();
        return false;
    }
    return true;
}

bool open_input(const std::string& path, QFile* file, QString* problem) {
    QString why;
    if (!open_by_name(path, file, &why)) {
        *problem = message_cannot_read(shown_file_name(path), why);
        return false;
    }
    return true;
}
