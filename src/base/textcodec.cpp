#include "base/textcodec.h"

#include "base/codepagewriter.h"
#include "base/textcodec_backend.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>

namespace tally::text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
constexpr char32_t kInvalid = 0xFFFFFFFF;

struct Decoded
{
    char32_t codePoint; // kInvalid for an ill-formed subpart
    std::size_t length; // bytes consumed, at least 1
};

// Decodes one character at `pos`. An ill-formed sequence consumes its maximal
// subpart, so each one becomes exactly one replacement character.
Decoded decodeAt(std::string_view s, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80)
        return {b0, 1};
    int need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0Fu;
        if (b0 == 0xE0)
            lo = 0xA0; // overlong
        else if (b0 == 0xED)
            hi = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07u;
        if (b0 == 0xF0)
            lo = 0x90; // overlong
        else if (b0 == 0xF4)
            hi = 0x8F; // beyond U+10FFFF
    } else {
        return {kInvalid, 1};
    }
    std::size_t i = pos + 1;
    for (int k = 0; k < need; ++k, ++i) {
        if (i >= s.size())
            return {kInvalid, i - pos};
        const unsigned char b = byte(i);
        const unsigned char min = k == 0 ? lo : 0x80;
        const unsigned char max = k == 0 ? hi : 0xBF;
        if (b < min || b > max)
            return {kInvalid, i - pos};
        cp = (cp << 6) | (b & 0x3Fu);
    }
    return {cp, i - pos};
}

// Appends the code page bytes of one character, '?' when the code page lacks it.
void encodeChar(std::string_view utf8Char, char32_t cp, std::string &out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    if (cp == kInvalid || !detail::utf8ToCodePage(utf8Char, out))
        out += '?';
}

bool isGbkLead(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}
bool isGbkTrail(unsigned char b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

} // namespace

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t firstInvalidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // Plain ASCII eight bytes at a time.
        while (bytes.size() - pos >= 8) {
            std::uint64_t w;
            std::memcpy(&w, bytes.data() + pos, 8);
            if ((w & 0x8080808080808080ULL) != 0)
                break;
            pos += 8;
        }
        if (pos == bytes.size())
            break;
        const Decoded d = decodeAt(bytes, pos);
        if (d.codePoint == kInvalid)
            return pos;
        pos += d.length;
    }
    return std::string_view::npos;
}

bool isValidUtf8(std::string_view bytes)
{
    return firstInvalidUtf8(bytes) == std::string_view::npos;
}

std::string sanitizeUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Decoded d = decodeAt(bytes, pos);
        if (d.codePoint == kInvalid)
            out += kReplacementUtf8;
        else
            out.append(bytes.substr(pos, d.length));
        pos += d.length;
    }
    return out;
}

namespace detail {

std::uint16_t codePageTable[kTableSlots];

} // namespace detail

namespace {

using detail::codePageTable;
using detail::kHighBits;
using detail::kThreeByteStart;
using detail::kTwoByteSlots;
using detail::tableEntry;

// Whether each page of 256 characters of the table has been filled.
constinit std::atomic<bool> codePagePageFilled[256] = {};

// The slot of a character of the BMP (see codePageTable).
constexpr std::size_t slotOf(char32_t cp)
{
    if (cp < kThreeByteStart)
        return kTwoByteSlots + cp;
    return std::size_t{cp >> 12} << 16 | std::size_t{cp >> 6 & 0x3F} << 8 | (cp & 0x3F);
}

[[gnu::noinline]] std::uint16_t fillCodePagePage(char32_t cp)
{
    const char32_t pageIndex = cp >> 8;
    if (!codePagePageFilled[pageIndex].load(std::memory_order_acquire)) {
        // Two threads may fill the same page at once: they store the same.
        std::string one;
        std::string bytes;
        for (char32_t i = 0; i < 256; ++i) {
            const char32_t c = pageIndex << 8 | i;
            if (c >= 0xD800 && c <= 0xDFFF)
                continue; // surrogates never decode
            one.clear();
            appendUtf8(one, c);
            bytes.clear();
            encodeChar(one, c, bytes);
            std::uint16_t entry = 0;
            // Two bytes that do not fit the form of the entries (see
            // codePageTable; no code page 936 character has them) are left to
            // the slow path.
            if (bytes.size() == 2 && bytes[0] != 0 && static_cast<unsigned char>(bytes[1]) > 0x01)
                entry = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                                   static_cast<unsigned char>(bytes[1]) << 8);
            else if (bytes.size() == 1)
                entry = static_cast<std::uint16_t>(0x100 | static_cast<unsigned char>(bytes[0]));
            std::atomic_ref<std::uint16_t>(codePageTable[slotOf(c)])
                .store(entry, std::memory_order_relaxed);
        }
        codePagePageFilled[pageIndex].store(true, std::memory_order_release);
    }
    return tableEntry(slotOf(cp));
}

inline std::uint16_t codePageEntry(char32_t cp)
{
    const std::uint16_t entry = tableEntry(slotOf(cp));
    if (entry != 0) [[likely]]
        return entry;
    return fillCodePagePage(cp);
}

