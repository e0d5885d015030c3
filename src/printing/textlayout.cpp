#include "printing/textlayout.h"

#include "printing/canvas.h"

#include <algorithm>
#include <cstdint>

namespace tally::printing {

namespace {

// Length of the UTF-8 sequence that starts with byte b (1 for stray bytes,
// so malformed text still advances).
std::size_t sequenceLength(unsigned char b)
{
    if (b >= 0xF0 && b < 0xF8)
        return 4;
    if (b >= 0xE0)
        return b < 0xF0 ? 3 : 1;
    if (b >= 0xC0)
        return 2;
    return 1;
}

char32_t decodeAt(std::string_view s, std::size_t pos, std::size_t len)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (len == 1 || pos + len > s.size())
        return b0;
    char32_t cp = b0 & (0xFF >> (len + 1));
    for (std::size_t i = 1; i < len; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
    return cp;
}

// Ideographs, kana, Hangul and full-width forms break anywhere.
bool breaksAnywhere(char32_t cp)
{
    return cp >= 0x2E80 && !(cp >= 0xD800 && cp <= 0xDFFF);
}

enum class TokenKind
{
    Word,
    Space,
    Tab
};

struct Token
{
    TokenKind kind;
    std::string_view text;
};

// Splits one paragraph (no line breaks) into words, space runs and tabs.
std::vector<Token> tokenize(std::string_view para, bool tabsAreStops)
{
    std::vector<Token> tokens;
    std::size_t pos = 0;
    while (pos < para.size()) {
        const std::size_t len =
            std::min(sequenceLength(static_cast<unsigned char>(para[pos])), para.size() - pos);
        const char32_t cp = decodeAt(para, pos, len);
        if (cp == U'\t' && tabsAreStops) {
            tokens.push_back({TokenKind::Tab, para.substr(pos, 1)});
            pos += 1;
            continue;
        }
        if (cp == U' ') {
            std::size_t end = pos;
            while (end < para.size() && para[end] == ' ')
                ++end;
            tokens.push_back({TokenKind::Space, para.substr(pos, end - pos)});
            pos = end;
            continue;
        }
        if (breaksAnywhere(cp)) {
            tokens.push_back({TokenKind::Word, para.substr(pos, len)});
            pos += len;
            continue;
        }
        std::size_t end = pos;
        while (end < para.size()) {
            const std::size_t l =
                std::min(sequenceLength(static_cast<unsigned char>(para[end])), para.size() - end);
            const char32_t c = decodeAt(para, end, l);
            if (c == U' ' || (c == U'\t' && tabsAreStops) || breaksAnywhere(c))
                break;
            end += l;
        }
        tokens.push_back({TokenKind::Word, para.substr(pos, end - pos)});
        pos = end;
    }
    return tokens;
}

class LineBuilder
{
public:
    LineBuilder(const TextMetrics &metrics, int tabStop) : m_metrics(metrics), m_tabStop(tabStop) {}

    // The x at which the token would end if appended.
    int endAfter(const Token &t) const
    {
        if (t.kind == TokenKind::Tab)
            return nextStop(m_x);
        return m_x + m_metrics.textWidth(t.text);
    }

    void append(const Token &t)
    {
        if (t.kind == TokenKind::Tab) {
            m_x = nextStop(m_x);
            m_runOpen = false;
            return;
        }
        if (!m_runOpen) {
            m_line.runs.push_back({m_x, std::string()});
            m_runOpen = true;
        }
        m_line.runs.back().text.append(t.text);
        m_x += m_metrics.textWidth(t.text);
        if (t.kind == TokenKind::Word)
            m_contentEnd = m_x;
    }

    bool empty() const { return m_x == 0 && m_line.runs.empty(); }

    TextLayout::Line finish(bool dropTrailingSpaces)
    {
        TextLayout::Line line = std::move(m_line);
        if (dropTrailingSpaces) {
            while (!line.runs.empty()) {
                auto &text = line.runs.back().text;
                while (!text.empty() && text.back() == ' ')
                    text.pop_back();
                if (!text.empty())
                    break;
                line.runs.pop_back();
            }
            line.width = m_contentEnd;
        } else {
            line.width = m_x;
        }
        if (!line.runs.empty())
            line.runs.back().text.shrink_to_fit();
        m_line = {};
        m_x = 0;
        m_contentEnd = 0;
        m_runOpen = false;
        return line;
    }

private:
    int nextStop(int x) const { return m_tabStop > 0 ? (x / m_tabStop + 1) * m_tabStop : x; }

    const TextMetrics &m_metrics;
    int m_tabStop;
    TextLayout::Line m_line;
    int m_x = 0;
    int m_contentEnd = 0;
    bool m_runOpen = false;
};

} // namespace

TextLayout TextLayout::layout(std::string_view utf8, int width, unsigned flags,
                              const TextMetrics &metrics)
{
    TextLayout result;
    result.m_lineHeight = metrics.lineHeight();
    const bool wrap = (flags & Canvas::WordBreak) != 0;
    const bool tabs = (flags & Canvas::ExpandTabs) != 0;
    LineBuilder builder(metrics, 8 * metrics.averageCharWidth());

    std::size_t start = 0;
    while (true) {
        std::size_t end = utf8.find_first_of("\r\n", start);
        const std::string_view para = utf8.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        bool afterBreak = false;
        for (const Token &t : tokenize(para, tabs)) {
            if (wrap && !builder.empty() && t.kind != TokenKind::Space &&
                builder.endAfter(t) > width) {
                result.m_lines.push_back(builder.finish(true));
                afterBreak = true;
            }
            // Spaces that would open a wrapped line are swallowed by the break.
            if (afterBreak && t.kind == TokenKind::Space)
                continue;
            afterBreak = false;
            builder.append(t);
        }
        result.m_lines.push_back(builder.finish(wrap));
        if (end == std::string_view::npos)
            break;
        start =
            end + ((utf8[end] == '\r' && end + 1 < utf8.size() && utf8[end + 1] == '\n') ? 2 : 1);
    }
    return result;
}

int TextLayout::width() const
{
    int w = 0;
    for (const Line &l : m_lines)
        w = std::max(w, l.width);
    return w;
}

int TextLayout::alignedX(int left, int right, int lineWidth, unsigned flags)
{
    if (flags & Canvas::AlignCenter)
        return left + (right - left - lineWidth) / 2;
    if (flags & Canvas::AlignRight)
        return right - lineWidth;
    return left;
}

} // namespace tally::printing
