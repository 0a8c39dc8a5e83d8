#pragma once
// Recording a campaign into the history, with its changes since the
// stream's previous campaign.

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "campaign/history_db.h"
#include "campaign/history_view.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where one input report came from, as recorded: computed before the write
// transaction starts, so that the lock is held only while writing.
struct InputProvenance {
    std::string path;  // canonical, bytes
    std::int64_t size = 0;
    QByteArray sha256;  // raw, 32 bytes
};

struct RecordRequest {
    std::string stream;
    std::string label;
    std::string time;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"
    std::string tool_version;
};

// Provenance of every report read: the size and SHA-256 of the bytes the
// reader read and hashed, so no report is read twice.
std::vector<InputProvenance> input_provenance(const Campaign& campaign);

// The time of the recording: generation_time() (provenance.h), which is
// $SOURCE_DATE_EPOCH when set (reproducible runs), else now.
std::string recording_time();

// Records the campaign as the stream's next and reads what the history adds
// to it, in one transaction; *seq is its number in the stream (1 for the
// first). *changes receives the changes since the stream's previous
// campaign, the baseline (none for the first): what compare_with_baseline
// gives, found from the verdicts that changed, without a map of every name.
bool record_campaign(Database& db, const RecordRequest& request, const Campaign& campaign,
                     const std::vector<InputProvenance>& inputs, std::int64_t* seq,
                     CampaignHistory* history, std::optional<Changes>* changes, QString* error);

// The stream's id, 0 when it has none.
bool find_stream(Database& db, const std::string& stream, std::int64_t* id, QString* error);
