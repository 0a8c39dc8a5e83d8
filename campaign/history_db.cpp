#include "campaign/history_db.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <charconv>
#include <map>

namespace {

// Long enough for any other recording to finish: a writer holds the lock
// only while it writes what changed.
constexpr int kBusyTimeoutMs = 120000;

// The history's own advisory lock key on a PostgreSQL server ("qhst").
constexpr const char* kAdvisoryLock = "SELECT pg_advisory_xact_lock(1902670708)";

struct StatementDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
struct SqliteDeleter {
    void operator()(sqlite3* s) const { sqlite3_close_v2(s); }
};
struct PgDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct PgResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, PgResultDeleter>;

QString first_line(const char* message) {
    QString text = QString::fromUtf8(message).trimmed();
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    return end < 0 ? text : text.left(end).trimmed();
}

// "?" to "$1", "$2"...: the statements hold no "?" in their literals.
std::string numbered(const std::string& sql) {
    std::string out;
    int n = 0;
    for (char c : sql) {
        if (c == '?') {
            out += '$' + std::to_string(++n);
        } else {
            out += c;
        }
    }
    return out;
}

void ignore_notice(void*, const char*) {}

}  // namespace

struct DbConnection {
    std::unique_ptr<sqlite3, SqliteDeleter> sqlite;
    // Prepared once, kept for the connection's life; finalized before it closes.
    std::map<std::string, std::unique_ptr<sqlite3_stmt, StatementDeleter>> statements;
    std::unique_ptr<PGconn, PgDeleter> pg;

    ~DbConnection() { statements.clear(); }
};

Database::Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;
Database::~Database() = default;

bool is_postgres_target(const std::string& target) {
    return target.starts_with("postgresql://") || target.starts_with("postgres://");
}

std::int64_t to_int(const std::string& text) {
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool open_database(const std::string& target, bool create, Database* db, DbFailure* failure,
                   QString* error) {
    *failure = DbFailure::None;
    auto connection = std::make_unique<DbConnection>();
    if (is_postgres_target(target)) {
        db->kind = DbKind::Postgres;
        connection->pg.reset(PQconnectdb(target.c_str()));
        if (!connection->pg || PQstatus(connection->pg.get()) != CONNECTION_OK) {
            *failure = DbFailure::Unreachable;
            *error = connection->pg ? first_line(PQerrorMessage(connection->pg.get()))
                                    : QStringLiteral("out of memory");
            return false;
        }
        PQsetNoticeProcessor(connection->pg.get(), ignore_notice, nullptr);
        db->connection = std::move(connection);
        return true;
    }
    db->kind = DbKind::Sqlite;
    sqlite3* handle = nullptr;
    const int rc =
        sqlite3_open_v2(target.c_str(), &handle,
                        SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0), nullptr);
    connection->sqlite.reset(handle);
    if (rc != SQLITE_OK) {
        *failure = DbFailure::NotADatabase;
        *error = handle ? first_line(sqlite3_errmsg(handle)) : QStringLiteral("out of memory");
        return false;
    }
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    sqlite3_extended_result_codes(handle, 1);
    db->connection = std::move(connection);
    return true;
}

namespace {

struct IntegerSink {
    std::vector<std::int64_t>* values;
};

bool sqlite_exec(DbConnection& c, const std::string& sql, const std::vector<DbValue>& params,
                 std::vector<DbRow>* rows, QString* error, IntegerSink* integers = nullptr) {
    sqlite3* db = c.sqlite.get();
    auto found = c.statements.find(sql);
    if (found == c.statements.end()) {
        sqlite3_stmt* prepared = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &prepared, nullptr) !=
            SQLITE_OK) {
            *error = first_line(sqlite3_errmsg(db));
            return false;
        }
        found = c.statements.emplace(sql, prepared).first;
    }
    sqlite3_stmt* s = found->second.get();
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int at = static_cast<int>(i) + 1;
        const DbValue& p = params[i];
        if (const auto* n = std::get_if<std::int64_t>(&p)) {
            sqlite3_bind_int64(s, at, *n);
        } else if (const auto* t = std::get_if<std::string>(&p)) {
            sqlite3_bind_text(s, at, t->data(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
        } else if (const auto* b = std::get_if<QByteArray>(&p)) {
            sqlite3_bind_blob(s, at, b->constData(), static_cast<int>(b->size()), SQLITE_TRANSIENT);
        }
    }
    const int columns = sqlite3_column_count(s);
    for (;;) {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_DONE) {
            break;
        }
        if (rc != SQLITE_ROW) {
            *error = first_line(sqlite3_errmsg(db));
            sqlite3_reset(s);
            return false;
        }
        if (integers) {
            for (int i = 0; i < columns; ++i) {
                integers->values->push_back(sqlite3_column_int64(s, i));
            }
        }
        if (rows) {
            DbRow row;
            row.reserve(columns);
            for (int i = 0; i < columns; ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
                row.emplace_back(text ? text : "");
            }
            rows->push_back(std::move(row));
        }
    }
    sqlite3_reset(s);
    return true;
}

