#include "i18n/placeholders.h"

QString fill_placeholders(const QString& text, std::initializer_list<QString> arguments) {
    const auto count = static_cast<int>(arguments.size());
    QString result;
    result.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'%' && i + 1 < n && text.at(i + 1).isDigit()) {
            // Up to two digits, as QString::arg reads them.
            int number = text.at(i + 1).digitValue();
            qsizetype end = i + 2;
            if (end < n && text.at(end).isDigit()) {
                number = number * 10 + text.at(end).digitValue();
                ++end;
            }
            if (number >= 1 && number <= count) {
                result += *(arguments.begin() + (number - 1));
                i = end;
                continue;
            }
        }
        result += c;
        ++i;
    }
    return result;
}
