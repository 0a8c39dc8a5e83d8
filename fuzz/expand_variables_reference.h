#pragma once
// $NAME expansion written as plainly as it can be, on a toolkit string with
// a regular expression: the reference the report writer's byte-level
// expansion is checked against.

#include "i18n/local8bit.h"

#include <QRegularExpression>
#include <QString>

#include <cstdlib>

inline QString reference_expand_variables(const QString& text) {
    static const QRegularExpression reference(QStringLiteral("\\$([A-Za-z0-9_]+)"));
    QString result;
    qsizetype done = 0;
    for (auto matches = reference.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        const char* value = std::getenv(match.captured(1).toLatin1().constData());
        if (value == nullptr) {
            continue;  // an unset variable leaves its reference
        }
        result += QStringView(text).sliced(done, match.capturedStart() - done);
        result += local8bit_decode(value);
        done = match.capturedEnd();
    }
    result += QStringView(text).sliced(done);
    return result;
}
