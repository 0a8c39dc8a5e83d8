// Coverage blocks: the lines of a coverage list are module lines or counted
// lines; each run of counted lines under one module becomes a
// COVERAGE_RESULT element. Line texts are Latin-1.

#include "report/coverage_match.h"
#include "report/section_text.h"
#include "report/section_writers.h"

#include <optional>

namespace {

// TAB, LF, VT, FF, CR, blank and the no-break space; not 0x85.
bool is_white(char c) {
    switch (static_cast<unsigned char>(c)) {
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
        case ' ':
        case 0xA0:
            return true;
        default:
            return false;
    }
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_white(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_white(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

void put_latin1(XmlStream& out, std::string_view text) {
    out.put_text(text, XmlPlace::Attribute, TextEncoding::Latin1);
}

// Whether a line that is not counted is left out of the blocks altogether.
bool is_ignored(std::string_view text) {
    constexpr std::string_view none = "\tnone";
    const std::size_t none_at = text.find(none);
    if (none_at != std::string_view::npos && none_at + none.size() == text.size()) {
        return true;
    }
    return text.find(" Hit\t") != std::string_view::npos;
}

// The module a module line names. A "File " that is not at the start (after
// leading blanks, say) still introduces the name.
std::string_view module_name(std::string_view text) {
    constexpr std::string_view file = "File ";
    const std::size_t file_at = text.find(file);
    if (file_at == std::string_view::npos) {
        return trimmed(text);
    }
    return trimmed(text.substr(file_at + file.size()));
}

}  // namespace

void xrd_coverage_write(XmlStream& out, const RodNode* first_note, std::string_view indent) {
    // The module of the lines read so far, and the module of the open block;
    // an empty name is a name, none is nullopt.
    std::optional<std::string_view> module;
    std::optional<std::string_view> block;
    for (const RodNode* note = first_note; note; note = rod_next(note)) {
        const std::string_view text = rod_text_view(rod_note_text(note));
        if (text.empty()) {
            continue;
        }
        const std::optional<CoverageCount> count = match_coverage_count(text);
        if (!count) {
            if (!is_ignored(text)) {
                module = module_name(text);
            }
            continue;
        }
        if (!module) {
            continue;  // counted lines before any module line are dropped
        }
        if (block != module) {
            if (block) {
                out.put(indent);
                out.put("</COVERAGE_RESULT>\n");
            }
            out.put(indent);
            out.put("<COVERAGE_RESULT MODULE=\"");
            put_latin1(out, *module);
            out.put("\">\n");
            block = module;
        }
        out.put(indent);
        out.put("\t<COVERAGE_DETAILS BRANCH_NUMBER=\"");
        out.put(count->branches);
        out.put("\" COVERED_BRANCH=\"");
        out.put(count->covered);
        out.put("\" CODE=\"");
        put_latin1(out, trimmed(count->code));
        out.put("\">\n");
        out.put(indent);
        out.put("\t</COVERAGE_DETAILS>\n");
    }
    if (block) {
        out.put(indent);
        out.put("</COVERAGE_RESULT>\n");
    }
}
