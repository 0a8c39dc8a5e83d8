#include "campaign/csv_writer.h"

namespace {

// A spreadsheet runs a cell that starts with one of these as a formula
// (=HYPERLINK(...) in a requirement ID): such a cell gets a leading '.
bool reads_as_formula(std::string_view field) {
    return !field.empty() &&
           std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

// One field as RFC 4180 writes it, formulas neutralised.
void put_csv_field(XmlStream& out, std::string_view field) {
    const bool formula = reads_as_formula(field);
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        if (formula) {
            out.put('\'');
        }
        out.put(field);
        return;
    }
    out.put('"');
    if (formula) {
        out.put('\'');
    }
    for (const char c : field) {
        if (c == '"') {
            out.put('"');
        }
        out.put(c);
    }
    out.put('"');
}

bool occurrence_ok(const Campaign& campaign, const RequirementPlace& place) {
    return campaign.reports[place.report].requirements[place.occurrence].ok;
}

}  // namespace

void write_campaign_csv(XmlStream& out, const Campaign& campaign) {
    out.put("requirement,title,verdict,ok,ko,listed,places\r\n");
    std::string places;  // one row's, reused from row to row
    for (const Requirement& requirement : campaign.requirements) {
        put_csv_field(out, requirement.id);
        out.put(',');
        put_csv_field(out, requirement.title);
        out.put(',');
        out.put(verdict_word(requirement.verdict));
        out.put(',');
        out.put_int(requirement.ok_count);
        out.put(',');
        out.put_int(requirement.ko_count);
        out.put(',');
        if (campaign.has_requirement_list) {
            out.put(requirement.listed ? "yes" : "no");
        }
        out.put(',');
        // KO places first, each with its status, so the failing one stands out.
        places.clear();
        for (const bool ko : {true, false}) {
            for (const RequirementPlace& place : requirement.places) {
                if (occurrence_ok(campaign, place) == ko) {
                    continue;
                }
                if (!places.empty()) {
                    places += "; ";
                }
                places += place_text(campaign, place, "/");
                places += ko ? " (KO)" : " (OK)";
            }
        }
        put_csv_field(out, places);
        out.put("\r\n");
    }
}
