#include "layout/tbasicunit.h"

namespace tally::layout {

bool TBasicUnit::DiffersFromDefault() const
{
    return !m_text.empty() || m_fontName != kDefaultFontName || m_fontStyle != 0 ||
           m_fontSize != kDefaultFontSize || m_hAlign != DefaultHAlign() ||
           m_vAlign != printing::VertAlign::Middle || !m_fixedText ||
           m_sumKind != printing::SumScope::None;
}

} // namespace tally::layout
