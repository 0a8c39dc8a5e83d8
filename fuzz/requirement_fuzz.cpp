// Requirement cutting with $NAME expansion: arbitrary requirement texts (one
// per line, in one notes list so that the separator carries over) must give
// a REQUIREMENTS block that parses, and the byte-level expansion must agree
// with the QString one.

#include "driver/run_options.h"
#include "fuzz/fuzz_support.h"
#include "project/expand_variables.h"
#include "report/report_stream.h"
#include "report/section_writers.h"
#include "rod/nodes.h"

#include <QString>
#include <QStringDecoder>

#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!std::freopen("/dev/null", "w", stdout)) {
        return 1;
    }
    setenv("A", "value with $B and <markup> & \"quotes\"", 1);
    setenv("B", "\xE9t\xE9", 1);
    setenv("EMPTY", "", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RodTree run(rod_new_run("fuzz.rod"));
    RodList notes;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        auto* note = rod_node_as<RodNoteNode>(rod_new_note(run.get()));
        note->text = rod_store_text(run.get(), bytes.substr(start, end - start));
        note->letter = 'R';
        rod_list_append(notes, note);
        start = end + 1;
    }
    run_options.verbose = size > 0 && (data[0] & 1) != 0;

    ReportStream out;
    out.put("<R>\n");
    xrd_flush_comment(out, notes.first, size > 0 && (data[0] & 2) != 0, "\t");
    out.put("</R>");
    require_well_formed(out.text());

    // Expansion on UTF-8 bytes must equal expansion on the decoded string,
    // compared as bytes (QString's own UTF-8 decoding drops a leading BOM).
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), bytes.size()));
    const QByteArray utf8 = text.toUtf8();
    std::string fast;
    expand_variables_utf8(fast, std::string_view(utf8.constData(), utf8.size()));
    // The writer keeps one cache of lookups for a whole notes list; one kept
    // across every input must give the same as fresh lookups.
    static EnvironmentCache environment;
    std::string cached;
    expand_variables_utf8(cached, std::string_view(utf8.constData(), utf8.size()), environment);
    const QByteArray slow = expand_variables(text).toUtf8();
    if (std::string_view(slow.constData(), slow.size()) != fast || cached != fast) {
        std::abort();
    }
    return 0;
}
