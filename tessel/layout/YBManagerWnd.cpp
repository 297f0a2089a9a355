#include "YBManagerWnd.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <tessel/components/YBFlowLayout.h>
#include <tessel/components/YBScrollBars.h>
#include <tessel/foundation/KLIterator.h>
#include <tessel/foundation/KLLockGuard.h>
#include <tessel/platform/afx_app.h>

namespace {
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;

bool inWindowRange(CPoint p) {
    return p.x >= SHRT_MIN && p.x <= SHRT_MAX && p.y >= SHRT_MIN && p.y <= SHRT_MAX;
}

// A far edge in 64 bits: hostile positions and sizes must not wrap around.
LONG farEdge(LONG contents, long long position, long long extent) {
    return static_cast<LONG>(std::clamp<long long>(std::max<long long>(contents, position + extent),
                                                   INT_MIN, INT_MAX));
}
}  // namespace

BEGIN_MESSAGE_MAP(YBManagerWnd, YBChildWnd)
ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

YBManagerWnd::YBManagerWnd() = default;

YBManagerWnd::~YBManagerWnd() {
    YBManagerWnd::clear();
}

bool YBManagerWnd::display() {
    ShowWindow(SW_SHOWNORMAL);
    UpdateWindow();
    return true;
}

int YBManagerWnd::getChildCount() const {
    return static_cast<int>(m_children.size());
}

YBChildWnd* YBManagerWnd::getChild(int index) const {
    if (index < 0 || index >= getChildCount()) return nullptr;
    return m_children.get(index);
}

CSize YBManagerWnd::getContentsSize() const {
    return m_contentsSize;
}

bool YBManagerWnd::init() {
    return true;
}

void YBManagerWnd::onRefresh() {}

BOOL YBManagerWnd::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    cs.lpszClass = AfxRegisterWndClass(kClassStyle, nullptr, nullptr, nullptr);
    return YBChildWnd::PreCreateWindow(cs);
}

void YBManagerWnd::addChildWnd(YBChildWnd* child) {
    {
        // Reading the size and storing at it is one step for other threads.
        kelp::KLLockGuard guard(m_children, kelp::KLLockGuard::Writing);
        m_children.insert(child, static_cast<int>(m_children.size()));
    }
    child->SetOwner(this);
}

void YBManagerWnd::cover(YBChildWnd* child, int x, int y) {
    const CSize size = child->size();
    m_contentsSize = CSize(farEdge(m_contentsSize.cx, x, size.cx),
                           farEdge(m_contentsSize.cy, y, size.cy));
}

void YBManagerWnd::createChildWnd(YBChildWnd* child, int x, int y) {
    addChildWnd(child);
    child->createAt(x + m_childOffset.x, y + m_childOffset.y, this);
    notePlace(child, CPoint(x + m_childOffset.x, y + m_childOffset.y));
    cover(child, x, y);
}

void YBManagerWnd::notePlace(const YBChildWnd* child, CPoint place) {
    if (!inWindowRange(place)) {
        m_places[child] = place;
    } else if (!m_places.empty()) {
        m_places.erase(child);
    }
}

void YBManagerWnd::putChild(YBChildWnd* child, CPoint place, bool repaint) {
    child->setPosition(place.x, place.y, repaint);
    notePlace(child, place);
}

CPoint YBManagerWnd::placeOf(YBChildWnd* child) const {
    CPoint window(0, 0);
    child->getPosition(window.x, window.y);
    if (m_places.empty()) return window;
    const auto known = m_places.find(child);
    if (known == m_places.end()) return window;
    const CPoint place = known->second;
    const auto limit = [](LONG v) { return std::clamp<LONG>(v, SHRT_MIN, SHRT_MAX); };
    // A child moved by someone else since is where its window is.
    return CPoint(limit(place.x), limit(place.y)) == window ? place : window;
}

void YBManagerWnd::placeChildWnd(YBChildWnd* child, int x, int y) {
    CRect window;
    ::GetWindowRect(child->m_hWnd, &window);
    ::MoveWindow(child->m_hWnd, x + m_childOffset.x, y + m_childOffset.y, window.Width(),
                 window.Height(), TRUE);
    notePlace(child, CPoint(x + m_childOffset.x, y + m_childOffset.y));
    cover(child, x, y);
}

void YBManagerWnd::closeAndDelete(YBChildWnd* child) {
    if (child->m_hWnd) ::SendMessageW(child->m_hWnd, WM_CLOSE, 0, 0);
    m_places.erase(child);
    delete child;
    ++m_childDeletions;
}

bool YBManagerWnd::isChildWnd(const YBChildWnd* child) const {
    for (int i = 0; i < getChildCount(); ++i)
        if (m_children.get(i) == child) return true;
    return false;
}

void YBManagerWnd::deleteChildWnd(YBChildWnd* child) {
    kelp::KLIterator<YBChildWnd*> it;
    kelp::KLCollection::initIterator(it, m_children.iterator(false));
    while (it.hasNext()) {
        if (it.next() != child) continue;
        closeAndDelete(child);
        it.remove();
        return;
    }
}

void YBManagerWnd::clear() {
    kelp::KLIterator<YBChildWnd*> it;
    kelp::KLCollection::initIterator(it, m_children.iterator(false));
    while (it.hasNext()) {
        closeAndDelete(it.next());
        it.remove();
    }
}

