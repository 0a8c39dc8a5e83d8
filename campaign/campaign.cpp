#include "campaign/campaign.h"

#include "campaign/natural_order.h"
#include "campaign/parallel.h"

#include "i18n/local8bit.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace {

// The folder part of a path: everything up to its last '/'.
std::string_view folder_of(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

// The deepest folder holding every path of the group (canonical paths).
std::string_view common_folder(const std::vector<ReportResult>& reports,
                               const std::vector<std::size_t>& group) {
    std::string_view common = folder_of(reports[group.front()].real_path);
    for (const std::size_t r : group) {
        const std::string_view path = reports[r].real_path;
        while (!(path.starts_with(common) &&
                 (path.size() == common.size() || path[common.size()] == '/'))) {
            common = folder_of(common);
        }
    }
    return common;
}

std::vector<std::string> unique_report_keys(const std::vector<ReportResult>& reports) {
    std::map<std::string, std::vector<std::size_t>> by_name;
    for (std::size_t r = 0; r < reports.size(); ++r) {
        by_name[reports[r].name].push_back(r);
    }
    std::vector<std::string> keys(reports.size());
    for (const auto& [name, group] : by_name) {
        if (group.size() == 1) {
            keys[group.front()] = name;
            continue;
        }
        const std::size_t skip = common_folder(reports, group).size() + 1;
        for (const std::size_t r : group) {
            const std::string_view below = std::string_view(reports[r].real_path).substr(skip);
            keys[r] = name + " (" + local8bit_decode(below).toStdString() + ")";
        }
    }
    return unique_keys(keys);
}

// Keys are made per group of tests of services of the same name; a test
// alone in its group, or whose group has no two names alike, is its own key.
// The keys made anew are kept with the report's texts.
std::vector<TextRef> unique_test_keys(ReportResult& report) {
    std::vector<int> group_of_service(report.services.size());
    int groups = 0;
    {
        std::unordered_map<std::string_view, int> group_of_name;
        for (std::size_t s = 0; s < report.services.size(); ++s) {
            group_of_service[s] =
                group_of_name.try_emplace(report.text(report.services[s].name), groups)
                    .first->second;
            groups += group_of_service[s] == groups ? 1 : 0;
        }
    }
    // The tests of each group in report order, group after group.
    std::vector<std::size_t> start(groups + 1, 0);
    for (const TestResult& test : report.tests) {
        ++start[group_of_service[test.service] + 1];
    }
    for (int g = 0; g < groups; ++g) {
        start[g + 1] += start[g];
    }
    std::vector<std::size_t> order(report.tests.size());
    std::vector<std::size_t> next(start.begin(), start.end() - 1);
    for (std::size_t t = 0; t < report.tests.size(); ++t) {
        order[next[group_of_service[report.tests[t].service]]++] = t;
    }

    std::vector<TextRef> keys(report.tests.size());
    std::vector<std::pair<std::size_t, std::string>> made;
    std::unordered_set<std::string_view> seen;
    std::vector<std::string> names;
    for (int g = 0; g < groups; ++g) {
        seen.clear();
        for (std::size_t i = start[g]; i < start[g + 1]; ++i) {
            keys[order[i]] = report.tests[order[i]].name;
            seen.insert(report.text(report.tests[order[i]].name));
        }
        if (seen.size() == start[g + 1] - start[g]) {
            continue;
        }
        names.clear();
        for (std::size_t i = start[g]; i < start[g + 1]; ++i) {
            names.emplace_back(report.text(report.tests[order[i]].name));
        }
        names = unique_keys(names);
        for (std::size_t i = start[g]; i < start[g + 1]; ++i) {
            if (names[i - start[g]] != report.text(report.tests[order[i]].name)) {
                made.emplace_back(order[i], std::move(names[i - start[g]]));
            }
        }
    }
    for (const auto& [test, key] : made) {
        keys[test] = report.add_text(key);
    }
    return keys;
}

// Gathers the occurrences of every ID in report order.
std::vector<Requirement> gather_requirements(const std::vector<ReportResult>& reports) {
    std::unordered_map<std::string_view, std::size_t> index;
    std::vector<Requirement> requirements;
    index.reserve(reports.empty() ? 0 : reports.front().requirements.size());
    for (std::size_t r = 0; r < reports.size(); ++r) {
        const auto& occurrences = reports[r].requirements;
        for (std::size_t o = 0; o < occurrences.size(); ++o) {
            const std::string_view id = reports[r].text(occurrences[o].id);
            const auto [it, added] = index.try_emplace(id, requirements.size());
            if (added) {
                requirements.push_back(
                    {std::string(id), RequirementVerdict::Ok, 0, 0, false, {}, {}});
            }
            Requirement& requirement = requirements[it->second];
            requirement.places.push_back({static_cast<int>(r), static_cast<int>(o)});
            if (occurrences[o].ok) {
                ++requirement.ok_count;
            } else {
                ++requirement.ko_count;
                requirement.verdict = RequirementVerdict::Ko;
            }
        }
    }
    return requirements;
}

void apply_list(std::vector<Requirement>& requirements, const std::vector<std::string>& listed) {
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < requirements.size(); ++i) {
        index.emplace(requirements[i].id, i);
    }
    for (const std::string& id : listed) {
        const auto it = index.find(id);
        if (it != index.end()) {
            requirements[it->second].listed = true;
        } else {
            index.emplace(id, requirements.size());
            requirements.push_back({id, RequirementVerdict::NotVerified, 0, 0, true, {}, {}});
        }
    }
}

