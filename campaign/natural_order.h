#pragma once
// The order a person expects of names that hold numbers: "report 7" before
// "report 48", "board_2" before "board_10".

#include <string_view>

// Compares a and b byte by byte, except that runs of ASCII digits compare as
// the numbers they write (leading zeros aside, then the shorter run first,
// so the order stays total). Equal texts compare equal and no others do.
bool natural_less(std::string_view a, std::string_view b);
