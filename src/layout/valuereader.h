#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tally::layout {

// Reads the typed values and raw tag bytes of a layout stream from untrusted
// bytes. Every read either succeeds or throws LayoutStreamError carrying the
// offset of the item it was reading: "Stream read error" when the bytes end
// early, "Invalid property value" for a type byte the value does not allow.
// Never allocates more than the bytes that remain.
class ValueReader
{
public:
    // The bytes must outlive the reader.
    explicit ValueReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    // Offset of the next byte to read.
    std::size_t Offset() const { return m_pos; }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }

    // An integer of type 0x02, 0x03 or 0x04, sign-extended.
    std::int32_t ReadInt();
    // A string of type 0x06 or 0x0C (code page 936), 0x12 (UTF-16LE) or 0x14
    // (UTF-8), returned as well-formed UTF-8.
    std::string ReadString();
    // One byte: 0x09 is true, anything else false.
    bool ReadBool();
    // One raw byte.
    std::uint8_t ReadByte();
    // The list begin (0x01).
    void ReadListBegin();
    // True (and consumes it) when the next byte is the list end 0x00.
    bool AtListEnd();

    // Throws LayoutStreamError at the offset with the message.
    [[noreturn]] static void Fail(std::size_t offset, const char *message);

private:
    // Consumes n bytes for the item that started at `itemStart`.
    const std::uint8_t *take(std::size_t n, std::size_t itemStart);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

} // namespace tally::layout
