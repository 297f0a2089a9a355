#include "user/child_index.h"

#include <algorithm>
#include <cmath>

#include "user/window_system.h"

namespace tessel::ws {

namespace {
constexpr int kMaxCells = 65536;
constexpr int kMaxCellsPerChild = 64;  // bigger children are checked on every query

bool holds(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
}  // namespace

void childrenChanged(Window* parent) {
    if (!parent) return;
    ++parent->childrenSerial;
    if (parent->childIndex) parent->childIndex->stale();
}

void childRemoved(Window* parent, Window* child) {
    if (!parent) return;
    ++parent->childrenSerial;
    if (parent->childIndex) parent->childIndex->removed(child);
}

void ChildIndex::removed(Window* child) {
    if (!m_stale) unfile(child, child->rect);
}

void ChildIndex::rebuild(Window& parent) {
    m_stale = false;
    m_cells.clear();
    m_large.clear();
    const auto n = parent.children.size();
    long long area = 0;
    RECT bounds{0, 0, 0, 0};
    bool first = true;
    for (std::size_t i = 0; i < n; ++i) {
        Window* child = parent.children[i];
        child->zOrder = static_cast<int>(i);
        const RECT& r = child->rect;
        area +=
            static_cast<long long>(std::max(0, r.right - r.left)) * std::max(0, r.bottom - r.top);
        if (first) bounds = r, first = false;
        bounds = {std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                  std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
    }
    // Cells about twice a child's typical size; the grid stays within kMaxCells.
    const double typical = n ? std::sqrt(static_cast<double>(area) / static_cast<double>(n)) : 16.0;
    m_cell = std::max(8, static_cast<int>(typical * 2));
    const long long width = std::max<long long>(1, 0LL + bounds.right - bounds.left);
    const long long height = std::max<long long>(1, 0LL + bounds.bottom - bounds.top);
    while ((width / m_cell + 9) * (height / m_cell + 9) > kMaxCells)
        m_cell *= 2;
    // A margin of a few cells keeps children that scroll a little inside the grid.
    const int margin = 4 * m_cell;
    m_bounds = {bounds.left - margin, bounds.top - margin, bounds.right + margin,
                bounds.bottom + margin};
    m_columns = static_cast<int>((width + 2LL * margin) / m_cell + 1);
    m_rows = static_cast<int>((height + 2LL * margin) / m_cell + 1);
    m_cells.assign(static_cast<std::size_t>(m_columns) * m_rows, {});
    for (Window* child : parent.children)
        file(child, child->rect);
    m_largeAtRebuild = m_large.size();
}

bool ChildIndex::cellRange(const RECT& r, int& x0, int& y0, int& x1, int& y1) const {
    if (r.right <= m_bounds.left || r.bottom <= m_bounds.top || r.left >= m_bounds.right ||
        r.top >= m_bounds.bottom) {
        return false;
    }
    x0 = std::max(0, static_cast<int>((0LL + r.left - m_bounds.left) / m_cell));
    y0 = std::max(0, static_cast<int>((0LL + r.top - m_bounds.top) / m_cell));
    x1 = std::min(m_columns - 1, static_cast<int>((0LL + r.right - 1 - m_bounds.left) / m_cell));
    y1 = std::min(m_rows - 1, static_cast<int>((0LL + r.bottom - 1 - m_bounds.top) / m_cell));
    return x0 <= x1 && y0 <= y1;
}

void ChildIndex::file(Window* child, const RECT& r) {
    int x0, y0, x1, y1;
    const bool outside = r.left < m_bounds.left || r.top < m_bounds.top ||
                         r.right > m_bounds.right || r.bottom > m_bounds.bottom;
    if (outside || !cellRange(r, x0, y0, x1, y1) ||
        (x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCellsPerChild) {
        m_large.push_back(child);
        return;
    }
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            m_cells[static_cast<std::size_t>(y) * m_columns + x].push_back(child);
    }
}

void ChildIndex::unfile(Window* child, const RECT& r) {
    if (auto at = std::find(m_large.begin(), m_large.end(), child); at != m_large.end()) {
        *at = m_large.back();
        m_large.pop_back();
        return;
    }
    int x0, y0, x1, y1;
    if (!cellRange(r, x0, y0, x1, y1)) return;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            auto& cell = m_cells[static_cast<std::size_t>(y) * m_columns + x];
            if (auto at = std::find(cell.begin(), cell.end(), child); at != cell.end()) {
                *at = cell.back();
                cell.pop_back();
            }
        }
    }
}

void ChildIndex::moved(Window* child, const RECT& oldRect) {
    if (m_stale) return;
    unfile(child, oldRect);
    file(child, child->rect);
    // Children moving out of the grid end up in the list every query walks:
    // past a few, lay the grid out anew around where they are now.
    if (m_large.size() > std::max(kThreshold, 2 * m_largeAtRebuild)) m_stale = true;
}

Window* ChildIndex::childAt(Window& parent, POINT p, const std::vector<Window*>& skip) {
    Window* best = nullptr;
    const RECT point{p.x, p.y, p.x + 1, p.y + 1};
    forEachOverlapping(parent, point, [&](Window* child) {
        if ((child->style & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE || !holds(child->rect, p))
            return;
        if (std::find(skip.begin(), skip.end(), child) != skip.end()) return;
        if (!best || child->zOrder < best->zOrder) best = child;
    });
    return best;
}

}  // namespace tessel::ws
