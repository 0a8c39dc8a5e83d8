#include "campaign/history_view.h"

#include "campaign/history_store.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace {

using Changes_ = std::vector<std::pair<std::int64_t, int>>;  // seq, verdict; by seq

char verdict_letter(int verdict) {
    switch (verdict) {
        case kVerdictOk:
            return 'O';
        case kVerdictKo:
            return 'K';
        case kNotVerified:
            return 'N';
        default:
            return '-';
    }
}

// The verdict an item had in campaign seq: its latest change up to it.
int verdict_at(const Changes_& changes, std::int64_t seq, std::int64_t* since = nullptr) {
    int verdict = kAbsent;
    for (const auto& [at, v] : changes) {
        if (at > seq) {
            break;
        }
        verdict = v;
        if (since) {
            *since = at;
        }
    }
    return verdict;
}

// Fills the item's state in campaign window.back() from its changes;
// refs finds a campaign by number.
template <typename FindRef>
void fill_item(HistoryItem* item, const Changes_& changes, const std::vector<std::int64_t>& window,
               const FindRef& refs) {
    char last = 0;
    for (std::int64_t seq : window) {
        const char letter = verdict_letter(verdict_at(changes, seq));
        item->strip += letter;
        if (letter != '-') {
            item->flips += last && letter != last ? 1 : 0;
            last = letter;
        }
    }
    item->flaky = item->flips > kFlakyAbove;
    std::int64_t since = 0;
    const std::int64_t now = window.empty() ? 0 : window.back();
    item->verdict = static_cast<HistoryVerdict>(verdict_at(changes, now, &since));
    if (item->verdict == kVerdictKo) {
        item->ko_since = refs(since);
        item->ko_campaigns = static_cast<int>(now - since + 1);
    }
}

HistoryCampaignRef ref_of(const DbRow& row) {
    return {to_int(row[0]), row[1], row[2]};
}

HistoryVerdict verdict_of(RequirementVerdict verdict) {
    return verdict == RequirementVerdict::Ok   ? kVerdictOk
           : verdict == RequirementVerdict::Ko ? kVerdictKo
                                               : kNotVerified;
}

}  // namespace

