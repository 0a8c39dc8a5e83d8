#include "campaign/run.h"

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "campaign/csv_writer.h"
#include "campaign/exit_status.h"
#include "campaign/history_messages.h"
#include "campaign/history_run.h"
#include "campaign/html_writer.h"
#include "campaign/inputs.h"
#include "campaign/json_writer.h"
#include "campaign/junit_writer.h"
#include "campaign/messages.h"
#include "campaign/output_check.h"
#include "campaign/output_file.h"
#include "campaign/provenance.h"
#include "campaign/report_links.h"
#include "campaign/report_page_set.h"
#include "campaign/report_pool.h"
#include "campaign/requirement_list.h"
#include "campaign/summary.h"
#include "campaign/version.h"

#include <functional>
#include <optional>

namespace {

void print_problems(const QStringList& problems, FILE* err) {
    for (const QString& problem : problems) {
        print_text(problem + QLatin1Char('\n'), err);
    }
}

void print_changes(const Changes& changes, FILE* out) {
    print_text(message_changes(static_cast<int>(changes.tests[kRegression].size()),
                               static_cast<int>(changes.tests[kFixed].size()),
                               static_cast<int>(changes.tests[kAppeared].size()),
                               static_cast<int>(changes.tests[kDisappeared].size()),
                               static_cast<int>(changes.requirements[kRegression].size()),
                               static_cast<int>(changes.requirements[kFixed].size()),
                               static_cast<int>(changes.requirements[kAppeared].size()),
                               static_cast<int>(changes.requirements[kDisappeared].size())),
               out);
    for (const auto& [report, service, test] : changes.tests[kRegression]) {
        print_text(
            message_test_regression(QString::fromStdString(report), QString::fromStdString(service),
                                    QString::fromStdString(test)),
            out);
    }
    for (const std::string& report : changes.runs[kRegression]) {
        print_text(message_run_regression(QString::fromStdString(report)), out);
    }
    for (const std::string& id : changes.requirements[kRegression]) {
        print_text(message_requirement_regression(QString::fromStdString(id)), out);
    }
}

}  // namespace

int run_campaign(const CampaignOptions& options, FILE* out, FILE* err) {
    ResolvedInputs inputs = resolve_inputs(options.inputs, options.logs);
    std::vector<std::string> input_files = inputs.files;
    if (!options.requirements.empty()) {
        input_files.push_back(options.requirements);
    }
    if (!options.history.empty() && !is_postgres_target(options.history)) {
        input_files.push_back(options.history);  // no output may replace it
    }
    const std::vector<NamedOutput> named_outputs = {{"--html", options.html},
                                                    {"--csv", options.csv},
                                                    {"--junit", options.junit},
                                                    {"--json", options.json}};
    const QString refused = check_outputs(named_outputs, input_files, options.baseline);
    if (!refused.isEmpty()) {
        print_text(refused, err);
        return kExitUsage;
    }
    QStringList problems = inputs.problems;

    std::optional<std::vector<std::string>> listed;
    RequirementList list;
    if (!options.requirements.empty()) {
        QString problem;
        if (read_requirement_list(options.requirements, &list, &problem)) {
            listed = list.ids;
        } else {
            problems.append(problem);
        }
    }
    std::optional<Baseline> baseline;
    if (!options.baseline.empty()) {
        Baseline read;
        QString problem;
        if (read_baseline(options.baseline, &read, &problem)) {
            baseline = std::move(read);
        } else {
            problems.append(problem);
        }
    }

    // With a history, its latest campaign is the baseline, unless a
    // --baseline file is given as well (see below).
    HistoryRun history_run;
    bool history_failed = false;
    if (!options.history.empty()) {
        QString problem;
        switch (open_history(options.history, options.stream, &history_run, &problem)) {
            case HistoryFailure::None:
                break;
            case HistoryFailure::Input:
                problems.append(problem);
                break;
            case HistoryFailure::Database:
                print_text(problem + QLatin1Char('\n'), err);
                history_failed = true;
                break;
        }
    }

    ReadReports read = read_reports(inputs.reports, options.jobs);
    problems.append(read.problems);
    print_problems(problems, err);

    Campaign built = build_campaign(std::move(read.reports), listed, problems);
    set_requirement_titles(built, list.ids, list.titles);
    const Campaign& campaign = built;
    std::optional<Changes> changes;
    if (baseline) {
        changes = compare_with_baseline(*baseline, campaign);
    }
    std::optional<CampaignHistory> history;
    if (history_run.usable) {
        CampaignHistory recorded;
        std::optional<Changes> since_previous;
        QString problem;
        if (record_history(history_run, options.label, QUILLON_CAMPAIGN_VERSION, campaign,
                           &recorded, &since_previous, &problem) == HistoryFailure::None) {
            history = std::move(recorded);
            if (!baseline) {
                changes = std::move(since_previous);
            }
        } else {
            print_text(problem + QLatin1Char('\n'), err);
            history_failed = true;
        }
    }
    const Changes* changes_or_null = changes ? &*changes : nullptr;
    CampaignProvenance provenance{
        generation_time(), QUILLON_CAMPAIGN_VERSION, options.arguments, {}, {}};
    if (baseline) {
        provenance.baseline = options.baseline;
        provenance.baseline_generated = baseline->generated;
    }

    // Each output is made only when asked for, and written on its own: one
    // that fails does not keep the others from being written.
    // The report pages first: the campaign page links to them.
    bool output_failed = false;
    const std::string pages_folder = !options.pages.empty() ? options.pages
                                     : !options.html.empty() && !written_into(options.html)
                                         ? default_pages_folder(options.html)
                                         : std::string();
    ReportPageSet pages;
    if (!pages_folder.empty()) {
        pages = render_report_pages(campaign, pages_folder, installed_report_stylesheet(),
                                    options.jobs);
        print_problems(pages.problems, err);
        output_failed = !pages.problems.isEmpty();
    }

    const std::pair<const std::string*, std::function<void(XmlStream&)>> outputs[] = {
        {&options.html,
         [&](XmlStream& out) {
             write_campaign_html(out, campaign, provenance, changes_or_null,
                                 report_links(campaign, folder_of_page(options.html), pages.pages),
                                 history ? &*history : nullptr);
         }},
        {&options.csv, [&](XmlStream& out) { write_campaign_csv(out, campaign); }},
        {&options.junit, [&](XmlStream& out) { write_campaign_junit(out, campaign); }},
        {&options.json,
         [&](XmlStream& out) {
             write_campaign_json(out, campaign, provenance, changes_or_null,
                                 history ? &*history : nullptr);
         }},
    };
    for (const auto& [path, write] : outputs) {
        if (path->empty()) {
            continue;
        }
        QString problem;
        if (!write_output(*path, write, &problem)) {
            print_text(problem + QLatin1Char('\n'), err);
            output_failed = true;
        }
    }

    if (!options.quiet) {
        print_text(campaign_summary(campaign), out);
        if (changes) {
            print_changes(*changes, out);
        }
        if (history) {
            print_text(history_summary(*history), out);
        }
    }
    return campaign_exit_status(campaign, changes_or_null, options.fail_on,
                                output_failed || history_failed);
}
