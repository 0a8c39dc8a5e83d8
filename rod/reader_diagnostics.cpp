#include "rod/reader_diagnostics.h"
#include "rod/rod.h"

#include "i18n/local8bit.h"
#include "i18n/placeholders.h"

#include <QCoreApplication>

#include <charconv>
#include <cstdio>
#include <string>

namespace {

constexpr const char* kContext = "Error message for the kvwrod api";
const QString kModule = QStringLiteral("kvwrod");

// One kind of diagnostic: its untranslated identifier and its translation
// source text and comment, which catalogues match byte for byte.
struct Diagnostic {
    const char* identifier;
    const char* source;
    const char* comment;
};

constexpr Diagnostic kCannotOpen{"Qarvo-E-IMPOUVFIC", "%1: Unable to open file \"%2\".",
                                 "%1 is the file name of the api involved, %2 a name of file"};
constexpr Diagnostic kInvalidToken{
    "Qarvo-E-INVRODTKN", "%1: \"%2\", line %3: Invalid token '%4'.",
    "%1 is the file name of the api involved,%2 a name of file,  %3 a number of line, %4 a "
    "name of variable"};
constexpr Diagnostic kBadLine{
    "Qarvo-E-BADRODLIN", "%1: \"%2\", line %3: Assertion failed.",
    "%1 is the file name of the api involved, %2 a filename, %3 a number of line"};
constexpr Diagnostic kBadFile{"Qarvo-E-BADRODFIL", "%1: File \"%2\" not recognized.",
                              "%1 is the file name of the api involved, %2 a filename"};
constexpr Diagnostic kBadVersion{"Qarvo-E-INVFILVER", "%1: Error, invalid version for \"%2\".",
                                 "%1 is the file name of the api involved, %2 a filename"};
constexpr Diagnostic kVersionWarning{"Qarvo-W-INVFILVER",
                                     "%1: Warning, invalid version for \"%2\".",
                                     "%1 is the file name of the api involved, %2 a filename"};
constexpr Diagnostic kUnknown{"Qarvo-E-UNKNOWERR", "%1: Unknown error.",
                              "%1 is the file name of the api involved"};
constexpr Diagnostic kDuplicateService{
    "Qarvo-W-DUPSRVNAM", "Duplicate service name %1: line %2. first declaration at line %3.",
    "%1 is the service name, %2 & %3 are line number in PTU"};
constexpr Diagnostic kUnfinishedTest{
    "Qarvo-W-TSTNOVRDT", "Test %1 has no verdict: line %2. the file ends inside it.",
    "%1 is the test name, %2 is the line of the test in the ROD file"};

QString translate(const Diagnostic& diagnostic) {
    return QCoreApplication::translate(kContext, diagnostic.source, diagnostic.comment);
}

// Writes "<identifier>: <message>\n" (plus trailer) in one write, so the
// line stays whole even when other output interleaves with it.
void print(const Diagnostic& diagnostic, const QString& message, const char* trailer = "") {
    std::string line = diagnostic.identifier;
    line += ": ";
    line += local8bit_encode(message);
    line += '\n';
    line += trailer;
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

ReaderErrorHook reader_error = report_reader_error;

void report_reader_error(int kind, const char* file, int line, const char* text) {
    const QString file_name = file ? local8bit_decode(file) : QString();
    const QString line_number = QString::number(line);
    const QString token = text ? local8bit_decode(text) : QString();
    // All placeholders are filled in one pass: a file name holding "%3" is
    // printed as it is, not rewritten with the line number.
    switch (kind) {
        case kReaderCannotOpen:
            print(kCannotOpen, fill_placeholders(translate(kCannotOpen), {kModule, file_name}));
            return;
        case kReaderInvalidToken:
            print(kInvalidToken, fill_placeholders(translate(kInvalidToken),
                                                   {kModule, file_name, line_number, token}));
            return;
        case kReaderBadLine:
            print(kBadLine,
                  fill_placeholders(translate(kBadLine), {kModule, file_name, line_number}));
            return;
        case kReaderBadFile:
            // An empty line sets the rejection apart from what follows.
            print(kBadFile, fill_placeholders(translate(kBadFile), {kModule, file_name}), "\n");
            return;
        case kReaderBadVersion:
            print(kBadVersion, fill_placeholders(translate(kBadVersion), {kModule, file_name}));
            return;
        case kReaderVersionWarning:
            print(kVersionWarning,
                  fill_placeholders(translate(kVersionWarning), {kModule, file_name}));
            return;
        default:
            print(kUnknown, fill_placeholders(translate(kUnknown), {kModule}));
            return;
    }
}

void report_duplicate_service(std::string_view name, int new_line, int first_line) {
    const QString service = local8bit_decode(name);
    print(kDuplicateService,
          fill_placeholders(translate(kDuplicateService),
                            {service, QString::number(new_line), QString::number(first_line)}));
}

void report_unfinished_test(std::string_view name, int line) {
    print(kUnfinishedTest, fill_placeholders(translate(kUnfinishedTest),
                                             {local8bit_decode(name), QString::number(line)}));
}

namespace {

// Stand-ins for the three arguments: control characters no translation of
// this message holds, which UTF-8 and Latin-1 both encode as themselves.
constexpr char kNameMarker = '\x01';
constexpr char kNewLineMarker = '\x02';
constexpr char kFirstLineMarker = '\x03';

void append_number(std::string& out, int number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end);
}

}  // namespace

void DuplicateServiceWarning::prepare() {
    prepared_ = true;
    // Filling in the markers the way the arguments are filled in keeps the
    // placeholder rules in one place. Joining encoded pieces gives the
    // encoding of the whole only for encodings without shift states.
    const QString translated = translate(kDuplicateService);
    for (const char marker : {kNameMarker, kNewLineMarker, kFirstLineMarker}) {
        if (translated.contains(QChar(marker))) {
            return;
        }
    }
    if (local8bit_kind() == Local8BitKind::Other) {
        return;
    }
    const std::string message = local8bit_encode(
        fill_placeholders(translated, {QString(QChar(kNameMarker)), QString(QChar(kNewLineMarker)),
                                       QString(QChar(kFirstLineMarker))}));
    pieces_.push_back({std::string(kDuplicateService.identifier) + ": ", 0});
    for (const char c : message) {
        if (c == kNameMarker || c == kNewLineMarker || c == kFirstLineMarker) {
            pieces_.back().argument = c;  // the markers are 1, 2 and 3
            pieces_.push_back({});
        } else {
            pieces_.back().bytes += c;
        }
    }
    pieces_.back().bytes += '\n';
}

void DuplicateServiceWarning::report(std::string_view name, int new_line, int first_line) {
    if (!prepared_) {
        prepare();
    }
    if (pieces_.empty()) {
        flush();
        report_duplicate_service(name, new_line, first_line);
        return;
    }
    line_.clear();
    for (const Piece& piece : pieces_) {
        line_ += piece.bytes;
        switch (piece.argument) {
            case kNameMarker:
                // Decoding the name and encoding it again, as the general
                // path does: valid text stays as it is, and under UTF-8 each
                // byte that does not decode becomes U+FFFD.
                if (local8bit_kind() == Local8BitKind::Utf8) {
                    local8bit_append_utf8(line_, name);
                } else {
                    line_.append(name);
                }
                break;
            case kNewLineMarker:
                append_number(line_, new_line);
                break;
            case kFirstLineMarker:
                append_number(line_, first_line);
                break;
            default:
                break;
        }
    }
    if (batch_.size() + line_.size() > kBatchSize) {
        flush();
    }
    if (line_.size() > kBatchSize) {
        std::fwrite(line_.data(), 1, line_.size(), stderr);
    } else {
        batch_ += line_;
    }
}

void DuplicateServiceWarning::flush() {
    if (!batch_.empty()) {
        std::fwrite(batch_.data(), 1, batch_.size(), stderr);
        batch_.clear();
    }
}