// Reads only what the campaign's items need: the changes of the last
// kHistoryWindow campaigns but the first (and, for the items they touch,
// their verdict in the first), and since when each KO item is KO. An item
// with no change in the window after its first campaign kept the verdict it
// has now all along.
bool read_campaign_history(Database& db, const std::string& stream_name, std::int64_t seq,
                           const Campaign& campaign, CampaignHistory* history, QString* error) {
    history->stream = stream_name;
    std::int64_t stream = 0;
    std::vector<DbRow> rows;
    if (!find_stream(db, stream_name, &stream, error) ||
        !db_exec(db,
                 "SELECT seq, time, label, ok, requirements_ok, requirements_ko,"
                 " requirements_not_verified FROM campaigns WHERE stream = ? AND seq <= ?"
                 " ORDER BY seq DESC LIMIT ?",
                 {stream, seq, std::int64_t{kTrendLength}}, &rows, error)) {
        return false;
    }
    std::map<std::int64_t, HistoryCampaignRef> refs;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        HistoryTrendPoint point;
        point.campaign = ref_of(*row);
        point.ok = (*row)[3] == "1";
        point.requirements_ok = static_cast<int>(to_int((*row)[4]));
        point.requirements_ko = static_cast<int>(to_int((*row)[5]));
        point.requirements_not_verified = static_cast<int>(to_int((*row)[6]));
        refs[point.campaign.seq] = point.campaign;
        history->trend.push_back(std::move(point));
    }
    if (history->trend.empty()) {
        return true;
    }
    history->campaign = history->trend.back().campaign;
    if (history->trend.size() > 1) {
        history->previous = history->trend[history->trend.size() - 2].campaign;
    }
    std::vector<std::int64_t> window;
    const std::size_t size = history->trend.size();
    for (std::size_t i = size > kHistoryWindow ? size - kHistoryWindow : 0; i < size; ++i) {
        window.push_back(history->trend[i].campaign.seq);
    }
    const std::int64_t first = window.front();

    // Every change after the window's first campaign, as (item, seq,
    // verdict) ordered by item then seq; and the KO items, with the campaign
    // their KO run began. An item that did not change after the first
    // campaign kept its verdict of now all along the window.
    std::vector<std::int64_t> window_rows;
    std::vector<std::int64_t> ko_rows;
    if (!db_exec_integers(db,
                          "SELECT item, seq, verdict FROM changes WHERE stream = ? AND seq > ?"
                          " AND seq <= ?",
                          {stream, first, seq}, &window_rows, error) ||
        // The state is this campaign's: it is read inside the transaction
        // that recorded it.
        !db_exec_integers(db, "SELECT item, since FROM state WHERE stream = ? AND verdict = ?",
                          {stream, std::int64_t{kVerdictKo}}, &ko_rows, error)) {
        return false;
    }
    struct Change {
        std::int64_t item;
        std::int64_t seq;
        int verdict;
        bool operator<(const Change& o) const {
            return item != o.item ? item < o.item : seq < o.seq;
        }
    };
    std::vector<Change> all;
    const auto add_rows = [&](std::vector<std::int64_t>& values) {
        for (std::size_t i = 0; i + 2 < values.size(); i += 3) {
            all.push_back({values[i], values[i + 1], static_cast<int>(values[i + 2])});
        }
        values = {};
    };
    add_rows(window_rows);
    std::sort(all.begin(), all.end());
    // Those that changed had, until then, the verdict of their latest
    // change up to the first campaign: looked up by batches of their ids.
    // (So a young stream, all of whose items appeared in its first
    // campaign, reads only what changed since.)
    std::vector<std::int64_t> later;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i == 0 || all[i - 1].item != all[i].item) {
            later.push_back(all[i].item);
        }
    }
    const std::size_t in_window = all.size();
    constexpr std::size_t kBatch = 400;
    for (std::size_t from = 0; from < later.size(); from += kBatch) {
        const std::size_t count = std::min(kBatch, later.size() - from);
        std::string sql =
            "SELECT c.item, c.seq, c.verdict FROM changes c WHERE c.stream = ? AND c.seq ="
            " (SELECT MAX(seq) FROM changes d WHERE d.stream = c.stream AND d.item = c.item"
            " AND d.seq <= ?) AND c.item IN (";
        std::vector<DbValue> params = {stream, first};
        for (std::size_t i = 0; i < count; ++i) {
            sql += i ? ", ?" : "?";
            params.emplace_back(later[from + i]);
        }
        std::vector<std::int64_t> before_rows;
        if (!db_exec_integers(db, sql + ")", params, &before_rows, error)) {
            return false;
        }
        add_rows(before_rows);
    }
    std::sort(all.begin() + static_cast<std::ptrdiff_t>(in_window), all.end());
    std::inplace_merge(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(in_window),
                       all.end());
    std::vector<std::pair<std::int64_t, std::int64_t>> ko_since;
    for (std::size_t i = 0; i + 1 < ko_rows.size(); i += 2) {
        ko_since.emplace_back(ko_rows[i], ko_rows[i + 1]);
    }
    std::sort(ko_since.begin(), ko_since.end());
    const auto changes_of = [&](std::int64_t id) {
        const auto from = std::lower_bound(all.begin(), all.end(), Change{id, 0, 0});
        auto to = from;
        while (to != all.end() && to->item == id) {
            ++to;
        }
        return std::make_pair(from, to);
    };

    QString lookup_error;
    const auto find_ref = [&](std::int64_t at) {
        auto found = refs.find(at);
        if (found == refs.end()) {
            std::vector<DbRow> one;
            db_exec(db, "SELECT seq, time, label FROM campaigns WHERE stream = ? AND seq = ?",
                    {stream, at}, &one, &lookup_error);
            found = refs.emplace(at, one.empty() ? HistoryCampaignRef{at, {}, {}} : ref_of(one[0]))
                        .first;
        }
        return found->second;
    };
    // Fills *out, except for an OK test that did not change in the window:
    // there is nothing to show of it.
    // Fills *out, except for an OK test whose verdict did not flip in the
    // window: there is nothing to show of it.
    const auto item_of = [&](int kind, const std::string& report, const std::string& service,
                             const std::string& name, HistoryVerdict verdict,
                             std::optional<HistoryItem>* out) {
        const std::int64_t id = history_item_id(kind, report, service, name);
        const auto [from, to] = changes_of(id);
        if (kind == kItemTest && verdict != kVerdictKo) {
            int flips = 0;
            int last = kAbsent;
            for (auto c = from; c != to; ++c) {
                flips += c->verdict != kAbsent && last != kAbsent && c->verdict != last ? 1 : 0;
                last = c->verdict == kAbsent ? last : c->verdict;
            }
            if (flips == 0) {
                return;
            }
        }
        HistoryItem& item = out->emplace();
        item.kind = static_cast<HistoryItemKind>(kind);
        item.report = report;
        item.service = service;
        item.name = name;
        if (from != to) {
            Changes_ changes;
            for (auto c = from; c != to; ++c) {
                changes.emplace_back(c->seq, c->verdict);
            }
            fill_item(&item, changes, window, find_ref);
            return;
        }
        item.verdict = verdict;
        item.strip.assign(window.size(), verdict_letter(verdict));
        const auto since =
            std::lower_bound(ko_since.begin(), ko_since.end(), std::make_pair(id, std::int64_t{0}));
        if (verdict == kVerdictKo && since != ko_since.end() && since->first == id) {
            item.ko_since = find_ref(since->second);
            item.ko_campaigns = static_cast<int>(seq - since->second + 1);
        }
    };

    std::vector<HistoryItem> tests;
    for (const Requirement& r : campaign.requirements) {
        std::optional<HistoryItem> item;
        item_of(kItemRequirement, "", "", r.id, verdict_of(r.verdict), &item);
        history->requirements.push_back(std::move(*item));
    }
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            const TestResult& test = report.tests[t];
            std::optional<HistoryItem> item;
            item_of(kItemTest, campaign.report_keys[r],
                    std::string(report.service_name(test.service)),
                    std::string(campaign.test_key(r, t)), test.ok ? kVerdictOk : kVerdictKo, &item);
            if (!item) {
                continue;
            }
            if (item->verdict == kVerdictKo) {
                history->ko_tests.push_back(*item);
            }
            tests.push_back(std::move(*item));
        }
    }
    for (const std::vector<HistoryItem>* items : {&history->requirements, &tests}) {
        for (const HistoryItem& item : *items) {
            const char before = item.strip.size() > 1 ? item.strip[item.strip.size() - 2] : '-';
            if (item.verdict == kVerdictKo) {
                (before == 'K' ? history->still_failing : history->newly_failing).push_back(item);
            } else if (item.verdict == kVerdictOk && before == 'K') {
                history->fixed.push_back(item);
            }
            if (item.flaky) {
                history->flaky.push_back(item);
            }
        }
    }
    if (!lookup_error.isEmpty()) {
        *error = lookup_error;
        return false;
    }
    return true;
}

