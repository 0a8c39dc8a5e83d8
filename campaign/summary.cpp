#include "campaign/summary.h"

#include "campaign/messages.h"
#include "campaign/test_cause.h"

#include <functional>

namespace {

constexpr int kShown = 20;

// Lists the items that want() picks, kShown at most, then how many were not.
template <typename Items, typename Want, typename Line>
void list(QString& text, const Items& items, Want want, Line line) {
    int count = 0;
    for (const auto& item : items) {
        if (want(item) && ++count <= kShown) {
            text += line(item);
        }
    }
    if (count > kShown) {
        text += message_and_more(count - kShown);
    }
}

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const RequirementPlace& first_ko_place(const Campaign& campaign, const Requirement& requirement) {
    for (const RequirementPlace& place : requirement.places) {
        if (!campaign.reports[place.report].requirements[place.occurrence].ok) {
            return place;
        }
    }
    return requirement.places.front();
}

bool has_ko_test(const ReportResult& report) {
    for (const TestResult& test : report.tests) {
        if (!test.ok) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString campaign_summary(const Campaign& campaign) {
    QString text = message_summary(campaign.counts, campaign.ok);
    list(
        text, campaign.requirements,
        [](const Requirement& r) { return r.verdict == RequirementVerdict::Ko; },
        [&](const Requirement& r) {
            return message_ko_requirement(
                utf8(r.id), utf8(place_text(campaign, first_ko_place(campaign, r), " / ")));
        });
    list(
        text, campaign.requirements,
        [](const Requirement& r) { return r.verdict == RequirementVerdict::NotVerified; },
        [](const Requirement& r) { return message_not_verified(utf8(r.id)); });

    struct KoTest {
        std::size_t report;
        std::size_t test;
    };
    std::vector<KoTest> ko_tests;
    std::vector<std::size_t> ko_runs;  // KO runs without a KO test
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            if (!report.tests[t].ok) {
                ko_tests.push_back({r, t});
            }
        }
        if (!report.run_ok && !has_ko_test(report)) {
            ko_runs.push_back(r);
        }
    }
    list(
        text, ko_tests, [](const KoTest&) { return true; },
        [&](const KoTest& k) {
            const ReportResult& report = campaign.reports[k.report];
            const std::string cause =
                test_cause_headline(test_cause_lines(report, static_cast<int>(k.test)));
            return message_ko_test(utf8(campaign.report_keys[k.report]),
                                   utf8(report.service_name(report.tests[k.test].service)),
                                   utf8(campaign.test_key(k.report, k.test))) +
                   (cause.empty() ? QString() : message_because(utf8(cause)));
        });
    list(
        text, ko_runs, [](std::size_t) { return true; },
        [&](std::size_t r) {
            for (const ServiceResult& service : campaign.reports[r].services) {
                if (!service.ok) {
                    return message_ko_run_by_service(utf8(campaign.report_keys[r]),
                                                     utf8(campaign.reports[r].text(service.name)));
                }
            }
            return message_ko_run(utf8(campaign.report_keys[r]));
        });
    return text;
}
