#include "campaign/history_store.h"

#include "campaign/history_schema.h"
#include "campaign/provenance.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <unordered_set>

namespace {

// Rows per multi-row INSERT: well below either database's limit on
// parameters, and few round trips to a server.
constexpr std::size_t kBatchRows = 400;

struct ItemVerdict {
    std::int64_t id = 0;
    int verdict = kAbsent;
    int kind = kItemRun;
    std::string_view report;
    std::string_view service;
    std::string_view name;
};

// What the campaign says of every item, by id.
std::vector<ItemVerdict> verdicts_of(const Campaign& campaign) {
    std::vector<ItemVerdict> verdicts;
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        const std::string& key = campaign.report_keys[r];
        verdicts.push_back({history_item_id(kItemRun, key, "", ""),
                            report.run_ok ? kVerdictOk : kVerdictKo,
                            kItemRun,
                            key,
                            {},
                            {}});
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            const TestResult& test = report.tests[t];
            const std::string_view service = report.service_name(test.service);
            const std::string_view name = campaign.test_key(r, t);
            verdicts.push_back({history_item_id(kItemTest, key, service, name),
                                test.ok ? kVerdictOk : kVerdictKo, kItemTest, key, service, name});
        }
    }
    for (const Requirement& q : campaign.requirements) {
        verdicts.push_back({history_item_id(kItemRequirement, "", "", q.id),
                            q.verdict == RequirementVerdict::Ok   ? kVerdictOk
                            : q.verdict == RequirementVerdict::Ko ? kVerdictKo
                                                                  : kNotVerified,
                            kItemRequirement,
                            {},
                            {},
                            q.id});
    }
    std::sort(verdicts.begin(), verdicts.end(),
              [](const ItemVerdict& a, const ItemVerdict& b) { return a.id < b.id; });
    return verdicts;
}

// Runs "INSERT ... VALUES" + one "(?, ...)" group per row, kBatchRows at a
// time; values are moved out as they go. Every full batch has the same
// text, so the statement is built (and prepared) once.
bool insert_rows(Database& db, const std::string& head, int columns, std::vector<DbValue>& values,
                 const std::string& tail, std::vector<DbRow>* rows, QString* error) {
    const std::size_t total = values.size() / columns;
    std::string group = "(";
    for (int c = 0; c < columns; ++c) {
        group += c ? ", ?" : "?";
    }
    group += ")";
    const auto statement = [&](std::size_t count) {
        std::string sql = head;
        for (std::size_t i = 0; i < count; ++i) {
            sql += i ? ", " + group : group;
        }
        return sql + tail;
    };
    const std::string full = total >= kBatchRows ? statement(kBatchRows) : std::string();
    for (std::size_t first = 0; first < total; first += kBatchRows) {
        const std::size_t count = std::min(kBatchRows, total - first);
        const auto from = values.begin() + static_cast<std::ptrdiff_t>(first * columns);
        const std::vector<DbValue> batch(
            std::make_move_iterator(from),
            std::make_move_iterator(from + static_cast<std::ptrdiff_t>(count * columns)));
        if (!db_exec(db, count == kBatchRows ? full : statement(count), batch, rows, error)) {
            return false;
        }
    }
    return true;
}

bool stream_id(Database& db, const std::string& stream, std::int64_t* id, QString* error) {
    if (!db_exec(db, "INSERT INTO streams (name) VALUES (?) ON CONFLICT (name) DO NOTHING",
                 {stream}, nullptr, error)) {
        return false;
    }
    return find_stream(db, stream, id, error);
}

