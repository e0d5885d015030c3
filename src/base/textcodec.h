#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tally::text {

// Engine text is UTF-8. The legacy code page (936, GBK) is used only where a
// byte format demands it: field and export widths, export file bytes and the
// single-byte strings of layout streams. All functions are safe to call from
// several threads at once (each thread has its own conversion state).

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool isValidUtf8(std::string_view bytes);

// The offset of the first byte of the first ill-formed UTF-8 sequence, or
// std::string_view::npos when the bytes are well-formed. Plain ASCII is
// checked eight bytes at a time.
std::size_t firstInvalidUtf8(std::string_view bytes);

// Appends the UTF-8 bytes of one code point (a scalar value: no surrogates).
void appendUtf8(std::string &out, char32_t cp);

// Decodes the UTF-8 sequence at pos (a stray byte decodes as itself) and
// moves pos past it. pos must be inside utf8.
char32_t nextCodePoint(std::string_view utf8, std::size_t &pos);

// Replaces every ill-formed UTF-8 sequence by U+FFFD, so the result is valid.
std::string sanitizeUtf8(std::string_view bytes);

// UTF-8 to code page 936. Characters the code page lacks become '?', as does
// each ill-formed UTF-8 sequence, so nothing is dropped silently.
std::string toCodePage(std::string_view utf8);

// Appends toCodePage(utf8) to out without building a text of its own (plain
// ASCII is copied as it is); returns the number of bytes appended.
std::size_t appendCodePage(std::string &out, std::string_view utf8);

// Writes toCodePage(utf8) at out, which has room for utf8.size() bytes (no
// character takes more bytes in the code page than in UTF-8); returns the
// end of what it wrote, and touches no byte past that end (a writer may hold
// bytes of its own there). For writers that place bytes in a buffer of their
// own (writeCodePage in base/codepagewriter.h is the same, inline).
char *encodeCodePage(std::string_view utf8, char *out);

// Code page 936 to UTF-8. Byte sequences that are not GBK become U+FFFD.
std::string fromCodePage(std::string_view cp936);

// Byte length of the text in code page 936 (toCodePage(utf8).size()): ASCII
// counts one, a Chinese character two, a character the code page lacks one.
std::size_t codePageLength(std::string_view utf8);

// The longest prefix of utf8 whose code page length is at most maxBytes,
// never splitting a character (nor an ill-formed sequence).
std::string_view truncateToCodePageLength(std::string_view utf8, std::size_t maxBytes);

} // namespace tally::text
