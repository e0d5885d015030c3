#include "base/textcodec.h"

#include "base/textcodec_backend.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

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

std::size_t encodedWidth(std::string_view utf8Char, char32_t cp)
{
    if (cp < 0x80)
        return 1;
    std::string bytes;
    encodeChar(utf8Char, cp, bytes);
    return bytes.size();
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

std::string toCodePage(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    // Whole-text conversion is the common case; the converter stops at the first
    // character GBK lacks, and then each character is converted on its own.
    if (isValidUtf8(utf8) && detail::utf8ToCodePage(utf8, out))
        return out;
    out.clear();
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Decoded d = decodeAt(utf8, pos);
        encodeChar(utf8.substr(pos, d.length), d.codePoint, out);
        pos += d.length;
    }
    return out;
}

namespace {

// The code page bytes of each BMP character met so far on this thread, so
// exports of many cells skip the converter for characters already seen: hi << 8 | lo
// for two bytes, 0x100 | b for one, 0 for not yet known.
std::uint16_t *bmpCache()
{
    thread_local const std::unique_ptr<std::uint16_t[]> cache =
        std::make_unique<std::uint16_t[]>(0x10000);
    return cache.get();
}

} // namespace

std::size_t appendCodePage(std::string &out, std::string_view utf8)
{
    const std::size_t start = out.size();
    std::size_t pos = 0;
    while (pos < utf8.size() && static_cast<unsigned char>(utf8[pos]) < 0x80)
        ++pos;
    out.append(utf8.substr(0, pos));
    if (pos == utf8.size())
        return pos;
    // No character takes more bytes in the code page than in UTF-8 (the
    // replacement '?' takes one), so the room is known in advance.
    const std::size_t at = out.size();
    out.resize(at + utf8.size() - pos);
    char *p = out.data() + at;
    std::uint16_t *cache = bmpCache();
    std::string bytes;
    while (pos < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80) {
            *p++ = static_cast<char>(b);
            ++pos;
            continue;
        }
        const Decoded d = decodeAt(utf8, pos);
        const std::string_view one = utf8.substr(pos, d.length);
        pos += d.length;
        std::uint16_t entry = 0;
        if (d.codePoint < 0x10000)
            entry = cache[d.codePoint];
        if (entry == 0) {
            // Outside the BMP, ill-formed, or not met yet.
            bytes.clear();
            encodeChar(one, d.codePoint, bytes);
            if (d.codePoint < 0x10000 && bytes.size() == 2)
                entry = cache[d.codePoint] =
                    static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                               static_cast<unsigned char>(bytes[1]));
            else if (d.codePoint < 0x10000 && bytes.size() == 1)
                entry = cache[d.codePoint] =
                    static_cast<std::uint16_t>(0x100 | static_cast<unsigned char>(bytes[0]));
            if (entry == 0) {
                p = std::copy(bytes.begin(), bytes.end(), p);
                continue;
            }
        }
        // A two-byte character's lead byte is at least 0x81, never 0x01.
        if (entry >> 8 != 0x01)
            *p++ = static_cast<char>(entry >> 8);
        *p++ = static_cast<char>(entry & 0xFF);
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out.size() - start;
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
    return toCodePage(utf8).size();
}

std::string_view truncateToCodePageLength(std::string_view utf8, std::size_t maxBytes)
{
    std::size_t length = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const Decoded d = decodeAt(utf8, pos);
        const std::size_t width = encodedWidth(utf8.substr(pos, d.length), d.codePoint);
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
