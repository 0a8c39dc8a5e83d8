#pragma once
// The history's tables, versioned. A database that holds nothing yet gets
// them; one that holds another program's tables, or a schema newer than this
// program's, is refused before anything is written to it; an older schema is
// migrated in one transaction.
//
// What is stored grows with change, not with the campaign's size: per stream
// and item (run, test or requirement), one row for each campaign in which its
// verdict changed (appearing and disappearing are changes too). A campaign in
// which nothing changed adds its own row and its inputs' provenance only.

#include "campaign/history_db.h"

#include <QString>

#include <cstdint>
#include <string_view>

constexpr int kHistorySchemaVersion = 1;

// The verdicts a change records.
enum HistoryVerdict : int { kAbsent = 0, kVerdictOk = 1, kVerdictKo = 2, kNotVerified = 3 };

// The kinds of items.
enum HistoryItemKind : int { kItemRun = 0, kItemTest = 1, kItemRequirement = 2 };

// The id of an item: a hash of its kind and names, the same in every
// database and stream.
std::int64_t history_item_id(int kind, std::string_view report, std::string_view service,
                             std::string_view name);

enum class SchemaCheck { Ready, NotAHistory, Newer, Failed };

// With create, an empty database gets the tables; without, it is left as it
// is and reported Ready (a query finds nothing in it). *error is set on
// anything but Ready (the database's message, or the version found).
SchemaCheck prepare_history_schema(Database& db, bool create, QString* error);