bool pg_exec(DbConnection& c, const std::string& sql, const std::vector<DbValue>& params,
             std::vector<DbRow>* rows, QString* error, IntegerSink* integers = nullptr) {
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size(), nullptr);
    std::vector<int> lengths(params.size(), 0);
    std::vector<int> formats(params.size(), 0);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const DbValue& p = params[i];
        if (const auto* n = std::get_if<std::int64_t>(&p)) {
            texts[i] = std::to_string(*n);
            values[i] = texts[i].c_str();
        } else if (const auto* t = std::get_if<std::string>(&p)) {
            values[i] = t->c_str();
        } else if (const auto* b = std::get_if<QByteArray>(&p)) {
            values[i] = b->constData();
            lengths[i] = static_cast<int>(b->size());
            formats[i] = 1;
        }
    }
    PgResult result(PQexecParams(c.pg.get(), numbered(sql).c_str(), static_cast<int>(params.size()),
                                 nullptr, values.data(), lengths.data(), formats.data(), 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        *error = first_line(PQerrorMessage(c.pg.get()));
        return false;
    }
    if (integers) {
        const int n = PQntuples(result.get());
        const int columns = PQnfields(result.get());
        integers->values->reserve(integers->values->size() +
                                  static_cast<std::size_t>(n) * static_cast<std::size_t>(columns));
        for (int r = 0; r < n; ++r) {
            for (int i = 0; i < columns; ++i) {
                const char* text = PQgetvalue(result.get(), r, i);
                std::int64_t value = 0;
                std::from_chars(text, text + PQgetlength(result.get(), r, i), value);
                integers->values->push_back(value);
            }
        }
    }
    if (rows) {
        const int n = PQntuples(result.get());
        const int columns = PQnfields(result.get());
        rows->reserve(rows->size() + n);
        for (int r = 0; r < n; ++r) {
            DbRow row;
            row.reserve(columns);
            for (int i = 0; i < columns; ++i) {
                row.emplace_back(PQgetvalue(result.get(), r, i));
            }
            rows->push_back(std::move(row));
        }
    }
    return true;
}

}  // namespace

bool db_exec_integers(Database& db, const std::string& sql, const std::vector<DbValue>& params,
                      std::vector<std::int64_t>* values, QString* error) {
    IntegerSink sink{values};
    return db.kind == DbKind::Postgres
               ? pg_exec(*db.connection, sql, params, nullptr, error, &sink)
               : sqlite_exec(*db.connection, sql, params, nullptr, error, &sink);
}

bool db_exec(Database& db, const std::string& sql, const std::vector<DbValue>& params,
             std::vector<DbRow>* rows, QString* error) {
    return db.kind == DbKind::Sqlite ? sqlite_exec(*db.connection, sql, params, rows, error)
                                     : pg_exec(*db.connection, sql, params, rows, error);
}

bool db_begin_write(Database& db, QString* error) {
    if (db.kind == DbKind::Sqlite) {
        return db_exec(db, "BEGIN IMMEDIATE", error);
    }
    return db_exec(db, "BEGIN", error) && db_exec(db, kAdvisoryLock, {}, nullptr, error);
}

bool db_commit(Database& db, QString* error) {
    return db_exec(db, "COMMIT", error);
}

void db_rollback(Database& db) {
    QString ignored;
    db_exec(db, "ROLLBACK", &ignored);
}

bool db_connection_lost(const Database& db) {
    return db.kind == DbKind::Postgres && PQstatus(db.connection->pg.get()) != CONNECTION_OK;
}
