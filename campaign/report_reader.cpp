#include "campaign/report_reader.h"

#include "campaign/messages.h"

#include <QFile>
#include <QFileInfo>

#include <expat.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// The elements whose insides the reader looks at; everything else (comments,
// coverage, header sections, requirement attributes) is passed over.
enum class Level { Run, Service, Test, Element, Requirements };

constexpr int kChunk = 256 * 1024;

struct ReadState {
    XML_Parser parser = nullptr;
    ReportResult* report = nullptr;
    std::vector<Level> open;  // the element levels the reader is inside
    int skipped_depth = 0;    // > 0 while inside an element passed over
    int service = -1;
    int test = -1;
    std::string element;
    QString error;  // set when the document is well-formed XML but no report
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

// Anything but an explicit OK counts against: a damaged verdict must never
// turn a failure into a success.
bool says_ok(const char** attributes) {
    const char* status = attribute(attributes, "STATUS");
    return status && std::strcmp(status, "OK") == 0;
}

bool is(const char* name, const char* wanted) {
    return std::strcmp(name, wanted) == 0;
}

// Handles a start tag below RUN. Returns false when the element is passed over.
bool enter(ReadState& state, const char* name, const char** attributes) {
    const Level parent = state.open.back();
    ReportResult& report = *state.report;
    if (parent == Level::Requirements) {
        if (is(name, "REQUIREMENT")) {
            report.requirements.push_back({text(attributes, "NAME"), text(attributes, "VALUE"),
                                           says_ok(attributes), state.service, state.test,
                                           state.element});
        }
        return false;  // its ATTRIBUTE children are not needed
    }
    if (is(name, "REQUIREMENTS")) {
        state.open.push_back(Level::Requirements);
        return true;
    }
    if (parent == Level::Run && is(name, "REPORT_INFO")) {
        if (const char* report_name = attribute(attributes, "REPORT_NAME")) {
            report.name = report_name;
        }
        return false;
    }
    if (parent == Level::Run && is(name, "SERVICE")) {
        report.services.push_back({text(attributes, "NAME"), says_ok(attributes)});
        state.service = static_cast<int>(report.services.size()) - 1;
        state.open.push_back(Level::Service);
        return true;
    }
    if (parent == Level::Service && is(name, "TEST")) {
        report.tests.push_back({state.service, text(attributes, "NAME"), says_ok(attributes)});
        state.test = static_cast<int>(report.tests.size()) - 1;
        state.open.push_back(Level::Test);
        return true;
    }
    if (parent == Level::Test && is(name, "ELEMENT")) {
        state.element = text(attributes, "NAME");
        state.open.push_back(Level::Element);
        return true;
    }
    return false;
}

void XMLCALL on_start(void* data, const XML_Char* name, const XML_Char** attributes) {
    ReadState& state = *static_cast<ReadState*>(data);
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
        state.open.push_back(Level::Run);
    } else if (!enter(state, name, attributes)) {
        state.skipped_depth = 1;
    }
}

void XMLCALL on_end(void* data, const XML_Char* /*name*/) {
    ReadState& state = *static_cast<ReadState*>(data);
    if (state.skipped_depth > 0) {
        --state.skipped_depth;
        return;
    }
    switch (state.open.back()) {
        case Level::Service:
            state.service = -1;
            break;
        case Level::Test:
            state.test = -1;
            break;
        case Level::Element:
            state.element.clear();
            break;
        default:
            break;
    }
    state.open.pop_back();
}

using ParserHandle = std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)>;

}  // namespace

std::string report_stem(const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".req.xml"))) {
        name.chop(8);
    } else if (name.endsWith(QStringLiteral(".xml"))) {
        name.chop(4);
    }
    return name.toStdString();
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

    // The file goes through expat's own buffer a chunk at a time, so memory
    // stays the same whatever the size of the report.
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
    return true;
}

bool read_report_file(const QString& path, ReportResult* report, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = message_cannot_read(path, file.errorString());
        return false;
    }
    report->path = path;
    QString why;
    if (!read_report(file, report, &why)) {
        *error = message_bad_report(path, why);
        return false;
    }
    if (report->name.empty()) {
        report->name = report_stem(path);
    }
    return true;
}
