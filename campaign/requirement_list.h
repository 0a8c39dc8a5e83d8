#pragma once
// The requirements a campaign must verify: a text file with one ID per line,
// or a CSV file whose first column holds the IDs (fields separated by ',',
// ';' or TAB, optionally in double quotes). Blank lines and lines starting
// with '#' are skipped; blanks around an ID are dropped. The text is in the
// local 8-bit encoding (a UTF-8 byte order mark is skipped).

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

std::vector<std::string> parse_requirement_list(const QByteArray& text);

// On failure *error is the whole problem line naming the file.
bool read_requirement_list(const QString& path, std::vector<std::string>* ids, QString* error);
