#pragma once
// Filling the numbered placeholders %1 ... %99 of a message in one pass.
//
// Unlike chained QString::arg calls, a text inserted for one placeholder is
// never searched again, so a file name holding "%2" is printed as it is.
// A placeholder whose number has no argument is left in the text unchanged.

#include <QString>

#include <initializer_list>

QString fill_placeholders(const QString& text, std::initializer_list<QString> arguments);
