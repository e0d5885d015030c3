#pragma once

#include <QIcon>

namespace tally::printing::preview {

// The toolbar's 18 × 18 icons, drawn in code, by image index: 0 actual
// size, 1 page width, 2 whole page, 3 first, 4 previous, 5 next, 6 last
// page, 7 print, 8 printer setup, 9 exit. Other indexes give an empty icon.
QIcon PreviewIcon(int index);

} // namespace tally::printing::preview
