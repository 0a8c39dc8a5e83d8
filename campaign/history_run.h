#pragma once
// The history as one campaign run uses it: open the database before the
// reports are read; once the campaign is built, record it, with its changes
// since the stream's previous campaign (the baseline) and what the history
// adds.
//
// A database that is no history of ours is an input problem (status 3, the
// file left as it was); a server that cannot be reached, refuses us or goes
// away is a failure of the kind an output has (status 5): either way the
// campaign's outputs are still written.

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "campaign/history_db.h"
#include "campaign/history_view.h"

#include <QString>

#include <optional>
#include <string>

struct HistoryRun {
    std::string target;
    std::string stream;
    Database db;
    bool usable = false;
};

enum class HistoryFailure { None, Input, Database };

// Opens target; on failure *problem is the whole line.
HistoryFailure open_history(const std::string& target, const std::string& stream, HistoryRun* run,
                            QString* problem);

// Records the campaign and fills *history, and *changes unless this is the
// stream's first campaign.
HistoryFailure record_history(HistoryRun& run, const std::string& label,
                              const std::string& tool_version, const Campaign& campaign,
                              CampaignHistory* history, std::optional<Changes>* changes,
                              QString* problem);

// The open of the history command: the same checks; an SQLite file is
// never created.
HistoryFailure open_history_for_query(const std::string& target, Database* db, QString* problem);
