#include "campaign/history_store.h"

#include "campaign/history_schema.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QTimeZone>

#include <cstdlib>
#include <map>
#include <tuple>

namespace {

using ItemKey =
    std::tuple<int, std::string, std::string, std::string>;  // kind, report, service, name

// Rows per multi-row INSERT: well below either database's limit on
// parameters, and few round trips to a server.
constexpr std::size_t kBatchRows = 400;

// What the campaign says of every item, keyed as the history stores it.
std::map<ItemKey, int> verdicts_of(const Campaign& campaign) {
    std::map<ItemKey, int> verdicts;
    const Baseline now = baseline_of(campaign);
    for (const auto& [report, ok] : now.runs) {
        verdicts[{kItemRun, report, "", ""}] = ok ? kVerdictOk : kVerdictKo;
    }
    for (const auto& [id, ok] : now.tests) {
        const auto& [report, service, test] = id;
        verdicts[{kItemTest, report, service, test}] = ok ? kVerdictOk : kVerdictKo;
    }
    for (const Requirement& r : campaign.requirements) {
        verdicts[{kItemRequirement, "", "", r.id}] =
            r.verdict == RequirementVerdict::Ok   ? kVerdictOk
            : r.verdict == RequirementVerdict::Ko ? kVerdictKo
                                                  : kNotVerified;
    }
    return verdicts;
}

// Runs "INSERT ... VALUES" + one "(?, ...)" group per row, kBatchRows at a time.
bool insert_rows(Database& db, const std::string& head, int columns,
                 const std::vector<DbValue>& values, const std::string& tail,
                 std::vector<DbRow>* rows, QString* error) {
    const std::size_t total = values.size() / columns;
    std::string group = "(";
    for (int c = 0; c < columns; ++c) {
        group += c ? ", ?" : "?";
    }
    group += ")";
    for (std::size_t first = 0; first < total; first += kBatchRows) {
        const std::size_t count = std::min(kBatchRows, total - first);
        std::string sql = head;
        for (std::size_t i = 0; i < count; ++i) {
            sql += i ? ", " + group : group;
        }
        sql += tail;
        const std::vector<DbValue> batch(values.begin() + first * columns,
                                         values.begin() + (first + count) * columns);
        if (!db_exec(db, sql, batch, rows, error)) {
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

// The ids of the given items, adding those the history has not met yet.
bool item_ids(Database& db, const std::map<ItemKey, int>& verdicts,
              std::map<ItemKey, std::int64_t>* ids, QString* error) {
    std::vector<DbRow> rows;
    if (!db_exec(db, "SELECT id, kind, report, service, name FROM items", {}, &rows, error)) {
        return false;
    }
    for (const DbRow& row : rows) {
        (*ids)[{static_cast<int>(to_int(row[1])), row[2], row[3], row[4]}] = to_int(row[0]);
    }
    std::vector<DbValue> fresh;
    for (const auto& [key, verdict] : verdicts) {
        if (!ids->contains(key)) {
            const auto& [kind, report, service, name] = key;
            fresh.insert(fresh.end(), {std::int64_t{kind}, report, service, name});
        }
    }
    rows.clear();
    if (!insert_rows(db, "INSERT INTO items (kind, report, service, name) VALUES ", 4, fresh,
                     " RETURNING id, kind, report, service, name", &rows, error)) {
        return false;
    }
    for (const DbRow& row : rows) {
        (*ids)[{static_cast<int>(to_int(row[1])), row[2], row[3], row[4]}] = to_int(row[0]);
    }
    return true;
}

bool file_id(Database& db, const std::string& path, std::int64_t* id, QString* error) {
    const QByteArray bytes = QByteArray::fromStdString(path);
    std::vector<DbRow> rows;
    if (!db_exec(db, "SELECT id FROM files WHERE path = ?", {bytes}, &rows, error)) {
        return false;
    }
    if (rows.empty() &&
        !db_exec(db, "INSERT INTO files (path) VALUES (?) RETURNING id", {bytes}, &rows, error)) {
        return false;
    }
    *id = rows.empty() ? 0 : to_int(rows[0][0]);
    return true;
}

bool write_campaign(Database& db, const RecordRequest& request, const Campaign& campaign,
                    const std::vector<InputProvenance>& inputs, std::int64_t* seq, QString* error) {
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

    const std::map<ItemKey, int> verdicts = verdicts_of(campaign);
    std::map<ItemKey, std::int64_t> ids;
    std::map<std::int64_t, ItemState> states;
    if (!item_ids(db, verdicts, &ids, error) ||
        !read_item_states(db, stream, *seq - 1, &states, error)) {
        return false;
    }
    // Only what changed is written: a verdict other than the latest one, and
    // an item that is gone.
    std::vector<DbValue> changes;
    for (const auto& [key, verdict] : verdicts) {
        const std::int64_t item = ids.at(key);
        const auto state = states.find(item);
        if (state == states.end() || state->second.verdict != verdict) {
            changes.insert(changes.end(), {stream, item, *seq, std::int64_t{verdict}});
        }
        if (state != states.end()) {
            states.erase(state);
        }
    }
    for (const auto& [item, state] : states) {
        changes.insert(changes.end(), {stream, item, *seq, std::int64_t{kAbsent}});
    }
    if (!insert_rows(db, "INSERT INTO changes (stream, item, seq, verdict) VALUES ", 4, changes, "",
                     nullptr, error)) {
        return false;
    }
    std::vector<DbValue> provenance;
    std::map<std::int64_t, bool> seen;  // a report named twice is one input
    for (const InputProvenance& input : inputs) {
        std::int64_t file = 0;
        if (!file_id(db, input.path, &file, error)) {
            return false;
        }
        if (seen.emplace(file, true).second) {
            provenance.insert(provenance.end(), {campaign_id, file, input.size, input.sha256});
        }
    }
    return insert_rows(db, "INSERT INTO inputs (campaign, file, size, sha256) VALUES ", 4,
                       provenance, "", nullptr, error);
}

}  // namespace

std::vector<InputProvenance> input_provenance(const Campaign& campaign) {
    std::vector<InputProvenance> inputs;
    inputs.reserve(campaign.reports.size());
    for (const ReportResult& report : campaign.reports) {
        InputProvenance input;
        input.path = report.real_path.empty() ? report.path : report.real_path;
        input.size = -1;
        QFile file(QString::fromLocal8Bit(input.path));
        if (file.open(QIODevice::ReadOnly)) {
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (hash.addData(&file)) {
                input.size = file.size();
                input.sha256 = hash.result();
            }
        }
        inputs.push_back(std::move(input));
    }
    return inputs;
}

std::string recording_time() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    const QDateTime when =
        epoch && *epoch ? QDateTime::fromSecsSinceEpoch(std::strtoll(epoch, nullptr, 10), Qt::UTC)
                        : QDateTime::currentDateTimeUtc();
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")).toStdString();
}

bool find_stream(Database& db, const std::string& stream, std::int64_t* id, QString* error) {
    std::vector<DbRow> rows;
    if (!db_exec(db, "SELECT id FROM streams WHERE name = ?", {stream}, &rows, error)) {
        return false;
    }
    *id = rows.empty() ? 0 : to_int(rows[0][0]);
    return true;
}

bool read_item_states(Database& db, std::int64_t stream, std::int64_t seq,
                      std::map<std::int64_t, ItemState>* states, QString* error) {
    std::vector<DbRow> rows;
    if (!db_exec(db,
                 "SELECT item, verdict, seq FROM changes c WHERE stream = ? AND seq = ("
                 "SELECT MAX(seq) FROM changes d WHERE d.stream = c.stream AND d.item = c.item"
                 " AND d.seq <= ?)",
                 {stream, seq}, &rows, error)) {
        return false;
    }
    for (const DbRow& row : rows) {
        const int verdict = static_cast<int>(to_int(row[1]));
        if (verdict != kAbsent) {
            (*states)[to_int(row[0])] = {verdict, to_int(row[2])};
        }
    }
    return true;
}

bool read_history_baseline(Database& db, const std::string& stream, Baseline* baseline, bool* found,
                           QString* error) {
    *found = false;
    std::int64_t id = 0;
    std::vector<DbRow> rows;
    if (!find_stream(db, stream, &id, error) ||
        !db_exec(db, "SELECT COALESCE(MAX(seq), 0) FROM campaigns WHERE stream = ?", {id}, &rows,
                 error)) {
        return false;
    }
    const std::int64_t latest = to_int(rows.at(0).at(0));
    if (id == 0 || latest == 0) {
        return true;
    }
    std::map<std::int64_t, ItemState> states;
    rows.clear();
    if (!read_item_states(db, id, latest, &states, error) ||
        !db_exec(db, "SELECT id, kind, report, service, name FROM items", {}, &rows, error)) {
        return false;
    }
    for (const DbRow& row : rows) {
        const auto state = states.find(to_int(row[0]));
        // A listed requirement that was not verified counts as absent.
        if (state == states.end() || state->second.verdict == kNotVerified) {
            continue;
        }
        const bool ok = state->second.verdict == kVerdictOk;
        switch (to_int(row[1])) {
            case kItemRun:
                baseline->runs[row[2]] = ok;
                break;
            case kItemTest:
                baseline->tests[{row[2], row[3], row[4]}] = ok;
                break;
            default:
                baseline->requirements[row[4]] = ok;
                break;
        }
    }
    *found = true;
    return true;
}

bool record_campaign(Database& db, const RecordRequest& request, const Campaign& campaign,
                     const std::vector<InputProvenance>& inputs, std::int64_t* seq,
                     QString* error) {
    if (!db_begin_write(db, error)) {
        return false;
    }
    if (!write_campaign(db, request, campaign, inputs, seq, error) || !db_commit(db, error)) {
        db_rollback(db);
        return false;
    }
    return true;
}
