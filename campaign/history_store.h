#pragma once
// Recording a campaign into the history, and reading back the stream's
// latest campaign as the baseline of the next.

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "campaign/history_db.h"
#include "campaign/history_view.h"

#include <QByteArray>

#include <cstdint>
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

// Provenance of every report read (size and digest of the file as it is
// now; an unreadable file gets size -1 and an empty digest).
std::vector<InputProvenance> input_provenance(const Campaign& campaign);

// The time of the recording: $SOURCE_DATE_EPOCH when set (reproducible
// runs), else now.
std::string recording_time();

// The verdicts of the stream's latest campaign; *found is false when the
// stream has none yet.
bool read_history_baseline(Database& db, const std::string& stream, Baseline* baseline, bool* found,
                           QString* error);

// Records the campaign as the stream's next and reads what the history adds
// to it, in one transaction; *seq is its number in the stream (1 for the
// first).
bool record_campaign(Database& db, const RecordRequest& request, const Campaign& campaign,
                     const std::vector<InputProvenance>& inputs, std::int64_t* seq,
                     CampaignHistory* history, QString* error);

// The stream's id, 0 when it has none.
bool find_stream(Database& db, const std::string& stream, std::int64_t* id, QString* error);
