#include "campaign/requirement_list.h"

#include "campaign/messages.h"
#include "campaign/open_by_name.h"
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

bool is_header_word(QByteArray cell) {
    cell = cell.toLower().replace('_', ' ').simplified();
    for (const char* word :
         {"id", "req", "req id", "requirement", "requirement id", "requirements"}) {
        if (cell == word) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> parse_requirement_list(const QByteArray& text) {
    QByteArray body = text;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    std::vector<std::string> ids;
    bool first_row = true;
    for (const QByteArray& raw : body.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QByteArray id = first_field(line).trimmed();
        const bool header = first_row && is_header_word(id);
        first_row = false;
        if (!id.isEmpty() && !header) {
            ids.push_back(local8bit_decode(std::string_view(id.data(), id.size())).toStdString());
        }
    }
    return ids;
}

bool read_requirement_list(const std::string& path, std::vector<std::string>* ids, QString* error) {
    QFile file;
    QString why;
    if (!open_by_name(path, &file, &why)) {
        *error = message_cannot_read(shown_file_name(path), why);
        return false;
    }
    *ids = parse_requirement_list(file.readAll());
    if (ids->empty()) {
        *error = message_empty_requirement_list(shown_file_name(path));
        return false;
    }
    return true;
}
