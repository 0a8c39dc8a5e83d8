#pragma once
// Comparing the campaign with an earlier one, read back from the JSON summary
// that run wrote: which runs (by report key), tests (by report, service and
// test key) and requirements (by ID) went OK to KO, KO to OK, appeared or
// disappeared. One that appeared KO is a regression as well: the gate fails
// on every new failure. A listed requirement that is not verified counts as
// absent.

#include "campaign/campaign.h"

#include <QString>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using TestId = std::tuple<std::string, std::string, std::string>;  // report, service, test

struct Baseline {
    std::map<std::string, bool> runs;          // true when OK
    std::map<TestId, bool> tests;              // true when OK
    std::map<std::string, bool> requirements;  // verified ones only; true when OK
};

// Reads an earlier --json output. On failure *error is the whole message
// line naming the file.
bool read_baseline(const std::string& path, Baseline* baseline, QString* error);

// Reads the same from the JSON text itself; on failure *error is the detail.
bool parse_baseline(const QByteArray& json, Baseline* baseline, QString* error);

enum ChangeKind { kRegression, kFixed, kAppeared, kDisappeared, kChangeKinds };

struct Changes {
    std::array<std::vector<std::string>, kChangeKinds> runs;
    std::array<std::vector<TestId>, kChangeKinds> tests;
    std::array<std::vector<std::string>, kChangeKinds> requirements;
};

// Both sides in key order.
Changes compare_with_baseline(const Baseline& baseline, const Campaign& campaign);

// The baseline's view of a campaign: what the JSON summary of it records.
Baseline baseline_of(const Campaign& campaign);
