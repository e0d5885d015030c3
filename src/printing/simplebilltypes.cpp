#include "printing/simplebilltypes.h"

#include "printing/printmath.h"

namespace tally::printing {

int TSimpleFont::Height(int ppi) const
{
    return -MulDiv(Size, ppi, 72);
}

void TSimpleFont::SetHeight(int height, int ppi)
{
    if (height == 0 || ppi <= 0)
        return;
    Size = MulDiv(height < 0 ? -height : height, 72, ppi);
}

} // namespace tally::printing
