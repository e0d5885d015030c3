#include "tabular/gridtitles.h"

#include <algorithm>

namespace tally::tabular {

namespace {

bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// Whether `neighbour` joins the band of `levels` at `level`.
bool joins(const std::vector<std::string> &levels, const std::vector<std::string> &neighbour,
           int level)
{
    if (neighbour.size() != levels.size())
        return false;
    bool same = false;
    for (int i = 0; i <= level && i < static_cast<int>(levels.size()); ++i) {
        const std::string &text = neighbour[static_cast<std::size_t>(i)];
        if (isBlank(text))
            break;
        same = text == levels[static_cast<std::size_t>(i)];
        if (!same)
            break;
    }
    return same;
}

} // namespace

std::vector<std::string> SplitTitle(std::string_view caption)
{
    std::vector<std::string> levels;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = caption.find('|', start);
        levels.emplace_back(caption.substr(start, bar - start));
        if (bar == std::string_view::npos)
            return levels;
        start = bar + 1;
    }
}

std::vector<std::string> SplitTitle(const std::vector<std::string> &captions, int column)
{
    if (column < 0 || column >= static_cast<int>(captions.size()))
        return {};
    return SplitTitle(captions[static_cast<std::size_t>(column)]);
}

TitleBand TitleBandRect(const std::vector<std::string> &captions, int level, int column,
                        int rowHeight)
{
    TitleBand band{column, column, 0, rowHeight};
    const std::vector<std::string> levels = SplitTitle(captions, column);
    if (levels.empty())
        return band;
    const int count = static_cast<int>(captions.size());
    while (band.firstColumn > 0 && joins(levels, SplitTitle(captions, band.firstColumn - 1), level))
        --band.firstColumn;
    while (band.lastColumn + 1 < count &&
           joins(levels, SplitTitle(captions, band.lastColumn + 1), level))
        ++band.lastColumn;
    const int levelHeight = rowHeight / static_cast<int>(levels.size());
    band.top = level * levelHeight;
    band.bottom = (level + 1) * levelHeight;
    return band;
}

int TitleRowHeight(const std::vector<std::string> &captions, int textHeight, int internalLeading)
{
    std::size_t levels = 1;
    for (const std::string &caption : captions)
        levels = std::max(levels, SplitTitle(caption).size());
    return static_cast<int>(levels) * (textHeight + internalLeading + 3);
}

} // namespace tally::tabular