void YBManagerWnd::onClose() {
    if (isFlagSet(closeHides)) {
        ShowWindow(SW_HIDE);
        return;
    }
    clear();
    YBChildWnd::onClose();
}

void YBManagerWnd::onSize(UINT type, int cx, int cy) {
    YBChildWnd::onSize(type, cx, cy);
    onLayoutChildren();
}

std::vector<CPoint> YBManagerWnd::flowChildren() {
    const int count = getChildCount();
    std::vector<CSize> sizes;
    sizes.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        sizes.push_back(m_children.get(i)->size());
    CRect client;
    getClientRect(client);
    YBFlowLayout flow = YBFlowLayout::compute(sizes, client.Width());
    m_contentsSize = flow.contentsSize;
    m_lineHeight = flow.lineHeight;
    return std::move(flow.positions);
}

void YBManagerWnd::onLayoutChildren() {
    // Showing or hiding a bar resizes the client and brings WM_SIZE, and so
    // this layout, back in the middle of it: the running one starts over
    // with the new client instead, until the bars settle.
    if (m_inLayout) {
        m_layoutAgain = true;
        return;
    }
    m_inLayout = true;
    std::vector<CPoint> positions;
    constexpr int kMostRounds = 4;  // a bar can appear, then the other, then settle
    for (int round = 0; round < kMostRounds; ++round) {
        m_layoutAgain = false;
        positions = flowChildren();
        updateScrollBars();
        if (!m_layoutAgain) break;
    }
    m_inLayout = false;
    // The flow starts at the contents' origin; a scrolled manager keeps
    // showing the part its bars say.
    const CPoint scrolled = GetScrollPosition();
    for (std::size_t i = 0; i < positions.size() && i < m_children.size(); ++i)
        putChild(m_children.get(static_cast<int>(i)),
                 CPoint(positions[i].x - scrolled.x, positions[i].y - scrolled.y), true);
}

bool YBManagerWnd::scrollsAsOne(int dx, int dy) const {
    // Children stay within the contents (scrolled by at most their size):
    // then no child leaves the window range and all move by the same step.
    const long long reach = std::max<long long>(std::abs(0LL + m_contentsSize.cx),
                                                std::abs(0LL + m_contentsSize.cy)) +
                            std::max(std::abs(0LL + m_childOffset.x), std::abs(0LL + m_childOffset.y)) +
                            std::max(std::abs(0LL + dx), std::abs(0LL + dy));
    return m_hWnd && m_places.empty() && reach <= SHRT_MAX;
}

void YBManagerWnd::moveChildWindows(int dx, int dy) {
    if (scrollsAsOne(dx, dy)) {
        // The pixels go along; only the strip uncovered is painted.
        ::ScrollWindowEx(m_hWnd, dx, dy, nullptr, nullptr, nullptr, nullptr,
                         SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        return;
    }
    for (int i = 0; i < getChildCount(); ++i) {
        YBChildWnd* child = m_children.get(i);
        putChild(child, placeOf(child) + CPoint(dx, dy), false);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

YBScrollBars YBManagerWnd::bars() {
    return YBScrollBars(m_hWnd, m_hScrollScale, m_vScrollScale);
}

void YBManagerWnd::moveBy(CSize move) {
    if (move.cx != 0 || move.cy != 0) moveChildWindows(move.cx, move.cy);
}

void YBManagerWnd::updateScrollBars() {
    bars().update(m_contentsSize, isFlagSet(horizontalScrollBar), isFlagSet(verticalScrollBar));
}

CPoint YBManagerWnd::GetScrollPosition() {
    return bars().position();
}

void YBManagerWnd::onHScroll(int position) {
    moveBy(bars().thumbTo(SB_HORZ, position));
}

void YBManagerWnd::onVScroll(int position) {
    moveBy(bars().thumbTo(SB_VERT, position));
}

void YBManagerWnd::onScrollUp() {
    moveBy(bars().scroll(YBScrollBars::Step::LineUp, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollDown() {
    moveBy(bars().scroll(YBScrollBars::Step::LineDown, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollLeft() {
    moveBy(bars().scroll(YBScrollBars::Step::LineLeft, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollRight() {
    moveBy(bars().scroll(YBScrollBars::Step::LineRight, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollPageUp() {
    moveBy(bars().scroll(YBScrollBars::Step::PageUp, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollPageDown() {
    moveBy(bars().scroll(YBScrollBars::Step::PageDown, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollPageLeft() {
    moveBy(bars().scroll(YBScrollBars::Step::PageLeft, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollPageRight() {
    moveBy(bars().scroll(YBScrollBars::Step::PageRight, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollHome() {
    moveBy(bars().scroll(YBScrollBars::Step::Home, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollEnd() {
    moveBy(bars().scroll(YBScrollBars::Step::End, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollPageHome() {
    moveBy(bars().scroll(YBScrollBars::Step::PageHome, m_lineHeight, m_contentsSize));
}

void YBManagerWnd::onScrollPageEnd() {
    moveBy(bars().scroll(YBScrollBars::Step::PageEnd, m_lineHeight, m_contentsSize));
}

BOOL YBManagerWnd::OnMouseWheel(UINT, short delta, CPoint) {
    const int steps = delta / WHEEL_DELTA;
    for (int i = 0; i < steps; ++i)
        onScrollUp();
    for (int i = 0; i < -steps; ++i)
        onScrollDown();
    return TRUE;
}
