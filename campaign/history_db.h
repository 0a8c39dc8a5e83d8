#pragma once
// The thin layer the history speaks SQL through: one connection to either an
// SQLite file (embedded) or a PostgreSQL server (a postgresql:// URL, the
// password taken from the URL, PGPASSWORD or ~/.pgpass by libpq itself).
//
// Statements are written once with "?" placeholders; the PostgreSQL side
// numbers them. Results come back as text. Every function returns false on
// failure with the database's own message in *error.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

enum class DbKind { Sqlite, Postgres };

// Why an open failed: the target is no usable history (status 3), or the
// server could not be reached or refused us (status 5).
enum class DbFailure { None, NotADatabase, Unreachable };

using DbValue = std::variant<std::monostate, std::int64_t, std::string, QByteArray>;
using DbRow = std::vector<std::string>;

struct DbConnection;  // the backend's handle, closed when the Database goes

struct Database {
    DbKind kind = DbKind::Sqlite;
    std::unique_ptr<DbConnection> connection;

    Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    ~Database();
};

bool is_postgres_target(const std::string& target);

// Opens target. SQLite: creates the file when missing and create is set;
// waits for another writer rather than failing; the file is not written to
// here.
bool open_database(const std::string& target, bool create, Database* db, DbFailure* failure,
                   QString* error);

// Runs one statement; rows (when not null) receives what it returns.
bool db_exec(Database& db, const std::string& sql, const std::vector<DbValue>& params,
             std::vector<DbRow>* rows, QString* error);
// The same for a statement whose columns are all integers, row after row in
// *values: no text per value, for the hundreds of thousands of rows of a
// large campaign.
bool db_exec_integers(Database& db, const std::string& sql, const std::vector<DbValue>& params,
                      std::vector<std::int64_t>* values, QString* error);
inline bool db_exec(Database& db, const std::string& sql, QString* error) {
    return db_exec(db, sql, {}, nullptr, error);
}

// The write transaction: SQLite takes the write lock at once (BEGIN
// IMMEDIATE, so that two writers queue instead of one failing later);
// PostgreSQL takes the history's advisory lock, which queues writers the
// same way.
bool db_begin_write(Database& db, QString* error);
bool db_commit(Database& db, QString* error);
void db_rollback(Database& db);

// Whether the connection is still alive (a server may go away midway).
bool db_connection_lost(const Database& db);

std::int64_t to_int(const std::string& text);
