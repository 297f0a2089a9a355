// Scrolling of the component host. Bars hold positions in units of `scale`
// pixels (contents / 32768 + 1, so a range stays within 32767); the
// components move by the change of the position the bar actually keeps,
// times the scale, so they follow the bar exactly at every scale.
#include <algorithm>

#include "YBComponentWnd.h"

namespace {
constexpr int kMaxBarUnits = 32768;
constexpr int kColumnStep = 32;  // a horizontal line scroll, in pixels
constexpr UINT kBarMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;  // 0x17

// Pixels to bar units; a request of less than one unit still moves one.
int toUnits(int pixels, int scale) {
    const int units = pixels / scale;
    if (units == 0 && pixels != 0) return pixels > 0 ? 1 : -1;
    return units;
}

// The first bar position (units) that shows the contents' last pixel: rounded
// up, or a scale above 1 would leave the end of the contents out of view.
int endUnits(int contents, int client, int scale) {
    return (std::max(0, contents - client) + scale - 1) / scale;
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
    if (isFlagSet(horizontalScrollBar))
        updateBar(SB_HORZ, m_contentsSize.cx, client.right - client.left, m_hScrollScale);
    if (isFlagSet(verticalScrollBar))
        updateBar(SB_VERT, m_contentsSize.cy, client.bottom - client.top, m_vScrollScale);
}

void YBComponentWnd::updateBar(int bar, int contents, int client, int& scale) {
    SCROLLINFO info;
    readBar(bar, info);
    scale = std::max(1, contents / kMaxBarUnits + 1);
    info.nMin = 0;
    info.nMax = contents / scale;
    info.nPage = static_cast<UINT>(std::max(0, client / scale));
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
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    int moveX = 0, moveY = 0;
    SCROLLINFO info;
    // A step stops where the end of the contents comes into view (at scale 1
    // that is nMax - nPage, one unit short of where the thumb can go).
    if (dx != 0) {
        readBar(SB_HORZ, info);
        const int last = endUnits(m_contentsSize.cx, client.Width(), m_hScrollScale);
        const int wanted = std::max(0, std::min(info.nPos + toUnits(dx, m_hScrollScale), last));
        moveX = moveBarTo(SB_HORZ, info, wanted, m_hScrollScale);
    }
    if (dy != 0) {
        readBar(SB_VERT, info);
        const int last = endUnits(m_contentsSize.cy, client.Height(), m_vScrollScale);
        const int wanted = std::max(0, std::min(info.nPos + toUnits(dy, m_vScrollScale), last));
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

namespace {
int pageStep(int clientExtent, int lineStep) {
    const int step = clientExtent - lineStep;
    return step < 0 ? lineStep : step;
}
}  // namespace

void YBComponentWnd::onScrollPageUp() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(0, -pageStep(client.Height(), m_lineHeight));
}

void YBComponentWnd::onScrollPageDown() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(0, pageStep(client.Height(), m_lineHeight));
}

void YBComponentWnd::onScrollPageLeft() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(-pageStep(client.Width(), kColumnStep), 0);
}

void YBComponentWnd::onScrollPageRight() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    adjustScrollPosition(pageStep(client.Width(), kColumnStep), 0);
}

void YBComponentWnd::onScrollHome() {
    scrollToPosition(CPoint(0, getScrollPosition().y));
}

void YBComponentWnd::onScrollEnd() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    scrollToPosition(
        CPoint(endUnits(m_contentsSize.cx, client.Width(), m_hScrollScale) * m_hScrollScale,
               getScrollPosition().y));
}

void YBComponentWnd::onScrollPageHome() {
    scrollToPosition(CPoint(0, 0));
}

void YBComponentWnd::onScrollPageEnd() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    scrollToPosition(
        CPoint(endUnits(m_contentsSize.cx, client.Width(), m_hScrollScale) * m_hScrollScale,
               endUnits(m_contentsSize.cy, client.Height(), m_vScrollScale) * m_vScrollScale));
}
