#include "printing/processinfo.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <iterator>
#include <windows.h>
#endif

namespace tally::printing {

std::string ExecutableBaseName()
{
    std::filesystem::path exe;
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    if (n == 0 || n >= std::size(buffer))
        return {};
    exe = std::filesystem::path(std::wstring(buffer, n));
#else
    std::error_code ec;
    exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
#endif
    const std::u8string stem = exe.stem().u8string();
    return std::string(stem.begin(), stem.end());
}

} // namespace tally::printing
