#include "campaign/baseline.h"

#include "campaign/json_reader.h"
#include "campaign/messages.h"
#include "campaign/open_by_name.h"

#include <QFile>

#include <algorithm>

namespace {

// Walks a summary token by token straight into the baseline. Both versions
// are read by their shapes: version 1 writes services, tests and
// requirements as objects, version 2 as arrays whose first members are the
// name and the verdict. Members the diff does not need are passed over, in
// whatever order an object has them, and a value of an unexpected kind is
// passed over too, as if absent.
class SummaryWalk {
  public:
    SummaryWalk(JsonReader& json, Baseline& baseline) : json_(json), baseline_(baseline) {}

    bool summary(QString* error);

  private:
    bool reports(JsonToken token);
    bool report();
    bool services(JsonToken token);
    bool tests(JsonToken token, std::uint32_t service);
    bool test(JsonToken token, std::uint32_t service);
    bool requirements(JsonToken token);
    bool requirement(JsonToken token);
    // The name and verdict of the array or object just begun, the rest
    // handed to more (given the member's key, or "" in an array, and its
    // first token) or passed over.
    template <typename More>
    bool name_and_verdict(JsonToken token, std::string* name, std::string* verdict, More more);
    template <typename Each>
    bool array(JsonToken token, Each each);

