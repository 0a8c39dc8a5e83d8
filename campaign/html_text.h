#pragma once
// Texts as they enter the campaign page: escaped for HTML, and turned into
// element ids that depend only on names, so a link pasted into a ticket
// still points at the same row after the campaign has changed.

#include "xml/xml_stream.h"

#include <string>
#include <string_view>
#include <vector>

// Escapes &, <, > and " (enough for element content and quoted attributes).
void append_html(XmlStream& out, std::string_view utf8);

// prefix, then each part with every byte outside [A-Za-z0-9_.:-] written as
// "~XX" (upper-case hex), the parts joined by '/'. Distinct part lists give
// distinct ids, and ids hold no blank, no '=' and no '&'.
std::string anchor_id(std::string_view prefix, const std::vector<std::string_view>& parts);
