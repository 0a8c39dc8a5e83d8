// Coverage blocks: arbitrary coverage lines must give blocks that parse as
// XML, and the linear count-pattern scan must find what a backtracking
// regular expression finds on the same (short) line.

#include "fuzz/fuzz_support.h"
#include "report/coverage_match.h"
#include "report/section_writers.h"
#include "rod/nodes.h"
#include "xml/xml_stream.h"

#include <QRegularExpression>
#include <QString>

namespace {

// The pattern as written, '.' matching every character, on the line taken as
// Latin-1 (one byte, one character, so offsets agree).
void compare_with_regular_expression(std::string_view line) {
    static const QRegularExpression pattern(QStringLiteral("(.+)\\t.*\\((\\d+)/(\\d+)\\)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    const QRegularExpressionMatch expected = pattern.match(text);
    const std::optional<CoverageCount> found = match_coverage_count(line);
    if (expected.hasMatch() != found.has_value()) {
        std::abort();
    }
    if (found &&
        (QString::fromLatin1(found->code.data(), found->code.size()) != expected.captured(1) ||
         QString::fromLatin1(found->covered.data(), found->covered.size()) !=
             expected.captured(2) ||
         QString::fromLatin1(found->branches.data(), found->branches.size()) !=
             expected.captured(3))) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RodTree run(rod_new_run("fuzz.rod"));
    RodList lines;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view line = bytes.substr(start, end - start);
        // Backtracking is slow on long lines; short ones suffice to compare.
        if (line.size() <= 256) {
            compare_with_regular_expression(line);
        }
        auto* note = rod_node_as<RodNoteNode>(rod_new_note(run.get()));
        note->text = rod_store_text(run.get(), line);
        note->letter = 'K';
        rod_list_append(lines, note);
        start = end + 1;
    }
    XmlStream out;
    out.put("<RUN>\n");
    xrd_coverage_write(out, rod_list_first(lines), "\t");
    out.put("</RUN>");
    require_well_formed(out.text());
    return 0;
}