    JsonReader& json_;
    Baseline& baseline_;
};

template <typename Each>
bool SummaryWalk::array(JsonToken token, Each each) {
    if (token != JsonToken::ArrayStart) {
        return json_.skip(token);
    }
    for (JsonToken item = json_.next(); item != JsonToken::ArrayEnd; item = json_.next()) {
        if (item == JsonToken::Error || !each(item)) {
            return false;
        }
    }
    return true;
}

template <typename More>
bool SummaryWalk::name_and_verdict(JsonToken token, std::string* name, std::string* verdict,
                                   More more) {
    if (token == JsonToken::ArrayStart) {  // version 2: [name, verdict, ...]
        int index = 0;
        return array(token, [&](JsonToken item) {
            std::string* text = index == 0 ? name : index == 1 ? verdict : nullptr;
            ++index;
            if (text != nullptr && item == JsonToken::String) {
                *text = json_.text();
                return true;
            }
            return text == nullptr ? more(std::string(), item) : json_.skip(item);
        });
    }
    if (token != JsonToken::ObjectStart) {
        return json_.skip(token);
    }
    for (JsonToken key = json_.next(); key != JsonToken::ObjectEnd; key = json_.next()) {
        if (key != JsonToken::Key) {
            return false;
        }
        const std::string member = json_.text();
        const JsonToken value = json_.next();
        std::string* text = member == "name" || member == "id" ? name
                            : member == "verdict"              ? verdict
                                                               : nullptr;
        if (text != nullptr && value == JsonToken::String) {
            *text = json_.text();
        } else if (!(text == nullptr ? more(member, value) : json_.skip(value))) {
            return false;
        }
    }
    return true;
}

bool SummaryWalk::summary(QString* error) {
    std::string format;
    std::string version;
    JsonToken token = json_.next();
    bool walked = true;
    if (token == JsonToken::ObjectStart) {
        while (walked && (token = json_.next()) == JsonToken::Key) {
            const std::string member = json_.text();
            const JsonToken value = json_.next();
            if ((member == "format" && value == JsonToken::String) ||
                (member == "version" && value == JsonToken::Number)) {
                (member == "format" ? format : version) = json_.text();
            } else if (member == "generated" && value == JsonToken::String) {
                baseline_.generated = json_.text();
            } else if (member == "reports") {
                walked = reports(value);
            } else if (member == "requirements") {
                walked = requirements(value);
            } else {
                walked = json_.skip(value);
            }
        }
        walked = walked && token == JsonToken::ObjectEnd;
    } else {
        walked = json_.skip(token);  // JSON, but no summary
    }
    // The walk stops early only where the text stops being JSON.
    if (!walked || json_.next() != JsonToken::End) {
        *error = message_baseline_not_json(json_.error());
        return false;
    }
    if (format != "quillon-campaign" || (version != "1" && version != "2")) {
        *error = message_baseline_wrong_format();
        return false;
    }
    return true;
}

bool SummaryWalk::reports(JsonToken token) {
    return array(token, [&](JsonToken item) {
        return item == JsonToken::ObjectStart ? report() : json_.skip(item);
    });
}

bool SummaryWalk::report() {
    // The report's name may come after its tests: they point at its entry,
    // which is filled in at the end.
    const auto index = static_cast<std::uint32_t>(baseline_.runs.size());
    const auto first_test = static_cast<std::uint32_t>(baseline_.tests.size());
    baseline_.runs.push_back({0, false, first_test, first_test});
    std::string name;
    std::string verdict;
    for (JsonToken key = json_.next(); key != JsonToken::ObjectEnd; key = json_.next()) {
        if (key != JsonToken::Key) {
            return false;
        }
        const std::string member = json_.text();
        const JsonToken value = json_.next();
        if ((member == "name" || member == "verdict") && value == JsonToken::String) {
            (member == "name" ? name : verdict) = json_.text();
        } else if (!(member == "services" ? services(value) : json_.skip(value))) {
            return false;
        }
    }
    baseline_.runs[index] = {baseline_.names.id(name), verdict == "OK", first_test,
                             static_cast<std::uint32_t>(baseline_.tests.size())};
    return true;
}

bool SummaryWalk::services(JsonToken token) {
    return array(token, [&](JsonToken item) {
        const auto index = static_cast<std::uint32_t>(baseline_.services.size());
        baseline_.services.push_back(0);
        std::string name;
        std::string verdict;
        int member = 0;  // of an array, after the name and verdict
        const bool walked =
            name_and_verdict(item, &name, &verdict, [&](const std::string& key, JsonToken value) {
                const bool tests_member = key.empty() ? member++ == 0 : key == "tests";
                return tests_member ? tests(value, index) : json_.skip(value);
            });
        baseline_.services[index] = baseline_.names.id(name);
        return walked;
    });
}

bool SummaryWalk::tests(JsonToken token, std::uint32_t service) {
    return array(token, [&](JsonToken item) { return test(item, service); });
}

bool SummaryWalk::test(JsonToken token, std::uint32_t service) {
    std::string name;
    std::string verdict;
    if (!name_and_verdict(token, &name, &verdict,
                          [&](const std::string&, JsonToken value) { return json_.skip(value); })) {
        return false;
    }
    if (token == JsonToken::ArrayStart || token == JsonToken::ObjectStart) {
        baseline_.tests.push_back({service, baseline_.names.id(name), verdict == "OK"});
    }
    return true;
}

bool SummaryWalk::requirements(JsonToken token) {
    return array(token, [&](JsonToken item) { return requirement(item); });
}

bool SummaryWalk::requirement(JsonToken token) {
    std::string id;
    std::string verdict;
    if (!name_and_verdict(token, &id, &verdict,
                          [&](const std::string&, JsonToken value) { return json_.skip(value); })) {
        return false;
    }
    if (verdict == "OK" || verdict == "KO") {
        baseline_.requirements.push_back({baseline_.names.id(id), verdict == "OK"});
    }
    return true;
}

// An entry of one side, its key made of the ranks of its names.
struct Entry {
    std::uint32_t key[2];
    std::uint32_t index;  // into the side's runs, tests or requirements
    bool ok;
};

bool key_less(const Entry& a, const Entry& b) {
    return a.key[0] != b.key[0] ? a.key[0] < b.key[0] : a.key[1] < b.key[1];
}

bool same_key(const Entry& a, const Entry& b) {
    return a.key[0] == b.key[0] && a.key[1] == b.key[1];
}

// Per name of each side, its rank among the names of both in byte order.
struct Ranks {
    std::vector<std::uint32_t> before;
    std::vector<std::uint32_t> now;
};

Ranks rank_names(const NameTable& before, const NameTable& now) {
    constexpr std::uint32_t kNowSide = 0x80000000u;
    std::vector<std::pair<std::string_view, std::uint32_t>> all;  // name, side bit + id
    all.reserve(before.size() + now.size());
    for (std::uint32_t id = 0; id < before.size(); ++id) {
        all.emplace_back(before.name(id), id);
    }
    for (std::uint32_t id = 0; id < now.size(); ++id) {
        all.emplace_back(now.name(id), id | kNowSide);
    }
    std::sort(all.begin(), all.end());
    Ranks ranks;
    ranks.before.resize(before.size());
    ranks.now.resize(now.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i > 0 && all[i].first != all[i - 1].first) {
            ++rank;
        }
        const std::uint32_t id = all[i].second & ~kNowSide;
        ((all[i].second & kNowSide) != 0 ? ranks.now : ranks.before)[id] = rank;
    }
    return ranks;
}

