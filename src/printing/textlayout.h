#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tally::printing {

// Widths of text in the current font of a canvas, in device pixels.
class TextMetrics
{
public:
    virtual ~TextMetrics() = default;
    // Advance width of a run of UTF-8 text without tabs or line breaks.
    virtual int textWidth(std::string_view utf8) const = 0;
    // Distance between the tops of two successive lines.
    virtual int lineHeight() const = 0;
    // Average character width; tab stops lie every eight of them.
    virtual int averageCharWidth() const = 0;
};

// Breaks rectangle text into lines the way both canvases draw it, so that
// measuring and drawing agree: CR LF, LF and CR end a line; with word
// breaking a line ends before the word that would overflow the width (a
// single word wider than the width stays whole); every CJK character is a
// word of its own; spaces at a break are dropped; tabs jump to the next stop
// when expanded and are ordinary characters otherwise.
class TextLayout
{
public:
    // A piece of a line drawn at x pixels from the line's start.
    struct Run
    {
        int x = 0;
        std::string text;
    };
    struct Line
    {
        std::vector<Run> runs;
        int width = 0;
    };

    // Lays out the text for a rectangle of the given width. The flags are
    // Canvas::TextFlag bits; only WordBreak and ExpandTabs matter here.
    static TextLayout layout(std::string_view utf8, int width, unsigned flags,
                             const TextMetrics &metrics);

    const std::vector<Line> &lines() const { return m_lines; }
    int lineHeight() const { return m_lineHeight; }
    // Width of the widest line and height of all lines.
    int width() const;
    int height() const { return static_cast<int>(m_lines.size()) * m_lineHeight; }

    // Left edge of a line of width lineWidth in [left, right) for the
    // alignment bits of flags.
    static int alignedX(int left, int right, int lineWidth, unsigned flags);

private:
    std::vector<Line> m_lines;
    int m_lineHeight = 0;
};

} // namespace tally::printing