bool list_history_campaigns(Database& db, const std::string& stream,
                            std::vector<HistoryCampaignRow>* list, QString* error) {
    std::vector<DbRow> rows;
    std::string sql =
        "SELECT c.seq, c.time, c.label, s.name, c.tool_version, c.ok, c.reports, c.reports_ko,"
        " c.tests, c.tests_ok, c.tests_ko, c.requirements, c.requirements_ok, c.requirements_ko,"
        " c.requirements_not_verified, c.problems FROM campaigns c JOIN streams s"
        " ON s.id = c.stream";
    std::vector<DbValue> params;
    if (!stream.empty()) {
        sql += " WHERE s.name = ?";
        params.emplace_back(stream);
    }
    if (!db_exec(db, sql + " ORDER BY s.name, c.seq", params, &rows, error)) {
        return false;
    }
    for (const DbRow& row : rows) {
        HistoryCampaignRow item;
        item.campaign = ref_of(row);
        item.stream = row[3];
        item.tool_version = row[4];
        item.ok = row[5] == "1";
        int* const counts[] = {&item.counts.reports,
                               &item.counts.reports_ko,
                               &item.counts.tests,
                               &item.counts.tests_ok,
                               &item.counts.tests_ko,
                               &item.counts.requirements,
                               &item.counts.requirements_ok,
                               &item.counts.requirements_ko,
                               &item.counts.requirements_not_verified,
                               &item.counts.problems};
        for (std::size_t i = 0; i < std::size(counts); ++i) {
            *counts[i] = static_cast<int>(to_int(row[6 + i]));
        }
        list->push_back(std::move(item));
    }
    return true;
}

