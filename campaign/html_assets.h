#pragma once
// The campaign page's style sheet and its small filter script, inlined into
// the page so that it stays one self-contained file.

extern const char* const kCampaignPageStyle;

// Shows the filter bar, then hides the rows of "filterable" tables that the
// search text, the "KO only" switch (OK rows hidden) or the "Not verified
// only" switch leave out. The address fragment holds the filter, as on the
// report pages: #search=TEXT&filter=ko (filter holds names separated by
// commas: "ko", "nv"), each part decoded on its own (a bad escape keeps its
// text as typed); it is written back as the filter changes. A fragment
// without '=' is an anchor (ids never hold one). A tile applies the filter
// of its data-filter and shows its section. Printing opens every fold.
// Without script every row stays shown.
extern const char* const kCampaignPageScript;
