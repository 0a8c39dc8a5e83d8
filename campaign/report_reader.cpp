#include "campaign/report_reader.h"

#include "campaign/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <vector>

namespace {

// The elements whose insides the reader looks at; everything else (comments,
// coverage, header sections, attributes) is skipped in one go.
enum class Level { Run, Service, Test, Element, Requirements };

std::string utf8(QStringView text) {
    return text.toUtf8().toStdString();
}

// Anything but an explicit OK counts against: a damaged verdict must never
// turn a failure into a success.
bool says_ok(const QXmlStreamAttributes& attributes) {
    return attributes.value(QLatin1String("STATUS")) == u"OK";
}

struct ReadState {
    ReportResult* report;
    std::vector<Level> open;  // the element levels the reader is inside
    int service = -1;
    int test = -1;
    std::string element;
};

// Handles a start tag below RUN. Returns false when the element is skipped.
bool enter(QXmlStreamReader& xml, ReadState& state) {
    const QStringView name = xml.name();
    const Level parent = state.open.back();
    ReportResult& report = *state.report;
    if (parent == Level::Requirements) {
        if (name != u"REQUIREMENT") {
            return false;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        RequirementOccurrence occurrence;
        occurrence.id = utf8(attributes.value(QLatin1String("NAME")));
        occurrence.value = utf8(attributes.value(QLatin1String("VALUE")));
        occurrence.ok = says_ok(attributes);
        occurrence.service = state.service;
        occurrence.test = state.test;
        occurrence.element = state.element;
        report.requirements.push_back(std::move(occurrence));
        return false;  // its ATTRIBUTE children are not needed
    }
    if (name == u"REQUIREMENTS") {
        state.open.push_back(Level::Requirements);
        return true;
    }
    if (parent == Level::Run && name == u"REPORT_INFO") {
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.hasAttribute(QLatin1String("REPORT_NAME"))) {
            report.name = utf8(attributes.value(QLatin1String("REPORT_NAME")));
        }
        return false;
    }
    if (parent == Level::Run && name == u"SERVICE") {
        const QXmlStreamAttributes attributes = xml.attributes();
        report.services.push_back(
            {utf8(attributes.value(QLatin1String("NAME"))), says_ok(attributes)});
        state.service = static_cast<int>(report.services.size()) - 1;
        state.open.push_back(Level::Service);
        return true;
    }
    if (parent == Level::Service && name == u"TEST") {
        const QXmlStreamAttributes attributes = xml.attributes();
        report.tests.push_back(
            {state.service, utf8(attributes.value(QLatin1String("NAME"))), says_ok(attributes)});
        state.test = static_cast<int>(report.tests.size()) - 1;
        state.open.push_back(Level::Test);
        return true;
    }
    if (parent == Level::Test && name == u"ELEMENT") {
        state.element = utf8(xml.attributes().value(QLatin1String("NAME")));
        state.open.push_back(Level::Element);
        return true;
    }
    return false;
}

void leave(ReadState& state) {
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
    QXmlStreamReader xml(&device);
    ReadState state{report, {}, -1, -1, {}};
    bool seen_run = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (state.open.empty()) {
                if (seen_run || xml.name() != u"RUN") {
                    *error = message_not_a_report(xml.name().toString());
                    return false;
                }
                seen_run = true;
                report->run_ok = says_ok(xml.attributes());
                state.open.push_back(Level::Run);
            } else if (!enter(xml, state)) {
                xml.skipCurrentElement();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            leave(state);
        }
    }
    if (xml.hasError()) {
        *error = message_malformed_report(xml.errorString(), xml.lineNumber(), xml.columnNumber());
        return false;
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
