// Requirement cutting with $NAME expansion: arbitrary requirement texts (one
// per line, in one notes list so that the separator carries over) must give
// a REQUIREMENTS block that parses, and the byte-level expansion must agree
// with the plain reference one.

#include "fuzz/expand_variables_reference.h"
#include "fuzz/fuzz_support.h"
#include "project/expand_variables.h"
#include "report/console_echo.h"
#include "report/section_writers.h"
#include "rod/nodes.h"
#include "xml/xml_stream.h"

#include <QString>
#include <QStringDecoder>

#include <fcntl.h>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
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
    // The -v echo goes nowhere; the report is what is checked.
    static ConsoleEcho echo(open("/dev/null", O_WRONLY | O_CLOEXEC));
    const bool verbose = size > 0 && (data[0] & 1) != 0;

    XmlStream out;
    out.put("<R>\n");
    EnvironmentCache list_environment;
    xrd_flush_comment(out, rod_list_first(notes), size > 0 && (data[0] & 2) != 0, "\t",
                      list_environment, verbose ? &echo : nullptr);
    out.put("</R>");
    require_well_formed(out.text());

    // Expansion on UTF-8 bytes must equal expansion on the decoded string,
    // compared as bytes (QString's own UTF-8 decoding drops a leading BOM).
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), bytes.size()));
    const QByteArray utf8 = text.toUtf8();
    EnvironmentCache fresh_environment;
    std::string fast;
    expand_variables(fast, std::string_view(utf8.constData(), utf8.size()), fresh_environment);
    // The writer keeps one cache of lookups for a whole notes list; one kept
    // across every input must give the same as fresh lookups.
    static EnvironmentCache environment;
    std::string cached;
    expand_variables(cached, std::string_view(utf8.constData(), utf8.size()), environment);
    const QByteArray slow = reference_expand_variables(text).toUtf8();
    if (std::string_view(slow.constData(), slow.size()) != fast || cached != fast) {
        std::abort();
    }
    return 0;
}
