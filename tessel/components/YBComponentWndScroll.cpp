// Scrolling of the component host: it applies YBScrollPlan. Bars hold
// positions in units of `scale` pixels; the components move by the change of
// the position the bar actually keeps, times the scale, so they follow the
// bar exactly at every scale.
#include <algorithm>

#include "YBComponentWnd.h"
#include "YBScrollPlan.h"

namespace {
constexpr int kColumnStep = 32;  // a horizontal line scroll, in pixels
constexpr UINT kBarMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// YBScrollPlan::endUnits in pixels, for scrollToPosition.
int endPixels(int contentsPixels, int clientPixels, int scale) {
    return YBScrollPlan::endUnits(contentsPixels, clientPixels, scale) * scale;
}

// A step is limited by what the bar holds, not by the contents size: the two
// differ after setContentsSize until the next layout.
int lastStepUnits(const SCROLLINFO& bar) {
    return bar.nMax - static_cast<int>(bar.nPage);
}
}  // namespace

bool YBComponentWnd::readBar(int bar, SCROLLINFO& info) {
    info = SCROLLINFO{};
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = kBarMask;
    return GetScrollInfo(bar, &info, kBarMask) != FALSE;
}

int YBComponentWnd::writeBar(int bar, SCROLLINFO& info) {
    return SetScrollInfo(bar, &info, TRUE);
}

int YBComponentWnd::moveBarTo(int bar, SCROLLINFO& info, int units, int scale) {
    if (units == info.nPos) return 0;
    const int old = info.nPos;
    info.nPos = units;
    // The bar keeps its position within its range; the contents follow what it kept.
    const int kept = writeBar(bar, info);
    return (old - kept) * scale;
}

void YBComponentWnd::updateScrollBars() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    // Both bars are planned for the client as it is now, before either changes it.
    const YBScrollPlan plan = YBScrollPlan::compute(m_contentsSize, client.Size());
    if (isFlagSet(horizontalScrollBar)) {
        m_hScrollScale = plan.horizontal.scale;
        applyBar(SB_HORZ, plan.horizontal.nMax, plan.horizontal.nPage);
    }
    if (isFlagSet(verticalScrollBar)) {
        m_vScrollScale = plan.vertical.scale;
        applyBar(SB_VERT, plan.vertical.nMax, plan.vertical.nPage);
    }
}

void YBComponentWnd::applyBar(int bar, int nMax, UINT nPage) {
    SCROLLINFO info;
    readBar(bar, info);
    info.nMin = 0;
    info.nMax = nMax;
    info.nPage = nPage;
    info.nPos = std::min(info.nPos, info.nMax);
    writeBar(bar, info);
}

CPoint YBComponentWnd::getScrollPosition() {
    SCROLLINFO horizontal, vertical;
    readBar(SB_HORZ, horizontal);
    readBar(SB_VERT, vertical);
    return CPoint(horizontal.nPos * m_hScrollScale, vertical.nPos * m_vScrollScale);
}

void YBComponentWnd::adjustScrollPosition(int dx, int dy) {
    int moveX = 0, moveY = 0;
    SCROLLINFO info;
    if (dx != 0) {
        readBar(SB_HORZ, info);
        const int wanted =
            YBScrollPlan::stepUnits(info.nPos, dx, lastStepUnits(info), m_hScrollScale);
        moveX = moveBarTo(SB_HORZ, info, wanted, m_hScrollScale);
    }
    if (dy != 0) {
        readBar(SB_VERT, info);
        const int wanted =
            YBScrollPlan::stepUnits(info.nPos, dy, lastStepUnits(info), m_vScrollScale);
        moveY = moveBarTo(SB_VERT, info, wanted, m_vScrollScale);
    }
    if (moveX != 0 || moveY != 0) moveComponents(moveX, moveY);
}

void YBComponentWnd::scrollToPosition(const CPoint& position) {
    SCROLLINFO info;
    readBar(SB_HORZ, info);
    const int moveX = moveBarTo(SB_HORZ, info, position.x / m_hScrollScale, m_hScrollScale);
    readBar(SB_VERT, info);
    const int moveY = moveBarTo(SB_VERT, info, position.y / m_vScrollScale, m_vScrollScale);
    if (moveX != 0 || moveY != 0) moveComponents(moveX, moveY);
}

void YBComponentWnd::onHScroll(int position) {
    SCROLLINFO info;
    readBar(SB_HORZ, info);
    if (const int moveX = moveBarTo(SB_HORZ, info, position, m_hScrollScale))
        moveComponents(moveX, 0);
}

void YBComponentWnd::onVScroll(int position) {
    SCROLLINFO info;
    readBar(SB_VERT, info);
    if (const int moveY = moveBarTo(SB_VERT, info, position, m_vScrollScale))
        moveComponents(0, moveY);
}

void YBComponentWnd::onScrollUp() {
    adjustScrollPosition(0, -m_lineHeight);
}

void YBComponentWnd::onScrollDown() {
    adjustScrollPosition(0, m_lineHeight);
}

void YBComponentWnd::onScrollLeft() {
    adjustScrollPosition(-kColumnStep, 0);
}

void YBComponentWnd::onScrollRight() {
    adjustScrollPosition(kColumnStep, 0);
}

void YBComponentWnd::onScrollPageUp() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(0, -YBScrollPlan::pageStep(client.Height(), m_lineHeight));
}

void YBComponentWnd::onScrollPageDown() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(0, YBScrollPlan::pageStep(client.Height(), m_lineHeight));
}

void YBComponentWnd::onScrollPageLeft() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(-YBScrollPlan::pageStep(client.Width(), kColumnStep), 0);
}

void YBComponentWnd::onScrollPageRight() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(YBScrollPlan::pageStep(client.Width(), kColumnStep), 0);
}

void YBComponentWnd::onScrollHome() {
    scrollToPosition(CPoint(0, getScrollPosition().y));
}

void YBComponentWnd::onScrollEnd() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    scrollToPosition(CPoint(endPixels(m_contentsSize.cx, client.Width(), m_hScrollScale),
                            getScrollPosition().y));
}

void YBComponentWnd::onScrollPageHome() {
    scrollToPosition(CPoint(0, 0));
}

void YBComponentWnd::onScrollPageEnd() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    scrollToPosition(CPoint(endPixels(m_contentsSize.cx, client.Width(), m_hScrollScale),
                            endPixels(m_contentsSize.cy, client.Height(), m_vScrollScale)));
}
