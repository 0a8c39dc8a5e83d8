#include "report/report_writer.h"

#include "driver/run_options.h"
#include "driver/tool_messages.h"
#include "project/project_settings.h"
#include "report/report_stream.h"
#include "report/section_writers.h"

#include <cstdio>
#include <string>

namespace {

// Writes the whole document to file; false when any write or the flush failed.
bool write_document(std::FILE* file, const RodNode* run) {
    ReportStream out(file);
    xrd_document_write(out, run);
    return out.flush();
}

void append_log_line(const char* log_file, const char* report_name) {
    std::FILE* log = std::fopen(log_file, "a");
    if (!log) {
        tool_error(kToolErrorOpenFile, log_file, "log_file_write");
        return;
    }
    const bool written = std::fprintf(log, "REQ %s\n", report_name) >= 0;
    if (std::fclose(log) != 0 || !written) {
        tool_error(kToolErrorWriteFile, log_file, "log_file_write");
    }
}

}  // namespace

void xrd_document_write(ReportStream& out, const RodNode* run) {
    const bool ok = rod_status(run) != 0;
    xrd_run_write(out, run, ok);
    xrd_run_info_write(out, run, ok);
    for (const RodNode* service = rod_services(run); service; service = rod_next(service)) {
        xrd_service_write(out, service);
    }
    out.put(kRunEndTag);
}

void xrd_report_write(const char* report_name, const RodNode* run) {
    if (!report_name || !run) {
        return;
    }
    const std::string temporary_name = std::string(report_name) + ".tmp";
    std::FILE* file = std::fopen(temporary_name.c_str(), "wb");
    if (!file) {
        tool_error(kToolErrorOpenFile, temporary_name.c_str(), "xrd_report_write");
        return;
    }

    if (!run_options.header_file) {
        // Kept for its reading of the project settings file; the report does
        // not depend on the result.
        load_project_settings();
    }

    const bool written = write_document(file, run);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        // A full disk or a quota: never put a truncated report in place.
        tool_error(kToolErrorWriteFile, temporary_name.c_str(), "xrd_report_write");
        std::remove(temporary_name.c_str());
        return;
    }

    // rename replaces an existing report atomically: there is no moment
    // without a report, and a failure leaves the old one as it was.
    if (std::rename(temporary_name.c_str(), report_name) != 0) {
        tool_error(kToolErrorOpenFile, report_name, "xrd_report_write");
        return;
    }

    if (run_options.log_file) {
        append_log_line(run_options.log_file, report_name);
    }
}
