#pragma once

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The conversion of UTF-8 to code page 936 (see textcodec.h) as inline code,
// its table and loops, for writers that call it for every cell; textcodec.cpp
// fills the table and converts what the loops leave to it.

namespace tally::text {

namespace detail {

// The code page bytes of every BMP character, taken from the platform
// converter one character at a time, so the table maps exactly as it does.
// Entries: the bytes as they go out, first byte lowest (first | second << 8)
// for two bytes; 0x100 | b for one (a character the code page lacks is '?'):
// a second byte is never 0x01, nor is the first byte ever 0 when there is a
// second; 0 for not known yet or what the table cannot hold (the
// slow path then converts it each time). Pages of 256 characters are filled
// at first use, once per process: an export meets only a few of them. One
// flat array, so a character costs one load; zero-initialised static
// storage (memory the system hands out only when touched), so it needs no
// guard. Entries are read and written through std::atomic_ref (tableEntry)
// only so that a page filled by one thread while another reads it is no
// data race: an entry, once set, never changes. Plain integers, because an
// array of a million std::atomic is more than some compilers will
// initialise as a constant.
//
// A character of three UTF-8 bytes is at the slot its bytes give once
// their fixed bits are taken off: lead byte less 0xE0, then each
// continuation byte less 0x80, a byte each (see threeByteSlot). So the loops
// that convert Chinese text find a slot by a byte swap, a shift and a mask,
// without packing the bits into a code point. The slots are sparse (2 MB of
// them, of which an export touches a few pages). A character of two bytes
// (below U+0800) is past them instead. The slots whose bytes would be an
// overlong form (lead E0, second byte below A0) or a surrogate (lead ED,
// second byte from A0) belong to no character and stay 0 for good: the
// loops, which do not ask whether the bytes were one of those, find 0 there
// and leave them to the slow path.
constexpr char32_t kThreeByteStart = 0x800;
constexpr std::size_t kTwoByteSlots = 0x0F4000; // past the highest three-byte slot, 0x0F3F3F
constexpr std::size_t kTableSlots = kTwoByteSlots + kThreeByteStart;
extern std::uint16_t codePageTable[kTableSlots];
static_assert(std::atomic_ref<std::uint16_t>::required_alignment == alignof(std::uint16_t));

inline std::uint16_t tableEntry(std::size_t slot)
{
    return std::atomic_ref<std::uint16_t>(codePageTable[slot]).load(std::memory_order_relaxed);
}

// The slot of the three UTF-8 bytes at p, which must be a lead byte from E0
// to EF and two continuation bytes (overlong forms and surrogates included).
inline std::size_t threeByteSlot(const unsigned char *p)
{
    return (std::size_t{p[0]} << 16 | std::size_t{p[1]} << 8 | p[2]) - 0xE08080;
}

// threeByteSlot of the two characters that are the first six bytes of w
// (eight bytes read from memory as they stand), found in one word: swapped,
// each character's bytes stand in the order of its slot's bytes.
struct SlotPair
{
    std::size_t first;
    std::size_t second;
};
inline SlotPair threeByteSlots(std::uint64_t w)
{
    const std::uint64_t swapped = __builtin_bswap64(w);
    return {static_cast<std::size_t>(swapped >> 40 & 0x0F3F3F),
            static_cast<std::size_t>(swapped >> 16 & 0x0F3F3F)};
}

// Entries of two bytes are stored to the output as they are.
static_assert(std::endian::native == std::endian::little);

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Where a conversion stopped, in the input and in the output.
struct Progress
{
    const unsigned char *in;
    char *out;
};

// One character at in (before end) that the loops of encodeRun leave: any
// but ASCII and the runs of two-byte characters. Writes its bytes at o and
// returns the positions past them. Out of line, so that encodeRun's loops
// keep their values in registers (the two positions come back in registers
// too).
[[gnu::noinline]] Progress encodeOther(const unsigned char *in, const unsigned char *end, char *o);

// Converts the characters that start before `limit` (decoding up to `end`),
// writing at o; returns where the input stopped, at or just past limit. No
// character takes more bytes in the code page than in UTF-8 (a character of
// code page 936 takes one or two, the '?' of an ill-formed subpart one), so
// the output is at most as long as the input read.
[[gnu::always_inline]] inline const unsigned char *
encodeRun(const unsigned char *in, const unsigned char *limit, const unsigned char *end, char *&out)
{
    // A copy of its own: stores through a char pointer could alias the
    // caller's, which would then be reloaded and stored for every byte.
    char *o = out;
    while (in < limit) {
        // Eight bytes at a time while eight are left before limit (so all
        // the characters converted start before it): all ASCII, or two
        // three-byte characters of two bytes each in the code page (Chinese
        // text, most of it). The lead bytes are only checked to be E0 to EF:
        // the slots of overlong forms and of surrogates hold 0 (see
        // codePageTable), which ends the loop as well.
        while (limit - in >= 8) {
            std::uint64_t w;
            std::memcpy(&w, in, 8);
            if ((w & kHighBits) == 0) {
                std::memcpy(o, &w, 8);
                o += 8;
                in += 8;
            } else {
                if ((w & 0xC0C0F0C0C0F0ULL) != 0x8080E08080E0ULL)
                    break;
                const SlotPair slots = threeByteSlots(w);
                const std::uint16_t first = tableEntry(slots.first);
                const std::uint16_t second = tableEntry(slots.second);
                // A two-byte character's entry is past 0x1FF (its second byte
                // is at least 0x40), a one-byte character's is 0x01nn, an
                // unknown one 0.
                if (std::min(first, second) <= 0x1FF) [[unlikely]]
                    break;
                const std::uint32_t bytes = first | static_cast<std::uint32_t>(second) << 16;
                std::memcpy(o, &bytes, 4);
                o += 4;
                in += 6;
            }
        }
        if (in >= limit)
            break;
        // One character: ASCII, a three-byte one of two bytes in the code
        // page, or any other (encodeOther).
        const unsigned c = in[0];
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
            ++in;
            continue;
        }
        if (end - in >= 3 && ((c | in[1] << 8u | in[2] << 16u) & 0xC0C0F0u) == 0x8080E0u) {
            const std::uint16_t entry = tableEntry(threeByteSlot(in));
            if (entry > 0x1FF) [[likely]] {
                std::memcpy(o, &entry, 2);
                o += 2;
                in += 3;
                continue;
            }
        }
        const Progress next = encodeOther(in, end, o);
        in = next.in;
        o = next.out;
    }
    out = o;
    return in;
}

} // namespace detail

// encodeCodePage (see textcodec.h), inline: for writers that convert texts
// by the million into a buffer of their own, which would otherwise pay a
// call and its saving of registers for every cell.
[[gnu::always_inline]] inline char *writeCodePage(std::string_view utf8, char *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *const end = in + utf8.size();
    detail::encodeRun(in, end, end, out);
    return out;
}

} // namespace tally::text
