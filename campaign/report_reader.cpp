#include "campaign/report_reader.h"

#include "campaign/messages.h"
#include "campaign/open_by_name.h"
#include "campaign/sha256.h"

#include "i18n/local8bit.h"

#include <QFile>

#include <expat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The elements whose insides the reader looks at; everything else (comments,
// coverage, header sections, requirement attributes) is passed over.
enum class Level { Run, Service, Test, Element, Requirements, Comment };

constexpr int kChunk = 256 * 1024;

// TextRef counts a report's texts in 32 bits. They are attribute values of
// the report, each kept once at most, and the campaign's test keys, which
// add at most each test's name again: below 2 GiB of report, below 4 GiB of
// texts.
constexpr long long kMaxReportBytes = (1LL << 31) - 1;

// A child of RUN shaped like an entry of the header section: its start tag,
// kept until its first child (then it is part of the body after all) or its
// end tag (then it was a header entry, and is dropped).
struct PendingEntry {
    bool waiting = false;
    std::string name;
    std::vector<std::string> attributes;  // name, value, name, value...
};

struct ReadState {
    XML_Parser parser = nullptr;
    ReportResult* report = nullptr;
    std::vector<Level> open;  // the element levels the reader is inside
    int skipped_depth = 0;    // > 0 while inside an element passed over
    bool run_child_seen = false;
    PendingEntry pending;
    int service = -1;
    int test = -1;
    TextRef element;
    bool element_ko = false;
    // The texts met last of their kind, given again when the next one is the
    // same: values and test names repeat from one entry to the next.
    TextRef last_value;
    TextRef last_test_name;
    std::string* comment = nullptr;  // the cause's comment being read
    QString error;                   // set when the document is well-formed XML but no report
};

// Attributes come as name, value, name, value..., then null.
const char* attribute(const char** attributes, const char* name) {
    for (; *attributes; attributes += 2) {
        if (std::strcmp(attributes[0], name) == 0) {
            return attributes[1];
        }
    }
    return nullptr;
}

std::string text(const char** attributes, const char* name) {
    const char* value = attribute(attributes, name);
    return value ? std::string(value) : std::string();
}

// The attribute as a text of the report, the one before given again when equal.
TextRef keep(ReportResult& report, const char** attributes, const char* name,
             TextRef* last = nullptr) {
    const char* value = attribute(attributes, name);
    const std::string_view wanted = value ? std::string_view(value) : std::string_view();
    if (last && report.text(*last) == wanted) {
        return *last;
    }
    const TextRef ref = report.add_text(wanted);
    if (last) {
        *last = ref;
    }
    return ref;
}

// Anything but an explicit OK counts against: a damaged verdict must never
// turn a failure into a success.
bool says_ok(const char** attributes) {
    const char* status = attribute(attributes, "STATUS");
    return status && std::strcmp(status, "OK") == 0;
}

bool is(const char* name, const char* wanted) {
    return std::strcmp(name, wanted) == 0;
}

// A comment cut at kCauseCommentBytes may end inside a UTF-8 sequence.
void cut_to_whole_characters(std::string& text) {
    std::size_t end = text.size();
    std::size_t start = end;
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
    }
    if (start > 0 && static_cast<unsigned char>(text[start - 1]) >= 0xC0) {
        const unsigned char lead = static_cast<unsigned char>(text[start - 1]);
        const std::size_t wanted = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (end - (start - 1) < wanted) {
            text.resize(start - 1);
        }
    }
}

// Text is only wanted inside a comment of a failing level, so the handler is
// set for those alone and the rest of the document costs no call.
void XMLCALL on_comment_text(void* data, const XML_Char* text, int length) {
    ReadState& state = *static_cast<ReadState*>(data);
    std::string& comment = *state.comment;
    const std::size_t room = kCauseCommentBytes - std::min(comment.size(), kCauseCommentBytes);
    comment.append(text, std::min(room, static_cast<std::size_t>(length)));
}

