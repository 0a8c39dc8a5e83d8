#include "campaign/requirement_list.h"

#include "campaign/messages.h"
#include "campaign/open_by_name.h"
#include "i18n/local8bit.h"

#include <QFile>

namespace {

// The fields of a CSV line, quotes removed. The separator is the first ',',
// ';' or TAB met outside quotes.
std::vector<QByteArray> fields(const QByteArray& line) {
    std::vector<QByteArray> out(1);
    char separator = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') {
                out.back() += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                out.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (separator == 0 && (c == ',' || c == ';' || c == '\t')) {
            separator = c;
            out.emplace_back();
        } else if (c == separator) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    for (QByteArray& field : out) {
        field = field.trimmed();
    }
    return out;
}

bool is_one_of(QByteArray cell, std::initializer_list<const char*> words) {
    cell = cell.toLower().replace('_', ' ').simplified();
    for (const char* word : words) {
        if (cell == word) {
            return true;
        }
    }
    return false;
}

bool is_header_word(const QByteArray& cell) {
    return is_one_of(cell,
                     {"id", "req", "req id", "requirement", "requirement id", "requirements"});
}

bool is_title_word(const QByteArray& cell) {
    return is_one_of(cell, {"title", "name", "summary", "description", "text", "label"});
}

std::string decoded(const QByteArray& bytes) {
    return local8bit_decode(std::string_view(bytes.data(), bytes.size())).toStdString();
}

}  // namespace

RequirementList parse_requirement_list(const QByteArray& text) {
    QByteArray body = text;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    RequirementList list;
    bool first_row = true;
    std::size_t title_column = 1;
    for (const QByteArray& raw : body.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const std::vector<QByteArray> cells = fields(line);
        if (first_row && is_header_word(cells.front())) {
            for (std::size_t c = 1; c < cells.size(); ++c) {
                if (is_title_word(cells[c])) {
                    title_column = c;
                    break;
                }
            }
            first_row = false;
            continue;
        }
        first_row = false;
        if (!cells.front().isEmpty()) {
            list.ids.push_back(decoded(cells.front()));
            list.titles.push_back(title_column < cells.size() ? decoded(cells[title_column])
                                                              : std::string());
        }
    }
    return list;
}

bool read_requirement_list(const std::string& path, RequirementList* list, QString* error) {
    QFile file;
    if (!open_input(path, &file, error)) {
        return false;
    }
    *list = parse_requirement_list(file.readAll());
    if (list->ids.empty()) {
        *error = message_empty_requirement_list(shown_file_name(path));
        return false;
    }
    return true;
}
