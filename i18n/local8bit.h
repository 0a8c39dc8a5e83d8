#pragma once
// Conversions between the process locale's 8-bit encoding and Unicode.
//
// Texts read from ROD files, header files, the environment and the command
// line are bytes in the encoding of the process locale (its LC_CTYPE
// codeset). Qt 6 always treats "local 8-bit" as UTF-8 on Linux, so the tool
// goes through these functions instead wherever a text crosses between bytes
// and QString or UTF-8.
//
// The plain C/POSIX locale (codeset ANSI_X3.4-1968) counts as UTF-8, so a
// tool started with no locale set keeps non-ASCII bytes intact.

#include <QString>

#include <string>
#include <string_view>

enum class Local8BitKind { Utf8, Latin1, Other };

// Reads the codeset of the current C locale (nl_langinfo(CODESET)); call it
// after the application object has set the locale from the environment.
// Every conversion below calls it lazily when it has not run yet.
void local8bit_init();

// The kind of encoding in force, and the codeset name it came from.
Local8BitKind local8bit_kind();
const std::string& local8bit_codeset();

// Bytes in the local encoding to Unicode; undecodable bytes become U+FFFD.
QString local8bit_decode(std::string_view bytes);

// Unicode to bytes in the local encoding; characters the encoding cannot
// hold become '?'.
std::string local8bit_encode(const QString& text);

// Appends the UTF-8 form of bytes in the local encoding to out. Under a UTF-8
// locale valid text is copied unchanged and each invalid byte becomes U+FFFD.
void local8bit_append_utf8(std::string& out, std::string_view bytes);

// Whether every byte is below 0x80: such text reads the same in UTF-8,
// Latin-1 and the other ASCII-compatible encodings.
bool is_ascii(std::string_view bytes);

// Appends Latin-1 bytes (one byte, one character) as UTF-8.
void latin1_append_utf8(std::string& out, std::string_view bytes);

// Length of the valid UTF-8 sequence starting at text[0], or 0 when the bytes
// there do not start one (overlong forms, surrogates and code points above
// U+10FFFF are invalid).
std::size_t utf8_sequence_length(std::string_view text);