// Handles a start tag below RUN. Returns false when the element is passed over.
bool enter(ReadState& state, const char* name, const char** attributes) {
    const Level parent = state.open.back();
    ReportResult& report = *state.report;
    if (parent == Level::Requirements) {
        if (is(name, "REQUIREMENT")) {
            const bool ok = says_ok(attributes);
            if (!ok && state.test >= 0 && report.tests[state.test].cause >= 0) {
                report.causes[report.tests[state.test].cause].ko_requirements.push_back(
                    static_cast<int>(report.requirements.size()));
            }
            const TextRef id = keep(report, attributes, "NAME");
            report.requirements.push_back({id, keep(report, attributes, "VALUE", &state.last_value),
                                           ok, state.service, state.test, state.element});
        }
        return false;  // its ATTRIBUTE children are not needed
    }
    if (is(name, "REQUIREMENTS")) {
        state.open.push_back(Level::Requirements);
        return true;
    }
    if (parent == Level::Run && is(name, "REPORT_INFO")) {
        // Only the run's own, its first child, names the report.
        if (!state.run_child_seen) {
            if (const char* report_name = attribute(attributes, "REPORT_NAME")) {
                report.name = report_name;
            }
            report.provenance.run_date = text(attributes, "RUN_DATE");
            report.provenance.target = text(attributes, "TARGET");
        }
        return false;
    }
    if (parent == Level::Run && is(name, "SERVICE")) {
        report.services.push_back({keep(report, attributes, "NAME"), says_ok(attributes)});
        state.service = static_cast<int>(report.services.size()) - 1;
        state.open.push_back(Level::Service);
        return true;
    }
    if (parent == Level::Service && is(name, "TEST")) {
        const bool ok = says_ok(attributes);
        const int cause = ok ? -1 : static_cast<int>(report.causes.size());
        report.tests.push_back(
            {state.service, keep(report, attributes, "NAME", &state.last_test_name), ok, cause});
        if (!ok) {
            report.causes.emplace_back();
        }
        state.test = static_cast<int>(report.tests.size()) - 1;
        state.open.push_back(Level::Test);
        return true;
    }
    if (parent == Level::Test && is(name, "ELEMENT")) {
        state.element = keep(report, attributes, "NAME");
        state.element_ko = !says_ok(attributes);
        const int cause = report.tests[state.test].cause;
        if (cause >= 0 && state.element_ko) {
            report.causes[cause].ko_elements.emplace_back(report.text(state.element));
        }
        state.open.push_back(Level::Element);
        return true;
    }
    if (is(name, "COMMENT") && state.test >= 0 &&
        (parent == Level::Test || (parent == Level::Element && state.element_ko))) {
        const int cause = report.tests[state.test].cause;
        if (cause >= 0) {
            std::vector<std::string>& comments = report.causes[cause].comments;
            comments.emplace_back();
            state.comment = &comments.back();
            XML_SetCharacterDataHandler(state.parser, on_comment_text);
            state.open.push_back(Level::Comment);
            return true;
        }
    }
    return false;
}

// The header section, which quillon writes between REPORT_INFO and the body,
// holds ENV_INFO elements and named entries <TAG NAME="..." X="..."></TAG>
// whose tag is any word of the header file, SERVICE or REQUIREMENTS among
// them. A body element of that shape has children; a named entry never has.
bool header_entry_shaped(const char** attributes) {
    return attributes[0] && attributes[2] && !attributes[4] &&
           (is(attributes[0], "NAME") || is(attributes[2], "NAME"));
}

void enter_or_skip(ReadState& state, const char* name, const char** attributes) {
    if (!enter(state, name, attributes)) {
        state.skipped_depth = 1;
    }
    state.run_child_seen = true;
}

// The pending entry has a child: it was a body element, entered now.
void enter_pending(ReadState& state) {
    PendingEntry& pending = state.pending;
    std::vector<const char*> attributes;
    for (const std::string& text : pending.attributes) {
        attributes.push_back(text.c_str());
    }
    attributes.push_back(nullptr);
    pending.waiting = false;
    enter_or_skip(state, pending.name.c_str(), attributes.data());
}

void XMLCALL on_start(void* data, const XML_Char* name, const XML_Char** attributes) {
    ReadState& state = *static_cast<ReadState*>(data);
    if (state.pending.waiting) {
        enter_pending(state);
    }
    if (state.skipped_depth > 0) {
        ++state.skipped_depth;
    } else if (state.open.empty()) {
        // The document element; expat itself refuses a second one.
        if (!is(name, "RUN")) {
            state.error = message_not_a_report(QString::fromUtf8(name));
            XML_StopParser(state.parser, XML_FALSE);
            return;
        }
        state.report->run_ok = says_ok(attributes);
        state.report->provenance.suite_path = text(attributes, "TESTSUITE_PATH");
        state.open.push_back(Level::Run);
    } else if (state.open.back() == Level::Run && header_entry_shaped(attributes)) {
        PendingEntry& pending = state.pending;
        pending.waiting = true;
        pending.name = name;
        pending.attributes.assign(attributes, attributes + 4);
    } else {
        enter_or_skip(state, name, attributes);
    }
}

