#include "layout/tbasicunit.h"

namespace tally::layout {

bool TBasicUnit::DiffersFromDefault() const
{
    return !m_text.empty() || m_fontName != kDefaultFontName || m_fontStyle != 0 ||
           m_fontSize != kDefaultFontSize || m_hAlign != DefaultHAlign() || m_vAlign != 1 ||
           !m_fixedText || m_sumKind != 0;
}

} // namespace tally::layout
