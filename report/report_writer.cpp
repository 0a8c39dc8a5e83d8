#include "report/report_writer.h"

#include "report/log_file.h"
#include "report/section_writers.h"
#include "xml/replacing_file.h"
#include "xml/xml_stream.h"

#include <new>
#include <string>

namespace {

// Why file did not land; the messages name the file concerned.
FileProblem problem_of(const ReplacingFile& file) {
    const auto kind = [&] {
        switch (file.failure()) {
            case ReplacingFile::Failure::Write:
                return FileProblem::Kind::Write;
            case ReplacingFile::Failure::Rename:
                return FileProblem::Kind::Rename;
            case ReplacingFile::Failure::Busy:
                return FileProblem::Kind::Busy;
            case ReplacingFile::Failure::Displaced:
                return FileProblem::Kind::Displaced;
            case ReplacingFile::Failure::Open:
            case ReplacingFile::Failure::None:
                break;
        }
        return FileProblem::Kind::Open;
    };
    return {kind(), file.failed_name()};
}

// Writes the report and, once it is in place, its log line: no signal can
// come between the two.
void write_report(const char* report_name, const RodNode* run, const RunOptions& options,
                  ConsoleEcho* echo, const std::function<void()>& document_complete,
                  ReportOutcome& outcome) {
    ReplacingFile file;
    if (file.open(report_name)) {
        outcome.unlocked = file.written_unlocked();
        XmlStream out(file);
        xrd_document_write(out, run, options, echo);
        const bool flushed = out.flush();
        if (document_complete) {
            document_complete();
        }
        const auto log_line = [&] {
            if (options.log_file) {
                outcome.problem = append_log_line(options.log_file, report_name);
            }
        };
        if (flushed && file.commit(log_line)) {
            outcome.status = ReportStatus::Written;
            return;
        }
    }
    outcome.problem = problem_of(file);
}

}  // namespace

void xrd_document_write(XmlStream& out, const RodNode* run, const RunOptions& options,
                        ConsoleEcho* echo) {
    const bool ok = rod_status(run) != 0;
    xrd_run_write(out, run, ok);
    xrd_run_info_write(out, run, ok, options, echo);
    for (const RodNode* service = rod_services(run); service; service = rod_next(service)) {
        xrd_service_write(out, service, options, echo);
    }
    out.put(kRunEndTag);
}

ReportOutcome xrd_report_write(const char* report_name, const RodNode* run,
                               const RunOptions& options, ConsoleEcho* echo,
                               const std::function<void()>& document_complete) {
    ReportOutcome outcome;
    if (!report_name || !run) {
        return outcome;
    }
    // Running out of memory anywhere in the document (the header section, a
    // requirement, an expansion, the stream) becomes the outcome here: the
    // temporary file goes with the ReplacingFile, the old report stays, and
    // the driver stops the run.
    try {
        write_report(report_name, run, options, echo, document_complete, outcome);
    } catch (const std::bad_alloc&) {
        outcome.status = ReportStatus::OutOfMemory;
        outcome.problem = {};
    }
    return outcome;
}
