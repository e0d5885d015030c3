#include "printing/penlines.h"

#include <algorithm>
#include <functional>

namespace tally::printing {

namespace {

std::uint64_t pointKey(Point p)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.x)) << 32) |
           static_cast<std::uint32_t>(p.y);
}

// A cell's few lines are compared one by one; only long runs of lines are
// worth a hash set.
constexpr std::size_t kScanned = 32;

} // namespace

PenLines::Key PenLines::keyOf(Point from, Point to)
{
    const std::uint64_t a = pointKey(from);
    const std::uint64_t b = pointKey(to);
    return {std::min(a, b), std::max(a, b)};
}

std::size_t PenLines::KeyHash::operator()(const Key &k) const
{
    return std::hash<std::uint64_t>()(k.low * 0x9E3779B97F4A7C15ULL ^ k.high);
}

bool PenLines::add(Point from, Point to)
{
    const Key key = keyOf(from, to);
    if (m_lines.size() < kScanned) {
        for (const Line &l : m_lines)
            if (keyOf(l.from, l.to) == key)
                return false;
    } else {
        if (m_keys.empty())
            for (const Line &l : m_lines)
                m_keys.insert(keyOf(l.from, l.to));
        if (!m_keys.insert(key).second)
            return false;
    }
    m_lines.push_back({from, to});
    return true;
}

void PenLines::addAgain(Point from, Point to)
{
    if (!m_keys.empty())
        m_keys.insert(keyOf(from, to));
    m_lines.push_back({from, to});
}

void PenLines::clear()
{
    m_lines.clear();
    m_keys.clear();
}

} // namespace tally::printing
