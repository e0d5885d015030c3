#pragma once

#include "printing/simplebilltypes.h"

#include <functional>
#include <string>

namespace tally::printing {

// The centred title of a list report. Every change calls the change handler
// (the owning report's top-space check).
class TSimpleBillTitle
{
public:
    explicit TSimpleBillTitle(std::function<void()> changed = {}) : m_changed(std::move(changed)) {}
    TSimpleBillTitle(const TSimpleBillTitle &) = delete;
    TSimpleBillTitle &operator=(const TSimpleBillTitle &) = delete;

    const std::string &Caption() const { return m_caption; }
    void SetCaption(std::string caption)
    {
        m_caption = std::move(caption);
        changed();
    }
    // Initially "黑体" at 12 points.
    const TSimpleFont &Font() const { return m_font; }
    void SetFont(const TSimpleFont &font)
    {
        m_font = font;
        changed();
    }
    // Distance of the title's top from the top of the content.
    int Top() const { return m_top; }
    void SetTop(int top)
    {
        m_top = top;
        changed();
    }
    // Copies Font and Caption; Top stays.
    void Assign(const TSimpleBillTitle &source)
    {
        m_font = source.m_font;
        m_caption = source.m_caption;
        changed();
    }

private:
    void changed()
    {
        if (m_changed)
            m_changed();
    }

    std::string m_caption;
    TSimpleFont m_font{"黑体", 12, Canvas::Regular};
    int m_top = 0;
    std::function<void()> m_changed;
};

} // namespace tally::printing