// The files' ids by path, for every path given: the paths not known yet are
// added. A batch of paths takes one statement, not one or two per path (a
// round trip each to a server).
bool file_ids(Database& db, const std::vector<std::string>& paths,
              std::map<std::string, std::int64_t>* ids, QString* error) {
    const auto look_up = [&](const std::vector<std::string>& wanted) {
        for (std::size_t first = 0; first < wanted.size(); first += kBatchRows) {
            const std::size_t count = std::min(kBatchRows, wanted.size() - first);
            std::string sql = "SELECT id, path FROM files WHERE path IN (";
            std::vector<DbValue> batch;
            for (std::size_t i = 0; i < count; ++i) {
                sql += i ? ", ?" : "?";
                batch.emplace_back(QByteArray::fromStdString(wanted[first + i]));
            }
            std::vector<DbRow> rows;
            if (!db_exec(db, sql + ")", batch, &rows, error)) {
                return false;
            }
            for (const DbRow& row : rows) {
                // PostgreSQL gives a BYTEA as text in hex, after "\x".
                const std::string path =
                    db.kind == DbKind::Postgres
                        ? QByteArray::fromHex(QByteArray::fromStdString(row[1]).mid(2))
                              .toStdString()
                        : row[1];
                (*ids)[path] = to_int(row[0]);
            }
        }
        return true;
    };
    if (!look_up(paths)) {
        return false;
    }
    std::vector<std::string> missing;
    std::vector<DbValue> values;
    for (const std::string& path : paths) {
        if (ids->find(path) == ids->end()) {
            missing.push_back(path);
            values.emplace_back(QByteArray::fromStdString(path));
        }
    }
    return missing.empty() || (insert_rows(db, "INSERT INTO files (path) VALUES ", 1, values,
                                           " ON CONFLICT (path) DO NOTHING", nullptr, error) &&
                               look_up(missing));
}

// The names of items gone from the campaign, by id.
bool names_of(Database& db, const std::vector<std::int64_t>& ids,
              std::map<std::int64_t, DbRow>* names, QString* error) {
    for (std::size_t first = 0; first < ids.size(); first += kBatchRows) {
        const std::size_t count = std::min(kBatchRows, ids.size() - first);
        std::string sql = "SELECT id, kind, report, service, name FROM items WHERE id IN (";
        std::vector<DbValue> batch;
        for (std::size_t i = 0; i < count; ++i) {
            sql += i ? ", ?" : "?";
            batch.emplace_back(ids[first + i]);
        }
        std::vector<DbRow> rows;
        if (!db_exec(db, sql + ")", batch, &rows, error)) {
            return false;
        }
        for (DbRow& row : rows) {
            (*names)[to_int(row[0])] = std::move(row);
        }
    }
    return true;
}

// Sorts one item's change of verdict as compare_with_baseline does: a listed
// requirement that is not verified counts as absent, and one that appeared
// KO is a regression too.
void note_change(int kind, int before, int now, const std::string& report,
                 const std::string& service, const std::string& name, Changes* changes) {
    const auto counted = [&](int verdict) {
        return kind == kItemRequirement && verdict == kNotVerified ? kAbsent : verdict;
    };
    before = counted(before);
    now = counted(now);
    std::vector<ChangeKind> kinds;
    if (before == kAbsent && now != kAbsent) {
        kinds.push_back(kAppeared);
        if (now == kVerdictKo) {
            kinds.push_back(kRegression);
        }
    } else if (before != kAbsent && now == kAbsent) {
        kinds.push_back(kDisappeared);
    } else if (before == kVerdictOk && now == kVerdictKo) {
        kinds.push_back(kRegression);
    } else if (before == kVerdictKo && now == kVerdictOk) {
        kinds.push_back(kFixed);
    }
    for (ChangeKind k : kinds) {
        switch (kind) {
            case kItemRun:
                changes->runs[k].push_back(report);
                break;
            case kItemTest:
                changes->tests[k].emplace_back(report, service, name);
                break;
            default:
                changes->requirements[k].push_back(name);
                break;
        }
    }
}

