// Which of a host's component rectangles hold a point, without testing them
// all: the rectangles sorted by their top edge, so only those starting at
// most one tallest-rectangle height above the point are looked at. Flowed
// rows make that one or two rows. Internal to the toolkit (not installed).
//
// Invariant: the rectangles are the ones given to rebuild, moved by every
// shift since; empty rectangles (which hold no point) are left out.
//
//   YBHitIndex index;
//   index.rebuild(rects);
//   index.shift(0, -16);            // everything scrolled up a line
//   std::vector<int> hits;
//   index.hits(CPoint(20, 5), hits);  // indices into rects, any order
#pragma once

#include <cstdint>
#include <vector>

#include <tessel/platform/afx_geometry.h>

class YBHitIndex {
public:
    void rebuild(const std::vector<CRect>& rects);
    void shift(int dx, int dy);
    // Appends the index of every rectangle that holds `point` (left and top
    // inclusive, right and bottom exclusive).
    void hits(CPoint point, std::vector<int>& out) const;
    // The number of rectangles given to the last rebuild.
    std::size_t count() const { return m_count; }

private:
    struct Entry {
        std::int64_t top, bottom, left, right;
        int index;
    };
    std::vector<Entry> m_byTop;
    std::int64_t m_tallest = 0;
    std::int64_t m_dx = 0, m_dy = 0;  // shifts since the rebuild
    std::size_t m_count = 0;
};
