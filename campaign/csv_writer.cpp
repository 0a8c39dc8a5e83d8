#include "campaign/csv_writer.h"

namespace {

// One field as RFC 4180 writes it.
void put_csv_field(XmlStream& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.put(field);
        return;
    }
    out.put('"');
    for (const char c : field) {
        if (c == '"') {
            out.put('"');
        }
        out.put(c);
    }
    out.put('"');
}

}  // namespace

void write_campaign_csv(XmlStream& out, const Campaign& campaign) {
    out.put("requirement,verdict,ok,ko,listed,places\r\n");
    std::string places;  // one row's, reused from row to row
    for (const Requirement& requirement : campaign.requirements) {
        put_csv_field(out, requirement.id);
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
        places.clear();
        for (const RequirementPlace& place : requirement.places) {
            if (!places.empty()) {
                places += "; ";
            }
            places += place_text(campaign, place, "/");
        }
        put_csv_field(out, places);
        out.put("\r\n");
    }
}
