#pragma once

namespace tally {

// The screen's logical resolution, pixels per inch: layout pixels and page
// offsets are measured at it, and it is what a screen reports normally.
inline constexpr int kDefaultScreenPpi = 96;

} // namespace tally
