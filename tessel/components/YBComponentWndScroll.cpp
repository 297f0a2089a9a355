// Scrolling of the component host through YBScrollBars: the components move
// by the change of the position each bar actually keeps, times its scale,
// so they follow the bars exactly at every scale.
#include "YBComponentWnd.h"
#include "YBScrollBars.h"

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
    moveBy(bars().scroll(YBScrollBars::Step::LineUp, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollDown() {
    moveBy(bars().scroll(YBScrollBars::Step::LineDown, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollLeft() {
    moveBy(bars().scroll(YBScrollBars::Step::LineLeft, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollRight() {
    moveBy(bars().scroll(YBScrollBars::Step::LineRight, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollPageUp() {
    moveBy(bars().scroll(YBScrollBars::Step::PageUp, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollPageDown() {
    moveBy(bars().scroll(YBScrollBars::Step::PageDown, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollPageLeft() {
    moveBy(bars().scroll(YBScrollBars::Step::PageLeft, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollPageRight() {
    moveBy(bars().scroll(YBScrollBars::Step::PageRight, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollHome() {
    moveBy(bars().scroll(YBScrollBars::Step::Home, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollEnd() {
    moveBy(bars().scroll(YBScrollBars::Step::End, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollPageHome() {
    moveBy(bars().scroll(YBScrollBars::Step::PageHome, m_lineHeight, m_contentsSize));
}

void YBComponentWnd::onScrollPageEnd() {
    moveBy(bars().scroll(YBScrollBars::Step::PageEnd, m_lineHeight, m_contentsSize));
}
