#pragma once

#include <cstdio>
#include <string>

namespace tally::tabular {

// Where an export writes, so that a failed or stopped export never leaves a
// partial file under the name the user chose. For a new or regular file the
// writer gets a temporary file in the same folder (hence the same file
// system), which commit() renames over the chosen name. An existing file
// that is not a regular file (a device such as /dev/full, a pipe) is written
// directly when the writer streams; it is never renamed over or removed.
class ExportTarget
{
public:
    enum class Access
    {
        Stream,      // the writer only appends: devices and pipes are fine
        RegularFile, // the writer needs a regular file of its own
    };

    // Reserves the temporary file (created empty and kept open). Throws
    // ExportError when the folder cannot take it, or, for RegularFile, when
    // `path` exists and is not a regular file.
    ExportTarget(std::string path, Access access);
    // Closes the temporary file unless taken, and removes it unless committed.
    ~ExportTarget();
    ExportTarget(const ExportTarget &) = delete;
    ExportTarget &operator=(const ExportTarget &) = delete;

    const std::string &path() const { return m_path; }
    // The file the writer writes: the temporary file, or `path` itself.
    const std::string &writePath() const { return m_writePath; }
    // The temporary file as created, open for writing, for the caller to
    // close; null when there is none or it was taken. Opening it again by
    // name would empty it once more, and ext4 answers a file emptied and then
    // written by starting its writeback at the close, in the writer's time.
    std::FILE *takeFile();
    // Puts the written file in place under `path`. Throws ExportError when
    // that fails (the temporary file is then removed).
    void commit();

private:
    std::string m_path;
    std::string m_writePath;
    std::FILE *m_file = nullptr;
    bool m_temporary = false;
    bool m_committed = false;
};

} // namespace tally::tabular
