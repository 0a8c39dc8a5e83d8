#pragma once
// Writing one requirement report file.

#include "report/file_problem.h"
#include "report/run_options.h"
#include "rod/rod.h"

#include <functional>

class ConsoleEcho;
class XmlStream;

// The whole document of run: prolog, RUN with everything in it, "</RUN>".
// Requirements are echoed on echo when it is not null.
void xrd_document_write(XmlStream& out, const RodNode* run, const RunOptions& options,
                        ConsoleEcho* echo);

enum class ReportStatus {
    Written,      // in place; logged unless problem names the log
    Failed,       // problem says why; the run goes on
    OutOfMemory,  // the run must stop
};

struct ReportOutcome {
    ReportStatus status = ReportStatus::Failed;
    // Why the report did not land, or why its log line did not.
    FileProblem problem;
    // Written where files cannot be locked (see ReplacingFile::written_unlocked).
    bool unlocked = false;
};

// Writes the report of run under report_name, whole or not at all (see
// xml/replacing_file.h: the document goes to "<report_name>.tmp", which
// replaces the report once complete, keeping its permission bits). Then,
// when options name a log file, "REQ <report_name>" is appended to it in
// one write. Nothing is printed: the outcome says what happened. An old
// report stays untouched by a failed write, and no log line is written for
// a report that is not in place. Memory running out anywhere in the
// document is an outcome too. document_complete, when given, is called
// once the document is written, before it is put in place; run is not read
// after it.
ReportOutcome xrd_report_write(const char* report_name, const RodNode* run,
                               const RunOptions& options, ConsoleEcho* echo,
                               const std::function<void()>& document_complete = {});
