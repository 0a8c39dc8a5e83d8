#include "report/report_writer.h"

#include "i18n/tool_messages.h"
#include "report/console_echo.h"
#include "report/log_file.h"
#include "report/section_writers.h"
#include "xml/replacing_file.h"
#include "xml/xml_stream.h"

#include <new>
#include <string>

namespace {

// Reports why file did not land; the messages name the file concerned.
void report_failure(const ReplacingFile& file) {
    const char* name = file.failed_name().c_str();
    switch (file.failure()) {
        case ReplacingFile::Failure::Write:
            tool_error(kToolErrorWriteFile, name, "xrd_report_write");
            return;
        case ReplacingFile::Failure::Rename:
            tool_error(kToolErrorRenameFile, name, "xrd_report_write");
            return;
        case ReplacingFile::Failure::Busy:
            tool_error(kToolErrorTemporaryBusy, name, "xrd_report_write");
            return;
        case ReplacingFile::Failure::Displaced:
            tool_error(kToolErrorDisplaced, name, "xrd_report_write");
            return;
        case ReplacingFile::Failure::Open:
        case ReplacingFile::Failure::None:
            tool_error(kToolErrorOpenFile, name, "xrd_report_write");
            return;
    }
}

// Said once a run: a file system without locks is one for every report.
void report_unlocked(const std::string& report_name) {
    static bool said = false;
    if (!said) {
        said = true;
        tool_error(kToolErrorNoLock, report_name.c_str(), "xrd_report_write");
    }
}

// Writes the report and, once it is in place, its log line: no signal can
// come between the two.
bool write_report(const char* report_name, const RodNode* run, const RunOptions& options,
                  ConsoleEcho* echo, const std::function<void()>& document_complete) {
    ReplacingFile file;
    if (file.open(report_name)) {
        if (file.written_unlocked()) {
            report_unlocked(report_name);
        }
        XmlStream out(file);
        xrd_document_write(out, run, options, echo);
        const bool flushed = out.flush();
        if (document_complete) {
            document_complete();
        }
        const auto log_line = [&] {
            if (options.log_file) {
                append_log_line(options.log_file, report_name);
            }
        };
        if (flushed && file.commit(log_line)) {
            return true;
        }
    }
    report_failure(file);
    return false;
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
    if (!report_name || !run) {
        return ReportOutcome::Failed;
    }
    // Running out of memory anywhere in the document (the header section, a
    // requirement, an expansion, the stream) is caught here and nowhere
    // else: the temporary file goes with the ReplacingFile, the old report
    // stays, and the run stops.
    try {
        const bool written = write_report(report_name, run, options, echo, document_complete);
        if (echo) {
            echo->flush();
        }
        if (!written) {
            return ReportOutcome::Failed;
        }
    } catch (const std::bad_alloc&) {
        tool_error(kToolErrorNoMemory, "kvw2req", "xrd_report_write");
        return ReportOutcome::OutOfMemory;
    }
    return ReportOutcome::Written;
}
