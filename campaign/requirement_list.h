#pragma once
// The requirements a campaign must verify: a text file with one ID per line,
// or a CSV file whose first column holds the IDs (fields separated by ',',
// ';' or TAB, optionally in double quotes). Blank lines and lines starting
// with '#' are skipped; blanks around an ID are dropped. The text is in the
// local 8-bit encoding (a UTF-8 byte order mark is skipped). A first row
// whose first cell is a header word (id, req, req id, requirement,
// requirement id, requirements, in any case, blanks or '_' between words,
// as requirement tools export them and as our own CSV starts) is a header,
// not an ID. Each ID keeps a title: the column headed title, name, summary,
// description, text or label when the header names one, else the second
// column.

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

struct RequirementList {
    std::vector<std::string> ids;     // UTF-8
    std::vector<std::string> titles;  // one per ID, empty when the list has none
};

RequirementList parse_requirement_list(const QByteArray& text);

// On failure *error is the whole problem line naming the file. A list that
// names no requirement is a failure too: an empty export is no proof that
// nothing is required.
bool read_requirement_list(const std::string& path, RequirementList* list, QString* error);
