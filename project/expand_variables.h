#pragma once
// Expansion of $NAME references from the process environment.
//
// A reference is '$' followed by the longest run of [A-Za-z0-9_]. A set
// variable's value replaces it, each byte taken as the Latin-1 character of
// the same code; an unset one leaves the reference as it is. Inserted values
// are never searched again.

#include <QString>

#include <string>
#include <string_view>

QString expand_variables(QString text);

// The same expansion on UTF-8 text, appending the UTF-8 result to out: the
// writer's fast path, which gives the same result as expand_variables.
void expand_variables_utf8(std::string& out, std::string_view utf8);
