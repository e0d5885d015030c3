#include "tabular/exportstream.h"

#include "tabular/exporterror.h"
#include "tabular/exporttarget.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <system_error>

#ifdef __linux__
#include <fcntl.h>
#endif

namespace tally::tabular {

ExportStream::ExportStream(ExportTarget &target) : m_path(target.path()), m_file(target.takeFile())
{
    if (!m_file) {
        errno = 0;
        m_file = std::fopen(target.writePath().c_str(), "wb");
        if (!m_file)
            fail(errno);
    }
    // Our own buffer is the only one; stdio's would copy every byte again.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
}

ExportStream::~ExportStream()
{
    if (m_file)
        std::fclose(m_file);
}

void ExportStream::expect(std::uint64_t bytes)
{
#ifdef __linux__
    // Not posix_fallocate, which writes zeros where the file system cannot
    // reserve. Devices and pipes refuse, as do some file systems.
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
    if (bytes > 0)
        (void)fallocate(fileno(m_file), FALLOC_FL_KEEP_SIZE, 0,
                        static_cast<off_t>(std::min(bytes, kMax)));
#else
    (void)bytes;
#endif
}

void ExportStream::flush()
{
    if (m_buffer.empty())
        return;
    errno = 0;
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        fail(errno);
    m_buffer.clear();
}

void ExportStream::writeThrough(std::string_view bytes)
{
    flush();
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        fail(errno);
}

void ExportStream::close()
{
    flush();
    std::FILE *f = m_file;
    m_file = nullptr;
    errno = 0;
    if (std::fclose(f) != 0)
        fail(errno);
}

void ExportStream::fail(int error) const
{
    std::string msg = "cannot write \"" + m_path + "\"";
    if (error != 0)
        msg += ": " + std::error_code(error, std::generic_category()).message();
    throw ExportError(msg);
}

} // namespace tally::tabular
