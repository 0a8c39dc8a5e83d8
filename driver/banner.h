#pragma once
// The texts printed when the tool is started without arguments, and the
// name and version that --version prints.

#include <QString>

// "\n<product> <title> <version>\n<legal notice> <rights>\n", translated.
QString banner_text();

// The product name and the version, as the banner shows them, on one line.
QString version_text();

// The usage line naming the invocation as given on the command line.
QString usage_text(const char* invocation);