// The verdicts as they are written: only what changed since the stream's
// latest state, an item that is gone included. *diff, unless null, receives
// the same as compare_with_baseline would give against the previous
// campaign.
bool write_verdicts(Database& db, std::int64_t stream, std::int64_t seq, const Campaign& campaign,
                    Changes* diff, QString* error) {
    const std::vector<ItemVerdict> now = verdicts_of(campaign);
    std::vector<std::int64_t> values;
    if (!db_exec_integers(db, "SELECT item, verdict FROM state WHERE stream = ?", {stream}, &values,
                          error)) {
        return false;
    }
    std::vector<std::pair<std::int64_t, int>> before;
    before.reserve(values.size() / 2);
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        before.emplace_back(values[i], static_cast<int>(values[i + 1]));
    }
    values = {};
    std::sort(before.begin(), before.end());
    std::vector<DbValue> items;
    std::vector<DbValue> changes;
    std::vector<DbValue> states;
    std::vector<std::pair<std::int64_t, int>> gone;  // id, verdict before
    const auto changed = [&](std::int64_t item, int verdict) {
        changes.insert(changes.end(), {stream, item, seq, std::int64_t{verdict}});
        states.insert(states.end(), {stream, item, std::int64_t{verdict}, seq});
    };
    auto b = before.begin();
    const auto passed_over = [&] {
        if (b->second != kAbsent) {
            changed(b->first, kAbsent);
            gone.emplace_back(*b);
        }
    };
    for (const ItemVerdict& v : now) {
        for (; b != before.end() && b->first < v.id; ++b) {
            passed_over();
        }
        int was = kAbsent;
        if (b != before.end() && b->first == v.id) {
            was = b->second;
            ++b;
        } else {
            items.insert(items.end(), {v.id, std::int64_t{v.kind}, std::string(v.report),
                                       std::string(v.service), std::string(v.name)});
        }
        if (was != v.verdict) {
            changed(v.id, v.verdict);
            if (diff) {
                note_change(v.kind, was, v.verdict, std::string(v.report), std::string(v.service),
                            std::string(v.name), diff);
            }
        }
    }
    for (; b != before.end(); ++b) {
        passed_over();
    }
    std::vector<std::int64_t> gone_ids;
    for (const auto& [id, verdict] : gone) {
        gone_ids.push_back(id);
    }
    std::map<std::int64_t, DbRow> names;
    if (diff && !names_of(db, gone_ids, &names, error)) {
        return false;
    }
    for (const auto& [id, verdict] : gone) {
        const DbRow& row = names[id];
        if (row.size() == 5) {
            note_change(static_cast<int>(to_int(row[1])), verdict, kAbsent, row[2], row[3], row[4],
                        diff);
        }
    }
    // In key order, as compare_with_baseline gives them.
    for (int k = 0; diff && k < kChangeKinds; ++k) {
        std::sort(diff->runs[k].begin(), diff->runs[k].end());
        std::sort(diff->tests[k].begin(), diff->tests[k].end());
        std::sort(diff->requirements[k].begin(), diff->requirements[k].end());
    }
    return insert_rows(db, "INSERT INTO items (id, kind, report, service, name) VALUES ", 5, items,
                       " ON CONFLICT (id) DO NOTHING", nullptr, error) &&
           insert_rows(db, "INSERT INTO changes (stream, item, seq, verdict) VALUES ", 4, changes,
                       "", nullptr, error) &&
           insert_rows(db, "INSERT INTO state (stream, item, verdict, since) VALUES ", 4, states,
                       " ON CONFLICT (stream, item) DO UPDATE SET verdict = excluded.verdict,"
                       " since = excluded.since",
                       nullptr, error);
}

