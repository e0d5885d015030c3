#pragma once

#include "printing/pdf/pdfnumber.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tally::printing::pdf {

// The operators of a content stream as they are written: a growing byte
// buffer that numbers are formatted into in place. Kept between pages, so
// a page's content costs no allocation once the first page is written.
class ContentBuffer
{
public:
    void clear() { m_size = 0; }
    std::string_view view() const { return {m_data.data(), m_size}; }
    std::size_t size() const { return m_size; }

    void append(std::string_view s)
    {
        char *p = reserve(s.size());
        std::memcpy(p, s.data(), s.size());
        m_size += s.size();
    }
    void append(char c)
    {
        *reserve(1) = c;
        ++m_size;
    }
    // A number (formatNumber) or an integer, each followed by a space.
    void number(double v)
    {
        char *p = formatNumber(reserve(kNumberChars + 1), v);
        *p++ = ' ';
        m_size = static_cast<std::size_t>(p - m_data.data());
    }
    void integer(std::int64_t v)
    {
        char *p = formatInteger(reserve(kNumberChars + 1), v);
        *p++ = ' ';
        m_size = static_cast<std::size_t>(p - m_data.data());
    }
    // Room for n more bytes at the end; write there, then grow size with
    // commit.
    char *reserve(std::size_t n)
    {
        if (m_size + n > m_data.size())
            m_data.resize(std::max(m_data.size() * 2, m_size + n + 4096));
        return m_data.data() + m_size;
    }
    void commit(const char *end) { m_size = static_cast<std::size_t>(end - m_data.data()); }

private:
    std::string m_data;
    std::size_t m_size = 0;
};

} // namespace tally::printing::pdf