void XMLCALL on_end(void* data, const XML_Char* /*name*/) {
    ReadState& state = *static_cast<ReadState*>(data);
    if (state.pending.waiting) {
        state.pending.waiting = false;  // a header entry: nothing of it is kept
        state.run_child_seen = true;
        return;
    }
    if (state.skipped_depth > 0) {
        --state.skipped_depth;
        return;
    }
    if (state.open.empty()) {
        return;  // the end of a refused document element, which expat still reports
    }
    switch (state.open.back()) {
        case Level::Service:
            state.service = -1;
            break;
        case Level::Test:
            state.test = -1;
            break;
        case Level::Element:
            state.element = TextRef();
            state.element_ko = false;
            break;
        case Level::Comment:
            XML_SetCharacterDataHandler(state.parser, nullptr);
            cut_to_whole_characters(*state.comment);
            state.comment = nullptr;
            break;
        default:
            break;
    }
    state.open.pop_back();
}

// A document type declaration could give attributes default values (a
// STATUS of OK to every test) or declare entities: quillon never writes one.
void XMLCALL on_doctype(void* data, const XML_Char* /*name*/, const XML_Char* /*system_id*/,
                        const XML_Char* /*public_id*/, int /*has_internal_subset*/) {
    ReadState& state = *static_cast<ReadState*>(data);
    state.error = message_doctype();
    XML_StopParser(state.parser, XML_FALSE);
}

using ParserHandle = std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)>;

}  // namespace

std::string report_stem(std::string_view path) {
    std::string_view name = path.substr(path.rfind('/') + 1);
    for (const std::string_view suffix : {std::string_view(".req.xml"), std::string_view(".xml")}) {
        if (name.ends_with(suffix)) {
            name.remove_suffix(suffix.size());
            break;
        }
    }
    return local8bit_decode(name).toStdString();
}

bool read_report(QIODevice& device, ReportResult* report, QString* error) {
    const ParserHandle parser(XML_ParserCreate(nullptr), XML_ParserFree);
    if (!parser) {
        *error = QStringLiteral("out of memory");
        return false;
    }
    ReadState state;
    state.parser = parser.get();
    state.report = report;
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), on_start, on_end);
    XML_SetStartDoctypeDeclHandler(parser.get(), on_doctype);

    // The file goes through expat's own buffer a chunk at a time, so memory
    // stays the same whatever the size of the report; each chunk is hashed
    // on its way.
    Sha256 sha256;
    for (bool last = false; !last;) {
        void* buffer = XML_GetBuffer(parser.get(), kChunk);
        if (!buffer) {
            *error = QStringLiteral("out of memory");
            return false;
        }
        const qint64 read = device.read(static_cast<char*>(buffer), kChunk);
        if (read < 0) {
            *error = device.errorString();
            return false;
        }
        last = read == 0;
        if (report->provenance.size + read > kMaxReportBytes) {
            *error = QStringLiteral("larger than 2 GiB");
            return false;
        }
        sha256.add(
            std::string_view(static_cast<const char*>(buffer), static_cast<std::size_t>(read)));
        report->provenance.size += read;
        if (XML_ParseBuffer(parser.get(), static_cast<int>(read), last) != XML_STATUS_OK) {
            *error = !state.error.isEmpty()
                         ? state.error
                         : message_malformed_report(
                               QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser.get()))),
                               XML_GetCurrentLineNumber(parser.get()),
                               XML_GetCurrentColumnNumber(parser.get()) + 1);
            return false;
        }
    }
    report->provenance.sha256 = sha256.hex();
    // The campaign keeps every report read: none keeps room it will not use.
    report->services.shrink_to_fit();
    report->tests.shrink_to_fit();
    report->requirements.shrink_to_fit();
    report->texts.shrink_to_fit();
    return true;
}

bool read_report_file(const std::string& path, ReportResult* report, QString* error) {
    QFile file;
    if (!open_input(path, &file, error)) {
        return false;
    }
    report->path = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        report->real_path = real;
        std::free(real);
    } else {
        report->real_path = path;
    }
    QString why;
    if (!read_report(file, report, &why)) {
        *error = message_bad_report(shown_file_name(path), why);
        return false;
    }
    if (report->name.empty()) {
        report->name = report_stem(path);
    }
    return true;
}
