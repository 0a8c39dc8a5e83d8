#include "campaign/report_pool.h"

#include "campaign/messages.h"
#include "campaign/parallel.h"
#include "campaign/report_reader.h"
#include "campaign/rod_tail.h"

namespace {

struct Slot {
    bool read = false;
    ReportResult report;
    QString problem;
    QString rod_problem;  // about the ROD file the report was converted from
};

// A ROD file whose report was read must also have been whole: one that ends
// inside a test with no verdict was cut short, and its report looks passed.
QString rod_problem(const std::string& rod) {
    if (rod.empty()) {
        return QString();
    }
    const RodTail tail = read_rod_tail(rod);
    if (tail.error_number != 0) {
        return message_cannot_read(shown_file_name(rod), qt_error_string(tail.error_number));
    }
    if (tail.unfinished) {
        return message_unfinished_rod(shown_file_name(rod), QString::fromStdString(tail.test_name),
                                      tail.test_line);
    }
    return QString();
}

}  // namespace

ReadReports read_reports(const std::vector<ReportInput>& inputs, int threads) {
    std::vector<Slot> results(inputs.size());
    run_in_parallel(static_cast<int>(inputs.size()), threads, [&](int i) {
        results[i].read =
            read_report_file(inputs[i].report, &results[i].report, &results[i].problem);
        results[i].rod_problem = rod_problem(inputs[i].rod);
    });

    ReadReports out;
    out.reports.reserve(results.size());
    for (Slot& slot : results) {
        if (slot.read) {
            out.reports.push_back(std::move(slot.report));
        } else {
            out.problems.append(slot.problem);
        }
        if (!slot.rod_problem.isEmpty()) {
            out.problems.append(slot.rod_problem);
        }
    }
    return out;
}
