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
         QStringLiteral(QUILLON_VERSION),
         identity("Licensed under the Apache License, Version 2.0."),
         identity("Provided AS IS, without warranties or conditions of any kind.")});
}

QString version_text() {
    return identity("Quillon") + QLatin1Char(' ') + QStringLiteral(QUILLON_VERSION) +
           QLatin1Char('\n');
}

QString usage_text(const char* invocation) {
    return fill_placeholders(
        QCoreApplication::translate(
            "Command line message for the quillox tool",
            "Usage: (%1) [-o<outfile>] [-h<headerfile>] [-l<logfile>] filename.rod\n",
            "%1 is the tool name"),
        {local8bit_decode(invocation ? invocation : "")});
}
