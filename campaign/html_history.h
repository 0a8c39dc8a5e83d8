#pragma once
// What the history adds to the campaign page: a section with the trend of
// requirement counts (an inline SVG chart, drawn without script or network)
// and the lists of the newly failing, still failing, flaky and fixed; and,
// under each matrix row and failing test, a line with its last verdicts as
// a strip, its flips and since when it is KO.
//
// Verdicts show as a letter on a colour (O OK, K KO, N not verified, -
// absent), so that they read in print and without colour as well. What this
// adds stays bounded: the chart has at most kTrendLength campaigns, a strip
// kHistoryWindow verdicts, a list at most kHistoryListShown items.

#include "campaign/history_view.h"
#include "xml/xml_stream.h"

#include <cstddef>

constexpr std::size_t kHistoryListShown = 50;

// The style of the parts below, for the page's <style> element.
extern const char* const kHistoryPageStyle;

// <section id="history">: which campaign this is, the trend, the lists.
void write_history_section(XmlStream& out, const CampaignHistory& history);

// <div class="hist">: the item's strip, flips, flaky mark and KO since.
void write_history_line(XmlStream& out, const HistoryItem& item);
