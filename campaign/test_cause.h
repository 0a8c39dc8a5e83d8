#pragma once
// Why a KO test failed, in words, from what its report holds: one line per
// KO element ("KO element NAME"), per KO requirement of the test ("KO
// requirement ID: VALUE", or the ID alone without a value) and per comment
// of a failing level ("Comment: TEXT"), in that order. Empty for an OK test
// and for a KO test whose report says nothing more. UTF-8.

#include "campaign/report_result.h"

#include <string>
#include <vector>

std::vector<std::string> test_cause_lines(const ReportResult& report, int test);

// The first KO element and the first KO requirement, joined by "; ": the
// short form a one-line message has room for (else the first line).
std::string test_cause_headline(const std::vector<std::string>& lines);
