#include "YBScrollPlan.h"

#include <algorithm>

namespace {
constexpr int kMaxBarUnits = 32768;  // one more than a bar's largest 16-bit position

// Pixels to bar units; a request of less than one unit still moves one.
int toUnits(int pixels, int scale) {
    const int units = pixels / scale;
    if (units == 0 && pixels != 0) return pixels > 0 ? 1 : -1;
    return units;
}
}  // namespace

YBScrollPlan::Bar YBScrollPlan::Bar::compute(int contentsPixels, int clientPixels) {
    Bar bar;
    bar.scale = std::max(1, contentsPixels / kMaxBarUnits + 1);
    bar.nMax = contentsPixels / bar.scale;
    bar.nPage = static_cast<UINT>(std::max(0, clientPixels / bar.scale));
    return bar;
}

YBScrollPlan YBScrollPlan::compute(CSize contentsSize, CSize clientSize) {
    return {Bar::compute(contentsSize.cx, clientSize.cx),
            Bar::compute(contentsSize.cy, clientSize.cy)};
}

int YBScrollPlan::endUnits(int contentsPixels, int clientPixels, int scale) {
    return (std::max(0, contentsPixels - clientPixels) + scale - 1) / scale;
}

int YBScrollPlan::stepUnits(int fromUnits, int pixels, int lastUnits, int scale) {
    return std::max(0, std::min(fromUnits + toUnits(pixels, scale), lastUnits));
}

int YBScrollPlan::pageStep(int clientPixels, int linePixels) {
    const int step = clientPixels - linePixels;
    return step < 0 ? linePixels : step;
}