// Each requirement's places KO first, then by report key in natural order,
// then in the order the report names them. Reports are ranked once, so a
// place costs an integer comparison.
void order_places(Campaign& campaign) {
    const std::vector<int> by_key = reports_in_natural_order(campaign);
    std::vector<int> rank(by_key.size());
    for (std::size_t i = 0; i < by_key.size(); ++i) {
        rank[by_key[i]] = static_cast<int>(i);
    }
    const auto ko = [&](const RequirementPlace& place) {
        return !campaign.reports[place.report].requirements[place.occurrence].ok;
    };
    for (Requirement& requirement : campaign.requirements) {
        std::sort(requirement.places.begin(), requirement.places.end(),
                  [&](const RequirementPlace& a, const RequirementPlace& b) {
                      if (ko(a) != ko(b)) {
                          return ko(a);
                      }
                      if (a.report != b.report) {
                          return rank[a.report] < rank[b.report];
                      }
                      return a.occurrence < b.occurrence;
                  });
    }
}

CampaignCounts count(const Campaign& campaign) {
    CampaignCounts counts;
    counts.reports = static_cast<int>(campaign.reports.size());
    for (const ReportResult& report : campaign.reports) {
        counts.reports_ko += report.run_ok ? 0 : 1;
        for (const TestResult& test : report.tests) {
            ++(test.ok ? counts.tests_ok : counts.tests_ko);
        }
    }
    counts.tests = counts.tests_ok + counts.tests_ko;
    counts.requirements = static_cast<int>(campaign.requirements.size());
    for (const Requirement& requirement : campaign.requirements) {
        switch (requirement.verdict) {
            case RequirementVerdict::Ko:
                ++counts.requirements_ko;
                break;
            case RequirementVerdict::NotVerified:
                ++counts.requirements_not_verified;
                break;
            case RequirementVerdict::Ok:
                ++counts.requirements_ok;
                break;
        }
        if (campaign.has_requirement_list && !requirement.listed) {
            ++counts.requirements_unlisted;
        }
    }
    counts.problems = static_cast<int>(campaign.problems.size());
    return counts;
}

}  // namespace

std::vector<std::string> unique_keys(const std::vector<std::string>& names) {
    const std::unordered_set<std::string> given(names.begin(), names.end());
    std::unordered_set<std::string> taken;
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        std::string key = name;
        int n = 1;
        while (!taken.insert(key).second) {
            do {
                key = name + " #" + std::to_string(++n);
            } while (given.contains(key));
        }
        keys.push_back(std::move(key));
    }
    return keys;
}

const char* verdict_word(RequirementVerdict verdict) {
    switch (verdict) {
        case RequirementVerdict::Ko:
            return "KO";
        case RequirementVerdict::NotVerified:
            return "not verified";
        case RequirementVerdict::Ok:
            break;
    }
    return "OK";
}

Campaign build_campaign(std::vector<ReportResult> reports,
                        const std::optional<std::vector<std::string>>& listed,
                        QStringList problems) {
    Campaign campaign;
    campaign.reports = std::move(reports);
    campaign.report_keys = unique_report_keys(campaign.reports);
    // A report's test keys are its own business: made on every core.
    campaign.test_keys.resize(campaign.reports.size());
    run_in_parallel(static_cast<int>(campaign.reports.size()), 0,
                    [&](int r) { campaign.test_keys[r] = unique_test_keys(campaign.reports[r]); });
    campaign.requirements = gather_requirements(campaign.reports);
    order_places(campaign);
    campaign.has_requirement_list = listed.has_value();
    if (listed) {
        apply_list(campaign.requirements, *listed);
    }
    std::sort(campaign.requirements.begin(), campaign.requirements.end(),
              [](const Requirement& a, const Requirement& b) {
                  return a.verdict != b.verdict ? a.verdict < b.verdict : a.id < b.id;
              });
    campaign.problems = std::move(problems);
    campaign.counts = count(campaign);
    const CampaignCounts& c = campaign.counts;
    campaign.ok = c.reports_ko == 0 && c.tests_ko == 0 && c.requirements_ko == 0 &&
                  c.requirements_not_verified == 0 && c.problems == 0;
    return campaign;
}

void set_requirement_titles(Campaign& campaign, const std::vector<std::string>& ids,
                            const std::vector<std::string>& titles) {
    std::unordered_map<std::string_view, const std::string*> title_of;
    for (std::size_t i = 0; i < ids.size() && i < titles.size(); ++i) {
        if (!titles[i].empty()) {
            title_of.try_emplace(ids[i], &titles[i]);
        }
    }
    for (Requirement& requirement : campaign.requirements) {
        const auto it = title_of.find(requirement.id);
        if (it != title_of.end()) {
            requirement.title = *it->second;
        }
    }
}

std::vector<int> reports_in_natural_order(const Campaign& campaign) {
    std::vector<int> order(campaign.reports.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return natural_less(campaign.report_keys[a], campaign.report_keys[b]);
    });
    return order;
}

std::string place_text(const Campaign& campaign, const RequirementPlace& place,
                       const std::string& separator) {
    const ReportResult& report = campaign.reports[place.report];
    const RequirementOccurrence& occurrence = report.requirements[place.occurrence];
    std::string text = campaign.report_keys[place.report];
    if (occurrence.service >= 0) {
        (text += separator) += report.service_name(occurrence.service);
    }
    if (occurrence.test >= 0) {
        (text += separator) += campaign.test_key(place.report, occurrence.test);
    }
    if (occurrence.element.size > 0) {
        (text += separator) += report.text(occurrence.element);
    }
    return text;
}
