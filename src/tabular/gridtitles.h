#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tally::tabular {

// Multi-level column titles: a caption's levels are joined by "|", and
// neighbouring columns whose upper levels agree share one band over them.

// The levels of a caption, in order: "sales|amount" gives "sales" and
// "amount"; a caption without "|" is one level; "a||b" has an empty middle
// level.
std::vector<std::string> SplitTitle(std::string_view caption);

// The levels of column `column` of `captions`; empty (0 levels) for a
// column outside them.
std::vector<std::string> SplitTitle(const std::vector<std::string> &captions, int column);

// The columns one title band spans and its vertical extent in the title row.
struct TitleBand
{
    int firstColumn = 0; // inclusive
    int lastColumn = 0;  // inclusive
    int top = 0;
    int bottom = 0;
};

// The band of level `level` of column `column` among the shown columns'
// `captions` (in display order), for a title row `rowHeight` pixels high.
// Neighbours join while they have as many levels as the column and agree
// on levels 0 to `level`; a blank neighbour level ends the comparison with
// what was found so far, so a blank level 0 never joins. Every column of a
// band answers the same band. A column outside the captions gives a band
// of that column alone.
TitleBand TitleBandRect(const std::vector<std::string> &captions, int level, int column,
                        int rowHeight);

// Height of the title row for the largest level count of the captions:
// one line of text (height plus internal leading) and 3 pixels per level.
int TitleRowHeight(const std::vector<std::string> &captions, int textHeight, int internalLeading);

} // namespace tally::tabular
