// The current size of each pane of a splitter, first to last.
#pragma once

#include <vector>

#include <tessel/layout/YBSplitterWnd.h>

inline std::vector<int> sizes(YBSplitterWnd& split) {
    std::vector<int> out;
    for (int i = 0; i < split.getPaneCount(); ++i)
        out.push_back(split.getPane(i)->currentSize());
    return out;
}