// The length of the ASCII run at the start of s.
std::size_t asciiPrefix(std::string_view s)
{
    std::size_t pos = 0;
    for (; s.size() - pos >= 8; pos += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + pos, 8);
        if ((w & kHighBits) != 0)
            return pos + static_cast<std::size_t>(std::countr_zero(w & kHighBits) / 8);
    }
    while (pos < s.size() && static_cast<unsigned char>(s[pos]) < 0x80)
        ++pos;
    return pos;
}

} // namespace

std::string toCodePage(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    appendCodePage(out, utf8);
    return out;
}

namespace detail {

Progress encodeOther(const unsigned char *in, const unsigned char *end, char *o)
{
    const unsigned c = in[0];
    // The well-formed two- and three-byte sequences (all of the BMP but
    // ASCII) through the table; E0 and ED restrict their second byte
    // (overlongs, surrogates), so they take the slow path.
    char32_t cp = kInvalid;
    std::size_t length = 0;
    const std::ptrdiff_t left = end - in;
    if (c >= 0xE1 && c <= 0xEF && c != 0xED && left >= 3 && (in[1] & 0xC0) == 0x80 &&
        (in[2] & 0xC0) == 0x80) {
        cp = (c & 0x0Fu) << 12 | (in[1] & 0x3Fu) << 6 | (in[2] & 0x3Fu);
        length = 3;
    } else if (c >= 0xC2 && c <= 0xDF && left >= 2 && (in[1] & 0xC0) == 0x80) {
        cp = (c & 0x1Fu) << 6 | (in[1] & 0x3Fu);
        length = 2;
    }
    const std::uint16_t entry = length != 0 ? codePageEntry(cp) : 0;
    if (entry == 0) [[unlikely]] {
        // Outside the BMP, ill-formed, or more than the table holds.
        const std::string_view rest(reinterpret_cast<const char *>(in),
                                    static_cast<std::size_t>(left));
        const Decoded d = decodeAt(rest, 0);
        std::string bytes;
        encodeChar(rest.substr(0, d.length), d.codePoint, bytes);
        if (bytes.size() > d.length)
            bytes = "?"; // beyond what this code page does; keeps the bound
        return {in + d.length, std::copy(bytes.begin(), bytes.end(), o)};
    }
    *o++ = static_cast<char>(entry & 0xFF);
    if (entry >> 8 != 0x01)
        *o++ = static_cast<char>(entry >> 8);
    return {in + length, o};
}

} // namespace detail

std::size_t appendCodePage(std::string &out, std::string_view utf8)
{
    const std::size_t start = out.size();
    const std::size_t ascii = asciiPrefix(utf8);
    out.append(utf8.data(), ascii);
    if (ascii == utf8.size())
        return ascii;
    // The bytes gather in a buffer of our own and go to out in one append per
    // chunk, so out is never resized ahead (no zero-filling); the buffer has
    // room for the last character or ASCII block crossing a chunk's end.
    constexpr std::size_t kChunk = 512;
    char buffer[kChunk + 8];
    const auto *in = reinterpret_cast<const unsigned char *>(utf8.data()) + ascii;
    const auto *const end = reinterpret_cast<const unsigned char *>(utf8.data()) + utf8.size();
    while (in < end) {
        char *o = buffer;
        in = detail::encodeRun(in, in + std::min(static_cast<std::size_t>(end - in), kChunk), end,
                               o);
        out.append(buffer, static_cast<std::size_t>(o - buffer));
    }
    return out.size() - start;
}

char *encodeCodePage(std::string_view utf8, char *out)
{
    return writeCodePage(utf8, out);
}

std::string fromCodePage(std::string_view cp936)
{
    std::string out;
    out.reserve(cp936.size() + cp936.size() / 2);
    for (std::size_t pos = 0; pos < cp936.size();) {
        const auto b = static_cast<unsigned char>(cp936[pos]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++pos;
            continue;
        }
        std::size_t len = 1;
        if (isGbkLead(b) && pos + 1 < cp936.size() &&
            isGbkTrail(static_cast<unsigned char>(cp936[pos + 1])))
            len = 2;
        if (!detail::codePageToUtf8(cp936.substr(pos, len), out))
            appendUtf8(out, kReplacement);
        pos += len;
    }
    return out;
}

std::size_t codePageLength(std::string_view utf8)
{
    std::string bytes;
    return appendCodePage(bytes, utf8);
}

std::string_view truncateToCodePageLength(std::string_view utf8, std::size_t maxBytes)
{
    std::size_t length = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const Decoded d = decodeAt(utf8, pos);
        const std::size_t width = codePageLength(utf8.substr(pos, d.length));
        if (length + width > maxBytes)
            break;
        length += width;
        pos += d.length;
    }
    return utf8.substr(0, pos);
}

char32_t nextCodePoint(std::string_view s, std::size_t &pos)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    std::size_t len = 1;
    if (b0 >= 0xF0 && b0 < 0xF8)
        len = 4;
    else if (b0 >= 0xE0 && b0 < 0xF0)
        len = 3;
    else if (b0 >= 0xC0 && b0 < 0xE0)
        len = 2;
    if (len == 1 || pos + len > s.size()) {
        ++pos;
        return b0;
    }
    char32_t cp = b0 & (0xFF >> (len + 1));
    for (std::size_t i = 1; i < len; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
    pos += len;
    return cp;
}

} // namespace tally::text
