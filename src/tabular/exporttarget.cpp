#include "tabular/exporttarget.h"

#include "tabular/exporterror.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

namespace tally::tabular {

namespace {

namespace fs = std::filesystem;

std::string inQuotes(const std::string &path)
{
    return "\"" + path + "\"";
}

std::string errnoText(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

} // namespace

ExportTarget::ExportTarget(std::string path, Access access) : m_path(std::move(path))
{
    if (m_path.empty())
        throw ExportError("no file name given");
    std::error_code ec;
    // Through a link the file it names is replaced, not the link.
    if (fs::is_symlink(m_path, ec))
        if (const fs::path real = fs::weakly_canonical(m_path, ec); !ec)
            m_path = real.string();
    const fs::file_status st = fs::status(m_path, ec);
    if (fs::exists(st) && !fs::is_regular_file(st)) {
        if (fs::is_directory(st) || access == Access::RegularFile)
            throw ExportError("cannot write " + inQuotes(m_path) + ": not a regular file");
        m_writePath = m_path;
        return;
    }

    // A hidden name beside the target; "x" makes creation fail rather than
    // reuse a file someone else made in between.
    const fs::path target(m_path);
    const fs::path folder = target.parent_path();
    std::random_device seed;
    std::mt19937 random(seed());
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + target.filename().string() + ".";
        for (int i = 0; i < 8; ++i)
            name += kDigits[random() % 36];
        name += ".part";
        const std::string candidate = (folder / name).string();
        errno = 0;
        if (std::FILE *f = std::fopen(candidate.c_str(), "wbx")) {
            m_file = f;
            m_writePath = candidate;
            m_temporary = true;
            return;
        }
        if (errno != EEXIST)
            throw ExportError("cannot create a file in the folder of " + inQuotes(m_path) + ": " +
                              errnoText(errno));
    }
    throw ExportError("cannot create a file in the folder of " + inQuotes(m_path));
}

ExportTarget::~ExportTarget()
{
    if (m_file)
        std::fclose(m_file);
    if (m_temporary && !m_committed)
        std::remove(m_writePath.c_str());
}

std::FILE *ExportTarget::takeFile()
{
    return std::exchange(m_file, nullptr);
}

void ExportTarget::commit()
{
    if (m_temporary) {
        std::error_code ec;
        fs::rename(m_writePath, m_path, ec);
        if (ec)
            throw ExportError("cannot replace " + inQuotes(m_path) + ": " + ec.message());
    }
    m_committed = true;
}

} // namespace tally::tabular
