#pragma once
// Opening an input file by the bytes of its name. QFile would encode a
// QString name as UTF-8, so a name valid in no encoding (what quillon writes
// under a Latin-1 locale) could never be opened through it.

#include <QFile>
#include <QString>

#include <string>

// Opens path for reading into file (closed, not yet open). On failure *why is
// the system's reason.
bool open_by_name(const std::string& path, QFile* file, QString* why);

// The same for an input of the campaign: on failure *problem is the whole
// problem line ("PATH: cannot read: REASON").
bool open_input(const std::string& path, QFile* file, QString* problem);
