#pragma once
// The texts printed when the tool is started without arguments.

#include <QString>

// "\n<product> <title> <version>\n<legal notice> <rights>\n", translated.
QString banner_text();

// The usage line naming the invocation as given on the command line.
QString usage_text(const char* invocation);
