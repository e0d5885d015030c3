#pragma once

#include "layout/layouttypes.h"
#include "layout/tbasicunit.h"

namespace tally::layout {

// A free text item, positioned by Rect in layout pixels. Serves above the grid
// (in layout coordinates) and below it (relative to the bottom area row).
// Left-aligned by default and drawn on a single line.
class TFooter : public TBasicUnit
{
public:
    TFooter() = default;

    bool WrapsText() const override { return false; }
    std::uint8_t DefaultHAlign() const override { return 0; }

    const TRect &Rect() const { return m_rect; }
    void SetRect(const TRect &rect) { m_rect = rect; }

private:
    TRect m_rect;
};

} // namespace tally::layout
