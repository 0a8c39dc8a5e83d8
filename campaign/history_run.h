#pragma once
// The history as one campaign run uses it: open the database and read the
// stream's latest campaign as the baseline before the reports are read; once
// the campaign is built, record it and read back what the history adds.
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
    std::optional<Baseline> baseline;  // none when the stream has no campaign yet
};

enum class HistoryFailure { None, Input, Database };

// Opens target; on failure *problem is the whole line.
HistoryFailure open_history(const std::string& target, const std::string& stream, HistoryRun* run,
                            QString* problem);

// Records the campaign and fills *history.
HistoryFailure record_history(HistoryRun& run, const std::string& label,
                              const std::string& tool_version, const Campaign& campaign,
                              CampaignHistory* history, QString* problem);

// The open of the history command: the same checks; an SQLite file is
// never created.
HistoryFailure open_history_for_query(const std::string& target, Database* db, QString* problem);
