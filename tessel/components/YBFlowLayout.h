// Where the component host puts its components: rows filled from left to
// right, a component that would cross the client's right edge starting the
// next row. Computing it changes nothing; YBComponentWnd applies it. Internal
// to the toolkit (not installed).
//
// Invariant: positions has one entry per size, in the same order; the first
// component of a row never wraps, and one ending exactly on the edge stays
// in its row. Every value is in contents pixels (the origin is the top left
// of the contents, before any scrolling).
//
//   const YBFlowLayout flow = YBFlowLayout::compute({{100, 20}, {100, 30}}, 150);
//   // flow.positions == {(0, 0), (0, 20)}, flow.contentsSize == (100, 50)
//   // flow.lineHeight == 30
#pragma once

#include <vector>

#include <tessel/platform/afx_geometry.h>

struct YBFlowLayout {
    std::vector<CPoint> positions;  // each component's top left
    CSize contentsSize{0, 0};       // the widest row by the rows' total height
    int lineHeight = 0;             // a line scroll: the tallest component, 0 with none

    bool operator==(const YBFlowLayout&) const = default;

    // Components of `sizes`, in order, in a client `clientWidth` pixels wide.
    static YBFlowLayout compute(const std::vector<CSize>& sizes, int clientWidth);
};
