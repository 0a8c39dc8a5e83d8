#pragma once
// What the history adds to a campaign once it is recorded: per requirement
// and per KO test, since when it is KO, its last verdicts and how often they
// flipped; the lists of the newly failing, still failing, flaky and fixed;
// and the trend of requirement counts per campaign. The page, the JSON and
// standard output show it; nothing here knows how.
//
// Also each item's whole story, for the history command.

#include "campaign/campaign.h"
#include "campaign/history_db.h"
#include "campaign/history_schema.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How many campaigns a strip shows and flips are counted over.
constexpr int kHistoryWindow = 20;
// An item is flaky when its verdict flipped more often than this in the window.
constexpr int kFlakyAbove = 3;
// How many campaigns the trend goes back.
constexpr int kTrendLength = 100;

struct HistoryCampaignRef {
    std::int64_t seq = 0;  // the campaign's number in its stream, from 1
    std::string time;      // UTC, "YYYY-MM-DDTHH:MM:SSZ"
    std::string label;     // --label, may be empty
};

struct HistoryItem {
    HistoryItemKind kind = kItemRequirement;
    std::string report;                // tests: the report key
    std::string service;               // tests: the service name
    std::string name;                  // requirements: the ID; tests: the test key
    HistoryVerdict verdict = kAbsent;  // in this campaign
    // When KO: the first campaign of the run of KO verdicts that goes on
    // now, and how many campaigns that run holds (this one included).
    std::optional<HistoryCampaignRef> ko_since;
    int ko_campaigns = 0;
    // The verdicts of the last kHistoryWindow campaigns (fewer when the
    // stream is younger), oldest first, this one last: 'O' OK, 'K' KO, 'N'
    // not verified, '-' absent.
    std::string strip;
    // Times a verdict differed from the one before it in strip (absences
    // skipped).
    int flips = 0;
    bool flaky = false;  // flips > kFlakyAbove
};

// A verdict as the JSON and the history command write it: "OK", "KO",
// "not verified" or "absent".
const char* history_verdict_word(int verdict);

struct HistoryTrendPoint {
    HistoryCampaignRef campaign;
    bool ok = false;
    int requirements_ok = 0;
    int requirements_ko = 0;
    int requirements_not_verified = 0;
};

struct CampaignHistory {
    std::string stream;
    HistoryCampaignRef campaign;                 // this one, as recorded
    std::optional<HistoryCampaignRef> previous;  // the stream's campaign before it
    std::vector<HistoryItem> requirements;       // every requirement, in the campaign's order
    std::vector<HistoryItem> ko_tests;           // every KO test, in report order
    // Requirements first, then tests, in the orders above.
    std::vector<HistoryItem> newly_failing;  // KO now, not KO in the previous campaign
    std::vector<HistoryItem> still_failing;  // KO now and before (see ko_since, ko_campaigns)
    std::vector<HistoryItem> flaky;          // any verdict now
    std::vector<HistoryItem> fixed;          // OK now, KO in the previous campaign
    std::vector<HistoryTrendPoint>
        trend;  // up to kTrendLength campaigns, oldest first, this one last
};

// The history of campaign, recorded as number seq of stream: read inside
// the transaction that records it (see record_campaign), so that no other
// recording comes between.
bool read_campaign_history(Database& db, const std::string& stream, std::int64_t seq,
                           const Campaign& campaign, CampaignHistory* history, QString* error);

// One line of the campaign list.
struct HistoryCampaignRow {
    HistoryCampaignRef campaign;
    std::string stream;
    std::string tool_version;
    bool ok = false;
    CampaignCounts counts;
};

// Every campaign, by stream then number; only stream's when not empty.
bool list_history_campaigns(Database& db, const std::string& stream,
                            std::vector<HistoryCampaignRow>* rows, QString* error);

// One item's story in a stream: its verdict in each campaign, oldest first.
struct HistoryStory {
    HistoryItem item;  // its state in the stream's latest campaign
    std::vector<std::pair<HistoryCampaignRef, HistoryVerdict>> verdicts;
};

// *found is false when the stream never met the item.
bool read_item_story(Database& db, const std::string& stream, HistoryItemKind kind,
                     const std::string& report, const std::string& service, const std::string& name,
                     HistoryStory* story, bool* found, QString* error);

// The item of a "REPORT/SERVICE/TEST" text (names may hold "/" themselves:
// the whole text is matched). *found is false when none matches.
bool find_test_item(Database& db, const std::string& text, std::string* report,
                    std::string* service, std::string* name, bool* found, QString* error);

// Removes all but the last keep campaigns of stream, with what only they
// recorded, in one transaction; *removed says how many went.
bool keep_history_campaigns(Database& db, const std::string& stream, std::int64_t keep,
                            std::int64_t* removed, QString* error);
