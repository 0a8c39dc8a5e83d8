// Coverage blocks: the lines of a coverage list are module lines or counted
// lines; each run of counted lines under one module becomes a
// COVERAGE_RESULT element. Line texts are in the local 8-bit encoding.

#include "report/coverage_match.h"
#include "report/section_text.h"
#include "report/section_writers.h"

#include "i18n/local8bit.h"

#include <optional>
#include <string>

namespace {

// TAB, LF, VT, FF, CR and blank; the no-break space is trimmed apart.
bool is_white(char c) {
    switch (c) {
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
        case ' ':
            return true;
        default:
            return false;
    }
}

// The no-break space U+00A0 in the local encoding: the byte 0xA0 in Latin-1,
// but C2 A0 in UTF-8, where a lone 0xA0 is the tail of a character such as
// "à"; empty when the encoding has no such character. Kept in place rather
// than in a string: the writer's loop stays free of clean-up paths.
struct NoBreakSpace {
    char bytes[4] = {};
    std::size_t size = 0;
    std::string_view view() const { return {bytes, size}; }
};

NoBreakSpace no_break_space() {
    NoBreakSpace space;
    switch (local8bit_kind()) {
        case Local8BitKind::Utf8:
            space = {{'\xC2', '\xA0'}, 2};
            return space;
        case Local8BitKind::Latin1:
            space = {{'\xA0'}, 1};
            return space;
        case Local8BitKind::Other:
            break;
    }
    const std::string bytes = local8bit_encode(QString(QChar(0xA0)));
    if (bytes != "?" && bytes.size() <= sizeof space.bytes) {
        bytes.copy(space.bytes, bytes.size());
        space.size = bytes.size();
    }
    return space;
}

// The text without white space, the no-break space included, at both ends.
std::string_view trimmed(std::string_view text, std::string_view nbsp) {
    // The first byte is compared before the whole space: most texts start
    // and end with neither.
    while (!text.empty()) {
        if (is_white(text.front())) {
            text.remove_prefix(1);
        } else if (!nbsp.empty() && text.front() == nbsp.front() && text.starts_with(nbsp)) {
            text.remove_prefix(nbsp.size());
        } else {
            break;
        }
    }
    while (!text.empty()) {
        if (is_white(text.back())) {
            text.remove_suffix(1);
        } else if (!nbsp.empty() && text.back() == nbsp.back() && text.ends_with(nbsp)) {
            text.remove_suffix(nbsp.size());
        } else {
            break;
        }
    }
    return text;
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
std::string_view module_name(std::string_view text, std::string_view nbsp) {
    constexpr std::string_view file = "File ";
    const std::size_t file_at = text.find(file);
    if (file_at == std::string_view::npos) {
        return trimmed(text, nbsp);
    }
    return trimmed(text.substr(file_at + file.size()), nbsp);
}

// Whether two views hold the same bytes; a block's module is most often the
// very view the lines that follow it name.
bool same_text(std::string_view a, std::string_view b) {
    return (a.data() == b.data() && a.size() == b.size()) || a == b;
}

}  // namespace

void xrd_coverage_write(XmlStream& out, const RodNode* first_note, std::string_view indent) {
    // The module of the lines read so far, and the module of the open block;
    // an empty name is a name, none is nullopt.
    std::optional<std::string_view> module;
    std::optional<std::string_view> block;
    const NoBreakSpace space = first_note ? no_break_space() : NoBreakSpace{};
    const std::string_view nbsp = space.view();
    for (const RodNode* note = first_note; note; note = rod_next(note)) {
        const std::string_view text = rod_text_view(rod_note_text(note));
        if (text.empty()) {
            continue;
        }
        const std::optional<CoverageCount> count = match_coverage_count(text);
        if (!count) {
            if (!is_ignored(text)) {
                module = module_name(text, nbsp);
            }
            continue;
        }
        if (!module) {
            continue;  // counted lines before any module line are dropped
        }
        if (!block || !same_text(*block, *module)) {
            if (block) {
                out.put(indent);
                out.put("</COVERAGE_RESULT>\n");
            }
            out.put(indent);
            out.put("<COVERAGE_RESULT MODULE=\"");
            out.put_text(*module, XmlPlace::Attribute, TextEncoding::Local8Bit);
            out.put("\">\n");
            block = module;
        }
        out.put(indent);
        out.put("\t<COVERAGE_DETAILS BRANCH_NUMBER=\"");
        out.put(count->branches);
        out.put("\" COVERED_BRANCH=\"");
        out.put(count->covered);
        out.put("\" CODE=\"");
        out.put_text(trimmed(count->code, nbsp), XmlPlace::Attribute, TextEncoding::Local8Bit);
        out.put("\">\n");
        out.put(indent);
        out.put("\t</COVERAGE_DETAILS>\n");
    }
    if (block) {
        out.put(indent);
        out.put("</COVERAGE_RESULT>\n");
    }
}
