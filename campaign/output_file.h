#pragma once
// Writes one output file so that it lands complete or not at all, and
// streamed: the writers put their text piece by piece into an XmlStream,
// whose buffer spills into a ReplacingFile (a temporary file beside the
// target, renamed over it once everything was written). Memory holds the
// buffer, never the whole output. An existing file stays as it was when
// anything fails; a target that is a device or a FIFO (/dev/null,
// /dev/stdout) is written straight into, never replaced.

#include "xml/xml_stream.h"

#include <QString>

#include <functional>
#include <string>

// Writes the output at path, whose text write puts into the stream (as
// markup: the writers escape their texts for their own formats). On failure
// *error is the whole problem line naming the file.
bool write_output(const std::string& path, const std::function<void(XmlStream&)>& write,
                  QString* error);
