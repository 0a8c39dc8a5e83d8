#include "driver/banner.h"

#include "driver/version.h"
#include "i18n/local8bit.h"
#include "i18n/placeholders.h"

#include <QCoreApplication>

namespace {

QString identity(const char* text) {
    return QCoreApplication::translate("ZeltIdent", text);
}

}  // namespace

QString banner_text() {
    return fill_placeholders(
        QCoreApplication::translate("quillon", "\n%1 %2 %3\n%4 %5\n"),
        {identity("Quillon"), identity("C and Ada Test Requirement Report"),
         QStringLiteral(QUILLON_VERSION), identity("Free software for test campaigns."),
         identity("No warranty of any kind.")});
}

QString usage_text(const char* invocation) {
    return fill_placeholders(
        QCoreApplication::translate(
            "Command line message for the quillox tool",
            "Usage: (%1) [-o<outfile>] [-h<headerfile>] [-l<logfile>] filename.rod\n",
            "%1 is the tool name"),
        {local8bit_decode(invocation ? invocation : "")});
}