bool write_campaign(Database& db, const RecordRequest& request, const Campaign& campaign,
                    const std::vector<InputProvenance>& inputs, std::int64_t* seq,
                    CampaignHistory* history, std::optional<Changes>* changes, QString* error) {
    std::int64_t stream = 0;
    if (!stream_id(db, request.stream, &stream, error)) {
        return false;
    }
    std::vector<DbRow> rows;
    if (!db_exec(db, "SELECT COALESCE(MAX(seq), 0) + 1 FROM campaigns WHERE stream = ?", {stream},
                 &rows, error)) {
        return false;
    }
    *seq = to_int(rows.at(0).at(0));
    const CampaignCounts& n = campaign.counts;
    rows.clear();
    if (!db_exec(db,
                 "INSERT INTO campaigns (stream, seq, time, label, tool_version, ok, reports,"
                 " reports_ko, tests, tests_ok, tests_ko, requirements, requirements_ok,"
                 " requirements_ko, requirements_not_verified, problems)"
                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
                 {stream, *seq, request.time, request.label, request.tool_version,
                  std::int64_t{campaign.ok}, std::int64_t{n.reports}, std::int64_t{n.reports_ko},
                  std::int64_t{n.tests}, std::int64_t{n.tests_ok}, std::int64_t{n.tests_ko},
                  std::int64_t{n.requirements}, std::int64_t{n.requirements_ok},
                  std::int64_t{n.requirements_ko}, std::int64_t{n.requirements_not_verified},
                  std::int64_t{n.problems}},
                 &rows, error)) {
        return false;
    }
    const std::int64_t campaign_id = to_int(rows.at(0).at(0));
    // A stream's first campaign has no baseline: nothing to compare with.
    Changes diff;
    if (!write_verdicts(db, stream, *seq, campaign, *seq > 1 ? &diff : nullptr, error)) {
        return false;
    }
    if (*seq > 1) {
        *changes = std::move(diff);
    }
    std::vector<std::string> paths;
    for (const InputProvenance& input : inputs) {
        paths.push_back(input.path);
    }
    std::map<std::string, std::int64_t> files;
    if (!file_ids(db, paths, &files, error)) {
        return false;
    }
    std::vector<DbValue> provenance;
    std::unordered_set<std::int64_t> seen;  // a report named twice is one input
    for (const InputProvenance& input : inputs) {
        const std::int64_t file = files[input.path];
        if (seen.insert(file).second) {
            provenance.insert(provenance.end(), {campaign_id, file, input.size, input.sha256});
        }
    }
    return insert_rows(db, "INSERT INTO inputs (campaign, file, size, sha256) VALUES ", 4,
                       provenance, "", nullptr, error) &&
           read_campaign_history(db, request.stream, *seq, campaign, history, error);
}

}  // namespace

std::vector<InputProvenance> input_provenance(const Campaign& campaign) {
    std::vector<InputProvenance> inputs;
    inputs.reserve(campaign.reports.size());
    for (const ReportResult& report : campaign.reports) {
        InputProvenance input;
        input.path = report.real_path.empty() ? report.path : report.real_path;
        input.size = report.provenance.size;
        input.sha256 = QByteArray::fromHex(QByteArray::fromStdString(report.provenance.sha256));
        inputs.push_back(std::move(input));
    }
    return inputs;
}

std::string recording_time() {
    return generation_time();
}

bool find_stream(Database& db, const std::string& stream, std::int64_t* id, QString* error) {
    std::vector<DbRow> rows;
    if (!db_exec(db, "SELECT id FROM streams WHERE name = ?", {stream}, &rows, error)) {
        return false;
    }
    *id = rows.empty() ? 0 : to_int(rows[0][0]);
    return true;
}

bool record_campaign(Database& db, const RecordRequest& request, const Campaign& campaign,
                     const std::vector<InputProvenance>& inputs, std::int64_t* seq,
                     CampaignHistory* history, std::optional<Changes>* changes, QString* error) {
    if (!db_begin_write(db, error)) {
        return false;
    }
    if (!write_campaign(db, request, campaign, inputs, seq, history, changes, error) ||
        !db_commit(db, error)) {
        db_rollback(db);
        return false;
    }
    return true;
}
