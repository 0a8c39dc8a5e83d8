#pragma once
// Writes one output file so that it lands complete or not at all: the bytes
// go to a temporary file beside it, which replaces the target only once
// everything was written (QSaveFile). An existing file stays as it was when
// anything fails.

#include <QByteArray>
#include <QString>

// On failure *error is the whole problem line naming the file.
bool write_output(const QString& path, const QByteArray& bytes, QString* error);
