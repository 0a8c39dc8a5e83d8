// The history's own figures, without report files: CAMPAIGNS campaigns of
// REPORTS reports (TESTS tests each, one requirement per test out of
// REQUIREMENTS) recorded into DB, with a given share of test verdicts
// flipping each time; then the database's size, the time of one recording,
// of one requirement's story and of the history one campaign adds.
//
//   history_bench DB [CAMPAIGNS=1000] [CHANGE_PERCENT=1] [REPORTS=100] [TESTS=200]
//                 [REQUIREMENTS=5000]

#include "campaign/campaign.h"
#include "campaign/history_run.h"
#include "campaign/history_store.h"
#include "campaign/history_view.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Campaign make_campaign(const std::vector<std::vector<bool>>& verdicts, int requirements) {
    std::vector<ReportResult> reports;
    int n = 0;
    for (std::size_t r = 0; r < verdicts.size(); ++r) {
        ReportResult report;
        report.path = report.real_path = "/ci/results/report_" + std::to_string(r) + ".req.xml";
        report.name = "Report " + std::to_string(r);
        report.services.push_back({report.add_text("service"), true});
        for (std::size_t t = 0; t < verdicts[r].size(); ++t, ++n) {
            const bool ok = verdicts[r][t];
            report.tests.push_back({0, report.add_text("test_" + std::to_string(t)), ok});
            report.requirements.push_back(
                {report.add_text("REQ_" + std::to_string(n % requirements)),
                 {},
                 ok,
                 0,
                 static_cast<int>(t),
                 {}});
        }
        reports.push_back(std::move(report));
    }
    return build_campaign(std::move(reports), std::nullopt, {});
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: history_bench DB [CAMPAIGNS] [CHANGE_PERCENT] [REPORTS] "
                     "[TESTS] [REQUIREMENTS]\n");
        return 4;
    }
    const auto arg = [&](int i, double fallback) {
        return argc > i ? std::atof(argv[i]) : fallback;
    };
    const int campaigns = static_cast<int>(arg(2, 1000));
    const double change = arg(3, 1) / 100;
    const int reports = static_cast<int>(arg(4, 100));
    const int tests = static_cast<int>(arg(5, 200));
    const int requirements = static_cast<int>(arg(6, 5000));

    HistoryRun run;
    QString problem;
    if (open_history(argv[1], "bench", &run, &problem) != HistoryFailure::None) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 3;
    }
    std::mt19937 random(42);
    std::vector<std::vector<bool>> verdicts(reports, std::vector<bool>(tests, true));
    const int flips = static_cast<int>(reports * tests * change);
    std::vector<InputProvenance> inputs(reports);
    for (int r = 0; r < reports; ++r) {
        inputs[r].path = "/ci/results/report_" + std::to_string(r) + ".req.xml";
        inputs[r].size = 500000;
    }
    std::vector<double> record_times;
    Campaign campaign;
    std::int64_t seq = 0;
    for (int c = 0; c < campaigns; ++c) {
        for (int f = 0; f < flips; ++f) {
            auto v = verdicts[random() % reports][random() % tests];
            v = !v;
        }
        campaign = make_campaign(verdicts, requirements);
        for (InputProvenance& input : inputs) {  // new files each time, as CI makes them
            input.sha256 = QByteArray(32, '\0');
            for (char& byte : input.sha256) {
                byte = static_cast<char>(random());
            }
        }
        const RecordRequest request{"bench", "build-" + std::to_string(c), recording_time(),
                                    "bench"};
        QString error;
        const auto start = std::chrono::steady_clock::now();
        CampaignHistory history;
        std::optional<Changes> changes;
        if (!record_campaign(run.db, request, campaign, inputs, &seq, &history, &changes, &error)) {
            std::fprintf(stderr, "record: %s\n", qPrintable(error));
            return 5;
        }
        record_times.push_back(seconds_since(start));
    }
    std::sort(record_times.begin() + 1, record_times.end());
    QString error;
    std::chrono::steady_clock::time_point start;
    std::vector<double> story_times;
    for (int i = 0; i < 11; ++i) {
        HistoryStory story;
        bool found = false;
        start = std::chrono::steady_clock::now();
        read_item_story(run.db, "bench", kItemRequirement, "", "", "REQ_" + std::to_string(i * 7),
                        &story, &found, &error);
        story_times.push_back(seconds_since(start));
    }
    std::sort(story_times.begin(), story_times.end());
    std::printf("campaigns %d, reports %d, tests %d, requirements %d, %.2f%% of tests flip each\n",
                campaigns, reports, reports * tests, requirements, change * 100);
    std::printf(
        "recording (with the history it adds): first %.3f s, later ones median %.4f s, "
        "max %.4f s\n",
        record_times[0], record_times[record_times.size() / 2], record_times.back());
    std::printf("one requirement's story median %.2f ms\n",
                story_times[story_times.size() / 2] * 1000);
    return 0;
}
