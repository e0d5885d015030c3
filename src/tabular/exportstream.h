#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tally::tabular {

class ExportTarget;

// Buffered binary output to one file, with every failure reported (a full
// disk shows up at the latest when the file is closed).
class ExportStream
{
public:
    // The size of the writes that reach the file, for the stream's own
    // buffer and for writers that hand it blocks of theirs. Measured on
    // ext4 (Linux 6.18), a write of 1 MiB costs the kernel half the
    // processor time per byte of a write of 64 KiB: the page cache takes
    // larger folios for it.
    static constexpr std::size_t kBlockSize = 1 << 20;

    // Takes the target's open file, or opens (creates or empties) the file
    // it names; messages name the target's own name. Throws ExportError when
    // it cannot.
    explicit ExportStream(ExportTarget &target);
    // Closes the file without checking; call close() to learn of failures.
    ~ExportStream();
    ExportStream(const ExportStream &) = delete;
    ExportStream &operator=(const ExportStream &) = delete;

    // The least the writer will write in all, told before it writes. Where
    // the file system can, room for it is reserved at once, the file's size
    // staying what is written: on ext4 that spares the kernel finding room
    // block by block as the writes come, a third of its time for them. Only
    // a saving: when the reservation fails, the writes report what fails.
    void expect(std::uint64_t bytes);
    // Blocks of a writer's own buffering go straight to the file.
    void write(std::string_view bytes)
    {
        if (bytes.size() >= kBlockSize) {
            writeThrough(bytes);
            return;
        }
        m_buffer.append(bytes);
        if (m_buffer.size() >= kBlockSize)
            flush();
    }
    // Writes what is buffered and closes the file. Throws ExportError when
    // any write or the close failed.
    void close();

private:
    void flush();
    void writeThrough(std::string_view bytes);
    [[noreturn]] void fail(int error) const;

    std::string m_path;
    std::FILE *m_file = nullptr;
    std::string m_buffer;
};

} // namespace tally::tabular