// Sorted by key; of entries with the same key, the last one given stands,
// as when a map is written over.
void sort_entries(std::vector<Entry>& entries) {
    std::stable_sort(entries.begin(), entries.end(), key_less);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && same_key(entries[i + 1], entries[i])) {
            continue;
        }
        entries[kept++] = entries[i];
    }
    entries.resize(kept);
}

// Walks both sides in key order at once, sorting each key into its change;
// name(is_now, entry) gives what the change lists hold.
template <typename Item, typename Name>
void compare_entries(const std::vector<Entry>& before, const std::vector<Entry>& now,
                     std::array<std::vector<Item>, kChangeKinds>& sink, Name name) {
    auto b = before.begin();
    auto n = now.begin();
    while (b != before.end() || n != now.end()) {
        if (n == now.end() || (b != before.end() && key_less(*b, *n))) {
            sink[kDisappeared].push_back(name(false, *b));
            ++b;
        } else if (b == before.end() || key_less(*n, *b)) {
            sink[kAppeared].push_back(name(true, *n));
            if (!n->ok) {
                sink[kRegression].push_back(name(true, *n));  // a new failure fails the gate too
            }
            ++n;
        } else {
            if (b->ok && !n->ok) {
                sink[kRegression].push_back(name(true, *n));
            } else if (!b->ok && n->ok) {
                sink[kFixed].push_back(name(true, *n));
            }
            ++b;
            ++n;
        }
    }
}

// The campaign's names, each once, in the table the ranks are made from.
struct CampaignNames {
    NameTable names;
    std::vector<std::uint32_t> reports;                // per report
    std::vector<std::vector<std::uint32_t>> services;  // per report and service
    std::vector<std::vector<std::uint32_t>> tests;     // per report and test
    std::vector<Baseline::Verdict> requirements;       // verified ones only
};

CampaignNames name_campaign(const Campaign& campaign) {
    CampaignNames now;
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        now.reports.push_back(now.names.id(campaign.report_keys[r]));
        std::vector<std::uint32_t>& services = now.services.emplace_back();
        services.reserve(report.services.size());
        for (const ServiceResult& service : report.services) {
            services.push_back(now.names.id(report.text(service.name)));
        }
        std::vector<std::uint32_t>& tests = now.tests.emplace_back();
        tests.reserve(report.tests.size());
        for (const TextRef key : campaign.test_keys[r]) {
            tests.push_back(now.names.id(report.text(key)));
        }
    }
    for (const Requirement& requirement : campaign.requirements) {
        if (requirement.verdict != RequirementVerdict::NotVerified) {
            now.requirements.push_back(
                {now.names.id(requirement.id), requirement.verdict == RequirementVerdict::Ok});
        }
    }
    return now;
}

std::vector<Entry> verdict_entries(const std::vector<Baseline::Verdict>& verdicts,
                                   const std::vector<std::uint32_t>& ranks) {
    std::vector<Entry> entries;
    entries.reserve(verdicts.size());
    for (std::uint32_t i = 0; i < verdicts.size(); ++i) {
        entries.push_back({{ranks[verdicts[i].name], 0}, i, verdicts[i].ok});
    }
    sort_entries(entries);
    return entries;
}

}  // namespace

std::uint32_t NameTable::id(std::string_view name) {
    const auto found = ids_.find(name);
    if (found != ids_.end()) {
        return found->second;
    }
    const auto id = static_cast<std::uint32_t>(names_.size());
    ids_.emplace(names_.emplace_back(name), id);
    return id;
}

bool parse_baseline(const QByteArray& json, Baseline* baseline, QString* error) {
    JsonReader reader(json);
    return SummaryWalk(reader, *baseline).summary(error);
}

