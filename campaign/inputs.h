#pragma once
// Turns the inputs of the command line into the list of report files to
// read, in order and each once:
// - a folder stands for every *.req.xml below it (sorted by path);
// - a name ending in ".xml" is a report;
// - any other name is a ROD file, which stands for the report quillon writes
//   for it (".rod" or ".ROD" replaced by ".req.xml", otherwise ".req.xml"
//   appended); a missing report, or one older than its ROD file, is a
//   problem ("no report");
// - a log written by quillon -l gives the report of each "REQ name" line,
//   the name taken as quillon wrote it (relative to the current folder).
// ROD files are never opened: only their names and dates count.

#include <QString>
#include <QStringList>

struct ResolvedInputs {
    QStringList reports;
    QStringList problems;  // one problem line each, in input order
};

ResolvedInputs resolve_inputs(const QStringList& inputs, const QStringList& logs);

// The report name quillon gives a ROD file.
QString report_name_for_rod(const QString& rod_path);
