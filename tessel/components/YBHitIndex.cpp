#include "YBHitIndex.h"

#include <algorithm>

void YBHitIndex::rebuild(const std::vector<CRect>& rects) {
    m_byTop.clear();
    m_tallest = 0;
    m_dx = m_dy = 0;
    m_count = rects.size();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const CRect& r = rects[i];
        if (r.left >= r.right || r.top >= r.bottom) continue;
        m_byTop.push_back(Entry{r.top, r.bottom, r.left, r.right, static_cast<int>(i)});
        m_tallest = std::max<std::int64_t>(m_tallest, std::int64_t{r.bottom} - r.top);
    }
    // A flow is sorted already; the stable sort keeps equal tops in index order.
    const auto byTop = [](const Entry& a, const Entry& b) { return a.top < b.top; };
    if (!std::is_sorted(m_byTop.begin(), m_byTop.end(), byTop))
        std::stable_sort(m_byTop.begin(), m_byTop.end(), byTop);
}

void YBHitIndex::shift(int dx, int dy) {
    m_dx += dx;
    m_dy += dy;
}

void YBHitIndex::hits(CPoint point, std::vector<int>& out) const {
    const std::int64_t x = std::int64_t{point.x} - m_dx;
    const std::int64_t y = std::int64_t{point.y} - m_dy;
    // Past the last rectangle starting at or above the point, back to the
    // first that could still reach down to it.
    auto it = std::upper_bound(m_byTop.begin(), m_byTop.end(), y,
                               [](std::int64_t value, const Entry& e) { return value < e.top; });
    while (it != m_byTop.begin()) {
        --it;
        if (it->top <= y - m_tallest) break;
        if (y < it->bottom && it->left <= x && x < it->right) out.push_back(it->index);
    }
}
