#pragma once

#include "layout/layouttypes.h"
#include "layout/tbasicunit.h"
#include "printing/canvastypes.h"

namespace tally::layout {

// A free text item, positioned by Rect in layout pixels. Serves above the grid
// (in layout coordinates) and below it (relative to the bottom area row).
// Left-aligned by default and drawn on a single line.
class TFooter : public TBasicUnit
{
public:
    TFooter() = default;

    bool WrapsText() const override { return false; }
    printing::HorzAlign DefaultHAlign() const override { return printing::HorzAlign::Left; }

    const printing::Rect &Rect() const { return m_rect; }
    void SetRect(const printing::Rect &rect) { m_rect = rect; }

private:
    printing::Rect m_rect;
};

} // namespace tally::layout
