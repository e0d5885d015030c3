#pragma once

#include "printing/canvas.h"

namespace tally::printing {

// Moves a canvas's origin by (dx, dy) for the lifetime of the object and
// back when it ends, also when drawing throws. The canvas must outlive it.
class OriginShift
{
public:
    OriginShift(Canvas &canvas, int dx, int dy) : m_canvas(canvas), m_dx(dx), m_dy(dy)
    {
        m_canvas.shiftOrigin(m_dx, m_dy);
    }
    ~OriginShift() { m_canvas.shiftOrigin(-m_dx, -m_dy); }

    OriginShift(const OriginShift &) = delete;
    OriginShift &operator=(const OriginShift &) = delete;

private:
    Canvas &m_canvas;
    int m_dx;
    int m_dy;
};

} // namespace tally::printing
