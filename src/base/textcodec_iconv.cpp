#include "base/textcodec_backend.h"

#include <cerrno>
#include <iconv.h>

namespace tally::text::detail {

namespace {

// One conversion descriptor per thread and direction: iconv descriptors carry
// shift state and must not be shared between threads.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    bool convert(std::string_view in, std::string &out)
    {
        if (!valid())
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[32];
        std::string result;
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char *dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            result.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                return false;
        }
        char *dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        result.append(buffer, static_cast<std::size_t>(dst - buffer));
        out += result;
        return true;
    }

private:
    iconv_t m_cd;
};

} // namespace

bool utf8ToCodePage(std::string_view utf8, std::string &out)
{
    thread_local Converter conv("CP936", "UTF-8");
    return conv.convert(utf8, out);
}

bool codePageToUtf8(std::string_view cp936, std::string &out)
{
    thread_local Converter conv("UTF-8", "CP936");
    return conv.convert(cp936, out);
}

} // namespace tally::text::detail
