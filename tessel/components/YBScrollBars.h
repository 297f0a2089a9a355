// The standard scroll bars of a window that scrolls by moving what it shows
// (the component host, the manager window): the positions live only in the
// bars, in units of a scale of pixels per unit (YBScrollPlan), and every
// change answers how far the contents must move, in pixels, so they follow
// the position the bar actually keeps at every scale. Internal to the
// toolkit (not installed).
//
//   YBScrollBars bars(m_hWnd, m_hScrollScale, m_vScrollScale);
//   const CSize move = bars.scroll(YBScrollBars::Step::LineDown, m_lineHeight, m_contentsSize);
//   if (move != CSize(0, 0)) moveContents(move.cx, move.cy);
#pragma once

#include <tessel/platform/afx_geometry.h>
#include <tessel/platform/win_user.h>

class YBScrollBars {
public:
    // The standard bars' steps (YBBaseWnd's onScroll handlers).
    enum class Step {
        LineUp, LineDown, LineLeft, LineRight,
        PageUp, PageDown, PageLeft, PageRight,
        Home, End, PageHome, PageEnd
    };

    // The scales are the window's own fields: update sets them.
    YBScrollBars(HWND window, int& hScale, int& vScale);

    // Range and page of each bar asked for, from the contents and the client
    // as it is now; a bar keeps its position within the new range.
    void update(CSize contentsPixels, bool horizontal, bool vertical);
    // Each bar's position times its scale.
    CPoint position() const;
    // A line or page step, limited by what each bar holds (nMax - nPage).
    CSize step(int dxPixels, int dyPixels);
    // To an absolute position, rounded down to a unit.
    CSize scrollTo(CPoint pixels);
    // One bar's thumb to `units` (SB_HORZ or SB_VERT).
    CSize thumbTo(int bar, int units);
    // Where `step` takes the bars: a line is `linePixels` down or 32 across,
    // a page the client less a line; home and end keep the vertical position,
    // page home and page end go to a corner.
    CSize scroll(Step step, int linePixels, CSize contentsPixels);
    // The position that shows the contents' far edge on each axis.
    CPoint endPosition(CSize contentsPixels) const;
    CSize clientSize() const;

private:
    bool read(int bar, SCROLLINFO& info) const;
    int moveTo(int bar, SCROLLINFO& info, int units, int scale);

    HWND m_window;
    int& m_hScale;
    int& m_vScale;
};
