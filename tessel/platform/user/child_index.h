// Internal: a spatial index over a window's children, so that finding the
// child under a point or the children overlapping a rectangle does not scan
// them all. Windows with few children do without one.
//
// Invariant: when not stale, every child is filed in each grid cell its
// rectangle touches (or in the list of large children), and the children's
// zOrder values are in the order of the parent's child list.
#pragma once

#include <cstdint>
#include <vector>

#include <tessel/platform/win_rect.h>
#include <tessel/platform/win_types.h>

namespace tessel::ws {

struct Window;

class ChildIndex {
public:
    static constexpr std::size_t kThreshold = 24;  // children before an index pays

    // Children were added, removed or restacked: rebuild before the next query.
    void stale() { m_stale = true; }
    // A child left the list: the rest keep their order, so only it is unfiled
    // (closing a window of many children stays linear).
    void removed(Window* child);
    // A child moved or changed size: refile it (cheap when the index is current).
    void moved(Window* child, const RECT& oldRect);
    // Every child moved by the same step: the grid moves with them.
    void shift(int dx, int dy) { OffsetRect(&m_bounds, dx, dy); }
    // The topmost visible, enabled child whose rectangle holds `p` (parent client coordinates).
    Window* childAt(Window& parent, POINT p, const std::vector<Window*>& skip);
    // Each child whose rectangle overlaps `r`, once, in no particular order.
    template <class Visit>
    void forEachOverlapping(Window& parent, const RECT& r, Visit visit);

private:
    void rebuild(Window& parent);
    bool cellRange(const RECT& r, int& x0, int& y0, int& x1, int& y1) const;
    void file(Window* child, const RECT& r);
    void unfile(Window* child, const RECT& r);

    bool m_stale = true;
    RECT m_bounds{};  // what the grid covers; children reaching outside go in m_large too
    int m_cell = 16;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<std::vector<Window*>> m_cells;
    std::vector<Window*> m_large;  // children too big or too far out for the grid
    std::size_t m_largeAtRebuild = 0;
    std::uint32_t m_visit = 0;
};

}  // namespace tessel::ws
