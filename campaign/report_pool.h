#pragma once
// Reads many reports at once, one report per thread at a time, and gives the
// results back in the order of the paths, whatever order the threads
// finished in. A report that cannot be read never stops the others. A report
// converted from a known ROD file has that file read to its end too: one cut
// short inside a test is a problem (the report is still read).

#include "campaign/inputs.h"
#include "campaign/report_result.h"

#include <QStringList>

#include <vector>

struct ReadReports {
    std::vector<ReportResult> reports;  // the reports read, in path order
    QStringList problems;               // one problem line per report not read, in path order
};

// threads 0 means one per core.
ReadReports read_reports(const std::vector<ReportInput>& inputs, int threads);
