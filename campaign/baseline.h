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
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

using TestId = std::tuple<std::string, std::string, std::string>;  // report, service, test

// Each distinct name once, numbered in the order first met: a campaign names
// the same services, tests and requirements again and again.
class NameTable {
  public:
    NameTable() = default;
    NameTable(NameTable&&) = default;
    NameTable& operator=(NameTable&&) = default;

    std::uint32_t id(std::string_view name);
    std::string_view name(std::uint32_t id) const { return names_[id]; }
    std::size_t size() const { return names_.size(); }

  private:
    std::deque<std::string> names_;  // a deque never moves what it holds
    std::unordered_map<std::string_view, std::uint32_t> ids_;
};

// What the diff needs of an earlier campaign, in a few bytes per test.
struct Baseline {
    struct Verdict {
        std::uint32_t name;
        bool ok;
    };
    struct Run {
        std::uint32_t name;
        bool ok;
        std::uint32_t first_test;  // its tests: tests[first_test] to tests[end_test - 1]
        std::uint32_t end_test;
    };
    struct Test {
        std::uint32_t service;  // index into services
        std::uint32_t name;
        bool ok;
    };
    NameTable names;
    std::vector<Run> runs;                // in file order
    std::vector<std::uint32_t> services;  // every service's name, in file order
    std::vector<Test> tests;
    std::vector<Verdict> requirements;  // verified ones only
    std::string generated;              // when it was made; empty when it does not say
};

// Reads an earlier --json output (version 1 or 2, with or without its
// "generated" time), a piece at a time. On
// failure *error is the whole message line naming the file.
bool read_baseline(const std::string& path, Baseline* baseline, QString* error);

// Reads the same from the JSON text itself; on failure *error is the detail.
bool parse_baseline(const QByteArray& json, Baseline* baseline, QString* error);

enum ChangeKind { kRegression, kFixed, kAppeared, kDisappeared, kChangeKinds };

struct Changes {
    std::array<std::vector<std::string>, kChangeKinds> runs;
    std::array<std::vector<TestId>, kChangeKinds> tests;
    std::array<std::vector<std::string>, kChangeKinds> requirements;
};

// Both sides in key order. A key the baseline has twice counts as its last.
Changes compare_with_baseline(const Baseline& baseline, const Campaign& campaign);
