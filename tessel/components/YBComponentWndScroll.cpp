// Scrolling of the component host through YBScrollBars: the components move
// by the change of the position each bar actually keeps, times its scale,
// so they follow the bars exactly at every scale.
#include "YBComponentWnd.h"
#include "YBScrollBars.h"
#include "YBScrollPlan.h"

namespace {
constexpr int kColumnStep = 32;  // a horizontal line scroll, in pixels
}  // namespace

YBScrollBars YBComponentWnd::bars() {
    return YBScrollBars(m_hWnd, m_hScrollScale, m_vScrollScale);
}

void YBComponentWnd::moveBy(CSize move) {
    if (move.cx != 0 || move.cy != 0) moveComponents(move.cx, move.cy);
}

void YBComponentWnd::updateScrollBars() {
    bars().update(m_contentsSize, isFlagSet(horizontalScrollBar), isFlagSet(verticalScrollBar));
}

CPoint YBComponentWnd::getScrollPosition() {
    return bars().position();
}

void YBComponentWnd::adjustScrollPosition(int dx, int dy) {
    moveBy(bars().step(dx, dy));
}

void YBComponentWnd::scrollToPosition(const CPoint& position) {
    moveBy(bars().scrollTo(position));
}

void YBComponentWnd::onHScroll(int position) {
    moveBy(bars().thumbTo(SB_HORZ, position));
}

void YBComponentWnd::onVScroll(int position) {
    moveBy(bars().thumbTo(SB_VERT, position));
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
    adjustScrollPosition(0, -YBScrollPlan::pageStep(bars().clientSize().cy, m_lineHeight));
}

void YBComponentWnd::onScrollPageDown() {
    adjustScrollPosition(0, YBScrollPlan::pageStep(bars().clientSize().cy, m_lineHeight));
}

void YBComponentWnd::onScrollPageLeft() {
    adjustScrollPosition(-YBScrollPlan::pageStep(bars().clientSize().cx, kColumnStep), 0);
}

void YBComponentWnd::onScrollPageRight() {
    adjustScrollPosition(YBScrollPlan::pageStep(bars().clientSize().cx, kColumnStep), 0);
}

void YBComponentWnd::onScrollHome() {
    scrollToPosition(CPoint(0, getScrollPosition().y));
}

void YBComponentWnd::onScrollEnd() {
    scrollToPosition(CPoint(bars().endPosition(m_contentsSize).x, getScrollPosition().y));
}

void YBComponentWnd::onScrollPageHome() {
    scrollToPosition(CPoint(0, 0));
}

void YBComponentWnd::onScrollPageEnd() {
    scrollToPosition(bars().endPosition(m_contentsSize));
}
