#include "campaign/report_pool.h"

#include "campaign/report_reader.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

struct Slot {
    bool read = false;
    ReportResult report;
    QString problem;
};

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
    }
    return out;
}
