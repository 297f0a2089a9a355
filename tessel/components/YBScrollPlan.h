// What the component host's scroll bars hold for given contents and client
// sizes, and where a step takes a bar. A bar's range is 16 bits, so a bar
// counts in units of `scale` pixels (contents / 32768 + 1), which keeps its
// range within 32767 units. Computing a plan changes nothing; YBComponentWnd
// applies it. Internal to the toolkit (not installed).
//
// Invariant: every value is in bar units except where a name says pixels;
// a position in pixels is the position in units times the scale.
//
//   const YBScrollPlan plan = YBScrollPlan::compute({200, 80000}, {200, 300});
//   // plan.vertical == {3, 26666, 100}: scale, nMax, nPage
//   const int last = plan.vertical.nMax - static_cast<int>(plan.vertical.nPage);
//   const int units = YBScrollPlan::stepUnits(0, 300 - 200, last, plan.vertical.scale);
#pragma once

#include <tessel/platform/afx_geometry.h>

struct YBScrollPlan {
    // One bar: SCROLLINFO's range is 0..nMax and its page nPage.
    struct Bar {
        int scale = 1;  // pixels per bar unit
        int nMax = 0;
        UINT nPage = 0;

        bool operator==(const Bar&) const = default;

        static Bar compute(int contentsPixels, int clientPixels);
    };

    Bar horizontal;
    Bar vertical;

    bool operator==(const YBScrollPlan&) const = default;

    // Both bars, each whether or not the host shows it.
    static YBScrollPlan compute(CSize contentsSize, CSize clientSize);

    // The first position that shows the contents' last pixel, rounded up: a
    // scale above 1 would otherwise leave the end of the contents out of view.
    static int endUnits(int contentsPixels, int clientPixels, int scale);
    // Where a line or page step of `pixels` from `fromUnits` stops: at least a
    // unit for any non-zero step, never before 0 nor past `lastUnits`, the
    // bar's nMax - nPage (one unit short of where the thumb can go).
    static int stepUnits(int fromUnits, int pixels, int lastUnits, int scale);
    // A page step in pixels: the client less a line, or a line when the client
    // is smaller than one.
    static int pageStep(int clientPixels, int linePixels);
};