bool read_item_story(Database& db, const std::string& stream_name, HistoryItemKind kind,
                     const std::string& report, const std::string& service, const std::string& name,
                     HistoryStory* story, bool* found, QString* error) {
    *found = false;
    std::int64_t stream = 0;
    if (!find_stream(db, stream_name, &stream, error)) {
        return false;
    }
    if (stream == 0) {
        return true;
    }
    std::vector<DbRow> campaigns;
    std::vector<DbRow> rows;
    if (!db_exec(db, "SELECT seq, time, label FROM campaigns WHERE stream = ? ORDER BY seq",
                 {stream}, &campaigns, error) ||
        !db_exec(db, "SELECT seq, verdict FROM changes WHERE stream = ? AND item = ? ORDER BY seq",
                 {stream, history_item_id(kind, report, service, name)}, &rows, error)) {
        return false;
    }
    Changes_ changes;
    for (const DbRow& row : rows) {
        changes.emplace_back(to_int(row[0]), static_cast<int>(to_int(row[1])));
    }
    *found = !changes.empty();
    std::map<std::int64_t, HistoryCampaignRef> refs;
    std::vector<std::int64_t> window;
    for (const DbRow& row : campaigns) {
        const HistoryCampaignRef ref = ref_of(row);
        refs[ref.seq] = ref;
        story->verdicts.emplace_back(ref,
                                     static_cast<HistoryVerdict>(verdict_at(changes, ref.seq)));
        window.push_back(ref.seq);
    }
    if (window.size() > kHistoryWindow) {
        window.erase(window.begin(), window.end() - kHistoryWindow);
    }
    story->item.kind = kind;
    story->item.report = report;
    story->item.service = service;
    story->item.name = name;
    fill_item(&story->item, changes, window, [&](std::int64_t at) { return refs[at]; });
    return true;
}

bool find_test_item(Database& db, const std::string& text, std::string* report,
                    std::string* service, std::string* name, bool* found, QString* error) {
    std::vector<DbRow> rows;
    if (!db_exec(db, "SELECT report, service, name FROM items WHERE kind = ? ORDER BY id",
                 {std::int64_t{kItemTest}}, &rows, error)) {
        return false;
    }
    const auto match = std::find_if(rows.begin(), rows.end(), [&](const DbRow& row) {
        return row[0] + "/" + row[1] + "/" + row[2] == text;
    });
    *found = match != rows.end();
    if (*found) {
        *report = (*match)[0];
        *service = (*match)[1];
        *name = (*match)[2];
    }
    return true;
}

bool keep_history_campaigns(Database& db, const std::string& stream_name, std::int64_t keep,
                            std::int64_t* removed, QString* error) {
    *removed = 0;
    if (!db_begin_write(db, error)) {
        return false;
    }
    const auto fail = [&] {
        db_rollback(db);
        return false;
    };
    std::int64_t stream = 0;
    std::vector<DbRow> rows;
    if (!find_stream(db, stream_name, &stream, error) ||
        !db_exec(db,
                 "SELECT seq FROM campaigns WHERE stream = ? ORDER BY seq DESC LIMIT 1 OFFSET ?",
                 {stream, keep - 1}, &rows, error)) {
        return fail();
    }
    if (rows.empty()) {
        return db_commit(db, error) || fail();
    }
    const std::int64_t first = to_int(rows[0][0]);
    std::vector<DbRow> count;
    // Each item's verdict in the first campaign kept becomes a change of
    // that campaign, so that what is kept reads the same as before.
    const char* const steps[] = {
        "UPDATE changes SET seq = ? WHERE stream = ? AND seq < ? AND seq = (SELECT MAX(seq)"
        " FROM changes d WHERE d.stream = changes.stream AND d.item = changes.item AND d.seq <= ?)",
        "DELETE FROM changes WHERE stream = ? AND (seq < ? OR (seq = ? AND verdict = 0))",
        "DELETE FROM inputs WHERE campaign IN (SELECT id FROM campaigns WHERE stream = ? AND seq < "
        "?)",
        "DELETE FROM files WHERE id NOT IN (SELECT file FROM inputs)",
        "UPDATE state SET since = ? WHERE stream = ? AND since < ?",
    };
    if (!db_exec(db, "SELECT COUNT(*) FROM campaigns WHERE stream = ? AND seq < ?", {stream, first},
                 &count, error) ||
        !db_exec(db, steps[0], {first, stream, first, first}, nullptr, error) ||
        !db_exec(db, steps[1], {stream, first, first}, nullptr, error) ||
        !db_exec(db, steps[2], {stream, first}, nullptr, error) ||
        !db_exec(db, steps[3], {}, nullptr, error) ||
        !db_exec(db, steps[4], {first, stream, first}, nullptr, error) ||
        !db_exec(db, "DELETE FROM campaigns WHERE stream = ? AND seq < ?", {stream, first}, nullptr,
                 error) ||
        !db_commit(db, error)) {
        return fail();
    }
    *removed = to_int(count.at(0).at(0));
    return true;
}

const char* history_verdict_word(int verdict) {
    switch (verdict) {
        case kVerdictOk:
            return "OK";
        case kVerdictKo:
            return "KO";
        case kNotVerified:
            return "not verified";
        default:
            return "absent";
    }
}
