#include "campaign/output_file.h"

#include "campaign/messages.h"

#include <QSaveFile>

bool write_output(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = message_cannot_write(path, file.errorString());
        return false;
    }
    return true;
}
