#pragma once
// Writing one requirement report file.

#include "rod/rod.h"

class ReportStream;

// The whole document of run: prolog, RUN with everything in it, "</RUN>".
void xrd_document_write(ReportStream& out, const RodNode* run);

// Writes the report of run under report_name: the document goes to
// "<report_name>.tmp" in the same directory, every write checked, and only a
// complete file is renamed over report_name, in one step. Then, when a log
// file was named, "REQ <report_name>" is appended to it. Failures are
// reported through tool_error; an old report stays untouched by a failed
// write, and no log line is written for a report that is not in place.
void xrd_report_write(const char* report_name, const RodNode* run);
