#include "campaign/report_pool.h"

#include "campaign/messages.h"
#include "campaign/report_reader.h"
#include "campaign/rod_tail.h"

#include <algorithm>
#include <atomic>
#include <thread>

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
    const int count = static_cast<int>(inputs.size());
    if (threads <= 0) {
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    threads = std::max(1, std::min(threads, count));

    std::vector<Slot> results(inputs.size());
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            results[i].read =
                read_report_file(inputs[i].report, &results[i].report, &results[i].problem);
            results[i].rod_problem = rod_problem(inputs[i].rod);
        }
    };
    {
        std::vector<std::jthread> pool;
        for (int t = 1; t < threads; ++t) {
            pool.emplace_back(work);
        }
        work();
    }  // the jthreads join here

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
