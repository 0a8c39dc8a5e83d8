#include "campaign/requirement_list.h"

#include "campaign/messages.h"
#include "i18n/local8bit.h"

#include <QFile>

namespace {

// The first field of a CSV line, quotes removed.
QByteArray first_field(const QByteArray& line) {
    if (!line.startsWith('"')) {
        qsizetype end = line.size();
        for (const char separator : {',', ';', '\t'}) {
            const qsizetype at = line.indexOf(separator);
            if (at >= 0 && at < end) {
                end = at;
            }
        }
        return line.left(end);
    }
    QByteArray field;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            field += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            ++i;
        } else {
            break;
        }
    }
    return field;
}

}  // namespace

std::vector<std::string> parse_requirement_list(const QByteArray& text) {
    QByteArray body = text;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    std::vector<std::string> ids;
    for (const QByteArray& raw : body.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QByteArray id = first_field(line).trimmed();
        if (!id.isEmpty()) {
            ids.push_back(local8bit_decode(std::string_view(id.data(), id.size())).toStdString());
        }
    }
    return ids;
}

bool read_requirement_list(const QString& path, std::vector<std::string>* ids, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = message_cannot_read(path, file.errorString());
        return false;
    }
    *ids = parse_requirement_list(file.readAll());
    return true;
}
