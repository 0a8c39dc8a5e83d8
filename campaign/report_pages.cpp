#include "campaign/report_pages.h"

#include "campaign/messages.h"
#include "xml/replacing_file.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

struct FreeDocument {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct FreeParser {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
struct FreeStylesheet {
    void operator()(xsltStylesheet* sheet) const { xsltFreeStylesheet(sheet); }
};
struct FreeTransform {
    void operator()(xsltTransformContext* context) const { xsltFreeTransformContext(context); }
};
struct FreeSecurity {
    void operator()(xsltSecurityPrefs* prefs) const { xsltFreeSecurityPrefs(prefs); }
};
using Document = std::unique_ptr<xmlDoc, FreeDocument>;

// The library's own state, set up once for every thread that renders.
void initialise_library() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xsltInit();
    });
}

// What libxslt reports, for a problem line: its first message says where
// (file, line, element), the second why; the rest adds little.
struct Errors {
    QString first;
    int count = 0;
};

void collect_error(void* context, const char* format, ...) {
    auto* errors = static_cast<Errors*>(context);
    if (errors->count == 2) {
        return;
    }
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    const QString line = QString::fromUtf8(text).trimmed();
    if (!line.isEmpty()) {
        errors->first += (errors->count++ == 0 ? QString() : QStringLiteral(": ")) + line;
    }
}

// An open file descriptor, closed when it goes away.
struct OpenFile {
    int fd = -1;
    ~OpenFile() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// Reads an XML file without its DTD, external entities or the network, and
// without printing anything; *why says what went wrong, and *unreadable
// whether the file could not even be opened.
Document read_document(const std::string& path, QString* why, bool* unreadable) {
    OpenFile file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    *unreadable = file.fd < 0;
    if (*unreadable) {
        *why = qt_error_string(errno);
        return nullptr;
    }
    const std::unique_ptr<xmlParserCtxt, FreeParser> parser(xmlNewParserCtxt());
    if (!parser) {
        *why = qt_error_string(ENOMEM);
        return nullptr;
    }
    Document doc(
        xmlCtxtReadFd(parser.get(), file.fd, path.c_str(), nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE));
    if (!doc) {
        const xmlError* error = xmlCtxtGetLastError(parser.get());
        *why = error && error->message ? QString::fromUtf8(error->message).trimmed()
                                       : QStringLiteral("not an XML document");
        if (error && error->line > 0) {
            *why = message_malformed_report(*why, error->line, error->int2);
        }
    }
    return doc;
}

// Everything a stylesheet could do beyond reading the report is refused.
std::unique_ptr<xsltSecurityPrefs, FreeSecurity> locked_down() {
    std::unique_ptr<xsltSecurityPrefs, FreeSecurity> prefs(xsltNewSecurityPrefs());
    if (prefs) {
        for (const xsltSecurityOption option :
             {XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY, XSLT_SECPREF_READ_NETWORK,
              XSLT_SECPREF_WRITE_NETWORK}) {
            xsltSetSecurityPrefs(prefs.get(), option, xsltSecurityForbid);
        }
    }
    return prefs;
}

// The serialised page goes straight into the replacing file.
int write_to_file(void* file, const char* bytes, int length) {
    return static_cast<ReplacingFile*>(file)->write(std::string_view(bytes, length)) ? length : -1;
}

}  // namespace

struct ReportPageStylesheet::Compiled {
    std::unique_ptr<xsltStylesheet, FreeStylesheet> sheet;
};

ReportPageStylesheet::ReportPageStylesheet() = default;
ReportPageStylesheet::~ReportPageStylesheet() = default;

bool ReportPageStylesheet::load(const std::string& stylesheet_path, QString* error) {
    initialise_library();
    QString why;
    bool unreadable = false;
    Document doc = read_document(stylesheet_path, &why, &unreadable);
    if (!doc) {
        *error = message_cannot_read(shown_file_name(stylesheet_path), why);
        return false;
    }
    // Compiling reports through libxslt's global handler: borrowed for the
    // time of the call, then given back.
    Errors errors;
    const xmlGenericErrorFunc handler = xsltGenericError;
    void* const handler_context = xsltGenericErrorContext;
    xsltSetGenericErrorFunc(&errors, collect_error);
    xsltStylesheet* sheet = xsltParseStylesheetDoc(doc.get());
    xsltSetGenericErrorFunc(handler_context, handler);
    if (sheet) {
        (void)doc.release();  // the stylesheet owns it now
        compiled_ = std::make_unique<Compiled>();
        compiled_->sheet.reset(sheet);
    }
    if (!sheet || sheet->errors != 0) {
        compiled_.reset();
        *error = message_cannot_read(
            shown_file_name(stylesheet_path),
            errors.first.isEmpty() ? QStringLiteral("not a stylesheet") : errors.first);
        return false;
    }
    return true;
}

bool ReportPageStylesheet::render(const std::string& report_path, const std::string& page_path,
                                  QString* error) const {
    QString why;
    bool unreadable = false;
    const Document report = read_document(report_path, &why, &unreadable);
    if (!report) {
        *error = unreadable ? message_cannot_read(shown_file_name(report_path), why)
                            : message_bad_report(shown_file_name(report_path), why);
        return false;
    }
    xsltStylesheet* sheet = compiled_->sheet.get();
    const std::unique_ptr<xsltTransformContext, FreeTransform> context(
        xsltNewTransformContext(sheet, report.get()));
    const auto prefs = locked_down();
    Errors errors;
    Document page;
    if (context && prefs && xsltSetCtxtSecurityPrefs(prefs.get(), context.get()) == 0) {
        xsltSetTransformErrorFunc(context.get(), &errors, collect_error);
        page.reset(
            xsltApplyStylesheetUser(sheet, report.get(), nullptr, nullptr, nullptr, context.get()));
    }
    if (!page || context->state != XSLT_STATE_OK) {
        *error = message_cannot_write(
            shown_file_name(page_path),
            errors.first.isEmpty() ? QStringLiteral("the stylesheet failed") : errors.first);
        return false;
    }

    ReplacingFile file;
    bool written = file.open(page_path);
    if (written) {
        xmlOutputBuffer* out = xmlOutputBufferCreateIO(write_to_file, nullptr, &file, nullptr);
        written = out != nullptr && xsltSaveResultTo(out, page.get(), sheet) >= 0;
        written = (out == nullptr || xmlOutputBufferClose(out) >= 0) && written;
        written = written && file.commit();
    }
    if (!written) {
        const int number = file.error_number();
        *error = message_cannot_write(shown_file_name(page_path),
                                      qt_error_string(number != 0 ? number : EIO));
    }
    return written;
}

bool render_report_page(const std::string& report_path, const std::string& stylesheet_path,
                        const std::string& page_path, QString* error) {
    ReportPageStylesheet stylesheet;
    return stylesheet.load(stylesheet_path, error) &&
           stylesheet.render(report_path, page_path, error);
}
