#include "YBFlowLayout.h"

#include <algorithm>

YBFlowLayout YBFlowLayout::compute(const std::vector<CSize>& sizes, int clientWidth) {
    YBFlowLayout flow;
    flow.positions.reserve(sizes.size());
    int x = 0, y = 0, rowHeight = 0, widest = 0;
    for (const CSize& size : sizes) {
        if (x > 0 && x + size.cx > clientWidth) {
            y += rowHeight;
            x = 0;
            rowHeight = 0;
        }
        flow.positions.emplace_back(x, y);
        x += size.cx;
        rowHeight = std::max(rowHeight, static_cast<int>(size.cy));
        flow.lineHeight = std::max(flow.lineHeight, rowHeight);
        widest = std::max(widest, x);
    }
    flow.contentsSize = CSize(widest, y + rowHeight);
    return flow;
}
