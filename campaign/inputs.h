#pragma once
// Turns the inputs of the command line into the list of report files to
// read, in order and each once:
// - a folder stands for every *.req.xml below it, hidden ones too (sorted by
//   path; links to folders are not followed). An entry named *.req.xml that
//   cannot be read (a dangling link) and a subfolder that cannot be listed
//   are problems, never skipped in silence;
// - a name ending in ".xml" is a report;
// - any other name is a ROD file, which stands for the report quillon writes
//   for it (".rod" or ".ROD" replaced by ".req.xml", otherwise ".req.xml"
//   appended); a missing report, or one older than its ROD file, is a
//   problem ("no report");
// - a log written by quillon -l gives the reports that were written, one per
//   "REQ name" line, the name taken as quillon wrote it (relative to the
//   current folder); one older than a ROD file of the same stem beside it
//   is a problem as for a ROD file given itself.
// Names are bytes end to end: they are opened as given and shown decoded
// from the locale's encoding.

#include <QStringList>

#include <string>
#include <vector>

struct ReportInput {
    std::string report;
    std::string rod;  // the ROD file it was converted from, when known
};

struct ResolvedInputs {
    std::vector<ReportInput> reports;
    // Every file the run takes as input, the ROD files and logs included, as
    // named: no output may replace one.
    std::vector<std::string> files;
    QStringList problems;  // one problem line each, in input order
};

ResolvedInputs resolve_inputs(const std::vector<std::string>& inputs,
                              const std::vector<std::string>& logs);

// The report name quillon gives a ROD file.
std::string report_name_for_rod(const std::string& rod_path);