bool read_baseline(const std::string& path, Baseline* baseline, QString* error) {
    QFile file;
    QString why;
    if (!open_by_name(path, &file, &why)) {
        *error = message_cannot_read(shown_file_name(path), why);
        return false;
    }
    JsonReader reader(file);
    if (!SummaryWalk(reader, *baseline).summary(&why)) {
        *error = message_bad_baseline(shown_file_name(path), why);
        return false;
    }
    return true;
}

Changes compare_with_baseline(const Baseline& baseline, const Campaign& campaign) {
    const CampaignNames now = name_campaign(campaign);
    const Ranks ranks = rank_names(baseline.names, now.names);
    const auto before_name = [&](std::uint32_t id) { return std::string(baseline.names.name(id)); };
    Changes changes;

    // Runs: by key, the baseline's in file order so that a key it has
    // twice keeps its tests from both, and its verdict from the last.
    std::vector<Entry> before_runs;
    for (std::uint32_t i = 0; i < baseline.runs.size(); ++i) {
        before_runs.push_back({{ranks.before[baseline.runs[i].name], 0}, i, baseline.runs[i].ok});
    }
    std::stable_sort(before_runs.begin(), before_runs.end(), key_less);
    std::vector<Entry> now_runs;
    for (std::uint32_t r = 0; r < now.reports.size(); ++r) {
        now_runs.push_back({{ranks.now[now.reports[r]], 0}, r, campaign.reports[r].run_ok});
    }
    std::sort(now_runs.begin(), now_runs.end(), key_less);
    std::vector<Entry> last_runs = before_runs;
    sort_entries(last_runs);
    compare_entries(last_runs, now_runs, changes.runs, [&](bool is_now, const Entry& e) {
        return is_now ? campaign.report_keys[e.index] : before_name(baseline.runs[e.index].name);
    });

    // Tests: one report key at a time, in key order, which keeps the lists
    // in (report, service, test) order and what is held to one report.
    std::vector<Entry> before_tests;
    std::vector<Entry> now_tests;
    auto b = before_runs.begin();
    auto n = now_runs.begin();
    while (b != before_runs.end() || n != now_runs.end()) {
        const std::uint32_t key = n == now_runs.end()      ? b->key[0]
                                  : b == before_runs.end() ? n->key[0]
                                                           : std::min(b->key[0], n->key[0]);
        before_tests.clear();
        now_tests.clear();
        std::string report;
        for (; b != before_runs.end() && b->key[0] == key; ++b) {
            const Baseline::Run& run = baseline.runs[b->index];
            report = before_name(run.name);
            for (std::uint32_t t = run.first_test; t < run.end_test; ++t) {
                const Baseline::Test& test = baseline.tests[t];
                before_tests.push_back(
                    {{ranks.before[baseline.services[test.service]], ranks.before[test.name]},
                     t,
                     test.ok});
            }
        }
        std::uint32_t r = 0;
        if (n != now_runs.end() && n->key[0] == key) {
            r = n->index;
            report = campaign.report_keys[r];
            const ReportResult& result = campaign.reports[r];
            for (std::uint32_t t = 0; t < result.tests.size(); ++t) {
                const TestResult& test = result.tests[t];
                now_tests.push_back(
                    {{ranks.now[now.services[r][test.service]], ranks.now[now.tests[r][t]]},
                     t,
                     test.ok});
            }
            ++n;
        }
        sort_entries(before_tests);
        sort_entries(now_tests);
        compare_entries(before_tests, now_tests, changes.tests, [&](bool is_now, const Entry& e) {
            if (is_now) {
                const ReportResult& result = campaign.reports[r];
                return TestId{report,
                              std::string(result.service_name(result.tests[e.index].service)),
                              std::string(campaign.test_key(r, e.index))};
            }
            const Baseline::Test& test = baseline.tests[e.index];
            return TestId{report, before_name(baseline.services[test.service]),
                          before_name(test.name)};
        });
    }

    compare_entries(verdict_entries(baseline.requirements, ranks.before),
                    verdict_entries(now.requirements, ranks.now), changes.requirements,
                    [&](bool is_now, const Entry& e) {
                        return is_now ? std::string(now.names.name(now.requirements[e.index].name))
                                      : before_name(baseline.requirements[e.index].name);
                    });
    return changes;
}
