#pragma once

#include "printing/canvastypes.h"

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace tally::printing {

// The lines drawn with one pen and not put out yet, each once: neighbouring
// cells share borders, and a line drawn twice in opaque ink looks as drawn
// once. Lines keep their ends in the order drawn.
class PenLines
{
public:
    struct Line
    {
        Point from;
        Point to;
    };

    // Adds the line unless it is already there, either way round; false
    // when it was.
    bool add(Point from, Point to);
    // Adds the line whether or not it is there (an XOR line inverts what is
    // under it every time).
    void addAgain(Point from, Point to);

    const std::vector<Line> &lines() const { return m_lines; }
    bool empty() const { return m_lines.empty(); }
    std::size_t size() const { return m_lines.size(); }
    void clear();

private:
    struct Key
    {
        std::uint64_t low;
        std::uint64_t high;
        friend bool operator==(const Key &, const Key &) = default;
    };
    struct KeyHash
    {
        std::size_t operator()(const Key &k) const;
    };
    static Key keyOf(Point from, Point to);

    std::vector<Line> m_lines;
    // Filled only once there are too many lines to compare one by one.
    std::unordered_set<Key, KeyHash> m_keys;
};

} // namespace tally::printing
