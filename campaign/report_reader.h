#pragma once
// Reads one requirement report in a single streaming pass. Only the parts the
// campaign uses are kept (verdicts, names, requirements), so memory follows
// the number of tests and requirements, not the size of the file.

#include "campaign/report_result.h"

#include <QString>

#include <string>
#include <string_view>

class QIODevice;

// Fills *report from the document in device: the run's verdict and name
// (from its own REPORT_INFO, its first child), and the services, tests and
// requirements of the body; the header section is passed over. On a
// malformed document, one with a document type declaration, or one that is
// not a report, returns false and sets *error to one line saying why
// (without the file name and without a line end).
bool read_report(QIODevice& device, ReportResult* report, QString* error);

// Opens path (bytes, as the file system has them) and reads it; report->path
// is set to path, report->real_path to its canonical form, and report->name
// falls back to the file name without ".req.xml" (or ".xml"). On failure
// *error is the whole message line naming the file.
bool read_report_file(const std::string& path, ReportResult* report, QString* error);

// The name a report gets from its file name when it has no REPORT_NAME.
std::string report_stem(std::string_view path);
