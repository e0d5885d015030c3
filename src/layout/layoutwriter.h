#pragma once

#include "layout/layouttypes.h"

#include <cstdint>
#include <vector>

namespace tally::layout {

class TBillLayout;

// Writes layout streams: version 702 at the screen resolution the model is
// measured in, each property only where it differs from its default, so a
// freshly read canonical stream is reproduced byte for byte.
class LayoutWriter
{
public:
    // The stream bytes of the layout; screenPPI is stored as its resolution.
    static std::vector<std::uint8_t> Write(const TBillLayout &layout,
                                           int screenPPI = kDefaultScreenPpi);
};

} // namespace tally::layout
