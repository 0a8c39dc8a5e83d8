#pragma once
// The campaign page's style sheet and its small filter script, inlined into
// the page so that it stays one self-contained file.

extern const char* const kCampaignPageStyle;

// Shows the filter bar, then hides the rows of "filterable" tables that the
// search text or the "KO only" switch leave out. The URL fragment can set
// both: #filter=ko, #search=TEXT, or the two joined with '&'. Without script
// every row stays shown.
extern const char* const kCampaignPageScript;
