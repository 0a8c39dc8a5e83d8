#include "campaign/csv_writer.h"

void append_csv_field(std::string& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

std::string campaign_csv(const Campaign& campaign) {
    std::string out = "requirement,verdict,ok,ko,listed,places\r\n";
    for (const Requirement& requirement : campaign.requirements) {
        append_csv_field(out, requirement.id);
        out += ',';
        out += verdict_word(requirement.verdict);
        out += ',' + std::to_string(requirement.ok_count) + ',' +
               std::to_string(requirement.ko_count) + ',';
        if (campaign.has_requirement_list) {
            out += requirement.listed ? "yes" : "no";
        }
        out += ',';
        std::string places;
        for (const RequirementPlace& place : requirement.places) {
            if (!places.empty()) {
                places += "; ";
            }
            places += place_text(campaign, place, "/");
        }
        append_csv_field(out, places);
        out += "\r\n";
    }
    return out;
}
