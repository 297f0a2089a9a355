#include "YBSplitterWnd.h"

#include <algorithm>
#include <climits>
#include <memory>

#include <tessel/platform/win_events.h>

#include "YBLayoutStore.h"

namespace {
constexpr int kLeastPaneSize = 8;

// Sizes computed in 64 bits and stored in int: hostile sizes saturate.
int saturate(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
}  // namespace

YBSplitterWnd::YBSplitterWnd(int flags, const kelp::KLString& name)
    : m_name(name), m_splitFlags(flags) {}

YBSplitterWnd::~YBSplitterWnd() {
    forgetDeletedWindows();
    for (int i = 0; i < getPaneCount(); ++i) {
        std::unique_ptr<YBSplitterPane> record(pane(i));
        // Listed windows are the manager's to delete when it goes, next.
        if (std::ranges::find(m_listedWindows, record->getWnd()) != m_listedWindows.end())
            record->setWnd(nullptr);
    }
    m_panes.clear();
}

void YBSplitterWnd::setFlag(int mask, bool on) {
    m_splitFlags = on ? (m_splitFlags | mask) : (m_splitFlags & ~mask);
}

YBSplitterPane* YBSplitterWnd::pane(int index) const {
    forgetDeletedWindows();
    if (index < 0 || index >= getPaneCount()) return nullptr;
    return m_panes.get(index);
}

void YBSplitterWnd::forgetDeletedWindows() const {
    if (m_seenDeletions == childDeletions()) return;
    m_seenDeletions = childDeletions();
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        YBSplitterPane* record = m_panes.get(static_cast<int>(i));
        YBChildWnd* wnd = record ? record->getWnd() : nullptr;
        if (!wnd || isChildWnd(wnd)) continue;
        const auto listed = std::ranges::find(m_listedWindows, wnd);
        if (listed == m_listedWindows.end()) continue;  // the record's own window
        m_listedWindows.erase(listed);
        record->setWnd(nullptr);
    }
}

void YBSplitterWnd::addPane(YBChildWnd* wnd, int preferredSize, int barWidth, int barMargin,
                            COLORREF barLineColor, COLORREF barBgColor, bool fixed) {
    if (!wnd) return;
    CRect window(0, 0, 0, 0);
    if (m_hWnd) ::GetWindowRect(m_hWnd, &window);
    const long long outer = alongAxis(window.Size());

    int low = 0, high = 0;
    bool isFixed = fixed;
    if (!fixed) {
        low = alongAxis(wnd->getMinSize());
        high = alongAxis(wnd->getMaxSize());
        isFixed = low == high && high != 0;
    } else if (preferredSize != 0) {
        low = high = preferredSize;
    } else {
        low = high = barWidth;  // fixed at what is left for it
    }
    auto record = std::make_unique<YBSplitterPane>();
    record->setWnd(wnd);
    record->vertical(isVerticalSplit());
    record->preferredSize(preferredSize);
    record->minSize(low);
    record->maxSize(high);
    record->fixed(isFixed);
    if (record->minSize() < kLeastPaneSize) record->minSize(kLeastPaneSize);
    if (isFixed) {
        record->currentSize(preferredSize);
        record->minSize(preferredSize);
        record->maxSize(preferredSize);
    }

    const int count = getPaneCount();
    long long free = outer;
    for (int i = 0; i < count; ++i) {
        free -= pane(i)->preferredSize();
        if (i > 0) free -= m_bars.get(i - 1).size();
    }
    const long long need =
        preferredSize + (count > 0 ? static_cast<long long>(barWidth) + 2LL * barMargin : 0);
    const bool fits = free >= need;

    long long pos = 0, rest = outer;
    for (int i = 0; i < count; ++i) {
        YBSplitterPane* p = pane(i);
        if (i > 0) {
            pos += m_bars.get(i - 1).size();
            rest -= m_bars.get(i - 1).size();
        }
        p->currentSize(fits ? p->preferredSize() : p->minSize());
        p->offset(saturate(pos));
        pos += p->currentSize();
        rest -= p->currentSize();
    }
    record->currentSize(std::max(saturate(rest), record->minSize()));
    record->offset(saturate(pos));

    YBSplitterPane* added = record.get();
    m_panes[count] = record.release();
    if (count >= 1)
        m_bars[count - 1] =
            YBSplitterBar(isVerticalSplit(), barWidth, barMargin, barLineColor, barBgColor);

    const CSize across = window.Size();
    wnd->setInitialSize(isVerticalSplit() ? CSize(across.cx, added->currentSize())
                                          : CSize(added->currentSize(), across.cy));
    m_listedWindows.push_back(wnd);
    createChildWnd(wnd, isVerticalSplit() ? 0 : added->offset(),
                   isVerticalSplit() ? added->offset() : 0);
    movePanes();
}

std::wstring YBSplitterWnd::layoutKey() const {
    return L"windows/" + m_name.str();
}

bool YBSplitterWnd::restoreLayout() {
    if (m_name.isEmpty()) return false;
    const auto sizes = YBLayoutStore::read(layoutKey(), static_cast<std::size_t>(getPaneCount()));
    if (!sizes) return false;
    for (int i = 0; i < getPaneCount(); ++i) {
        YBSplitterPane* p = pane(i);
        if (!p || p->fixed()) continue;
        const int size = std::max((*sizes)[static_cast<std::size_t>(i)], p->minSize());
        p->preferredSize(size);
        p->currentSize(size);
    }
    movePanes();
    return true;
}

void YBSplitterWnd::setPane(int index, YBChildWnd* wnd) {
    YBSplitterPane* p = pane(index);
    if (!p) return;
    p->setWnd(wnd);
    movePanes();
}

void YBSplitterWnd::clearPanes() {
    forgetDeletedWindows();
    for (int i = 0; i < getPaneCount(); ++i) {
        std::unique_ptr<YBSplitterPane> record(m_panes.get(i));
        if (!record) continue;
        YBChildWnd* wnd = record->getWnd();
        if (const auto listed = std::ranges::find(m_listedWindows, wnd);
            wnd && listed != m_listedWindows.end()) {
            m_listedWindows.erase(listed);
            record->setWnd(nullptr);
            deleteChildWnd(wnd);  // closed, deleted and unlisted by the manager
        }
    }
    m_panes.clear();
    // The bars go with the panes: none is left to draw or grab.
    m_bars.clear();
    m_dragBar = -1;
}

YBSplitterPane* YBSplitterWnd::findPane(YBChildWnd* wnd) {
    const int index = getPaneIndex(wnd);
    return index < 0 ? nullptr : pane(index);
}

int YBSplitterWnd::getPaneIndex(YBChildWnd* wnd) {
    for (int i = 0; i < getPaneCount(); ++i)
        if (YBSplitterPane* p = pane(i); p && p->getWnd() == wnd) return i;
    return -1;
}

YBSplitterPane* YBSplitterWnd::getPane(int index) {
    forgetDeletedWindows();
    return m_panes[index];
}

YBSplitterBar* YBSplitterWnd::getBar(int index) {
    return &m_bars[index];
}

void YBSplitterWnd::calcMinSize(CSize& minimum, int& total, int& growable,
                                int& shrinkable) const {
    long long width = 0, height = 0, sum = 0;
    growable = shrinkable = 0;
    for (int i = 0; i < getPaneCount(); ++i) {
        const YBSplitterPane* p = pane(i);
        if (!p) continue;
        const CSize s = p->minWndSize();
        if (isVerticalSplit()) {
            width = std::max<long long>(width, s.cx);
            height += s.cy;
        } else {
            width += s.cx;
            height = std::max<long long>(height, s.cy);
        }
        sum += p->currentSize();
        if (p->maxSize() == 0 || p->currentSize() < p->maxSize()) ++growable;
        if (p->currentSize() > p->minSize()) ++shrinkable;
        if (i > 0) {
            const int bar = m_bars.get(i - 1).size();
            sum += bar;
            (isVerticalSplit() ? height : width) += bar;
        }
    }
    minimum = CSize(saturate(width), saturate(height));
    total = saturate(sum);
}

CSize YBSplitterWnd::getMinSize() const {
    CSize minimum;
    int total = 0, growable = 0, shrinkable = 0;
    calcMinSize(minimum, total, growable, shrinkable);
    return minimum;
}

void YBSplitterWnd::movePanes() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    long long pos = 0;
    for (int i = 0; i < getPaneCount(); ++i) {
        YBSplitterPane* p = pane(i);
        if (!p) continue;
        if (i > 0) {
            YBSplitterBar& bar = m_bars[i - 1];
            const int thickness = bar.size();
            const CRect before = bar.m_rect;
            bar.m_rect = isVerticalSplit()
                             ? CRect(client.left, saturate(pos), client.right, saturate(pos + thickness))
                             : CRect(saturate(pos), client.top, saturate(pos + thickness), client.bottom);
            pos += thickness;
            // Bars are parts of this window: child ids 1, 2... name them.
            if (bar.m_rect != before) {
                ::NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, m_hWnd, OBJID_CLIENT, i);
                ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_hWnd, OBJID_CLIENT, i);
            }
        }
        p->offset(saturate(pos));
        pos += p->currentSize();
        YBChildWnd* wnd = p->getWnd();
        if (!wnd) continue;
        const int width = isVerticalSplit() ? client.Width() : p->currentSize();
        const int height = isVerticalSplit() ? p->currentSize() : client.Height();
        ::MoveWindow(wnd->m_hWnd, isVerticalSplit() ? 0 : p->offset(),
                     isVerticalSplit() ? p->offset() : 0, width, height, TRUE);
        wnd->setSize(width, height, true);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

// A pane that stays at or above its minimum takes any change; one that would
// fall below passes the shortfall on, measured from its preferred size or,
// failing that, from its minimum. Whether a pane can take a change only gets
// easier as the change grows, so of those two shortfalls only the smaller
// need be tried: one walk along the panes instead of a tree of them.
bool YBSplitterWnd::canAdjustSize(int index, int delta, int direction) {
    if (direction != 1 && direction != -1) return false;
    long long change = delta;
    for (int i = index;; i += direction) {
        const YBSplitterPane* p = pane(i);
        if (!p) return false;
        if (p->fixed()) continue;
        const long long wanted = p->currentSize() + change;
        const int least = p->minSize();
        if (wanted >= least) return true;
        change = wanted - std::min(p->preferredSize(), least);
    }
}

bool YBSplitterWnd::adjustSize(int index, int delta, int direction) {
    if (delta == 0) return true;
    if (direction != 1 && direction != -1) return false;
    YBSplitterPane* p = pane(index);
    if (!p) return false;
    if (p->fixed()) return adjustSize(index + direction, delta, direction);
    const long long wanted = static_cast<long long>(p->currentSize()) + delta;
    const long long contents = p->getWnd() ? alongAxis(p->getWnd()->getContentsSize()) : 0;
    const int least = p->minSize();
    const int preferred = p->preferredSize();
    if ((wanted >= contents && wanted >= least) || (wanted >= preferred && wanted >= least)) {
        p->currentSize(saturate(wanted));
        return true;
    }
    if (preferred == 0) return false;
    if (canAdjustSize(index + direction, saturate(wanted - preferred), direction)) {
        p->currentSize(preferred);
        return adjustSize(index + direction, saturate(wanted - preferred), direction);
    }
    if (wanted >= least) {
        p->currentSize(saturate(wanted));
        return true;
    }
    p->currentSize(least);
    return adjustSize(index + direction, saturate(wanted - least), direction);
}

void YBSplitterWnd::preferCurrentSizes() {
    for (int i = 0; i < getPaneCount(); ++i)
        if (YBSplitterPane* p = pane(i)) p->preferredSize(p->currentSize());
}

bool YBSplitterWnd::moveSpace(int first, int delta) {
    if (!canAdjustSize(first, delta, -1) || !canAdjustSize(first + 1, -delta, +1)) return false;
    adjustSize(first, delta, -1);
    adjustSize(first + 1, -delta, +1);
    movePanes();
    preferCurrentSizes();
    return true;
}

void YBSplitterWnd::setPaneSize(int index, int size) {
    YBSplitterPane* p = pane(index);
    if (!p) return;
    moveSpace(index, saturate(static_cast<long long>(size) - p->currentSize()));
}

void YBSplitterWnd::setPaneSize(int index, int size, bool fixed) {
    YBSplitterPane* p = pane(index);
    if (!p) return;
    const bool wasFixed = p->fixed();
    p->fixed(false);
    const int delta = saturate(static_cast<long long>(size) - p->currentSize());
    const bool self = canAdjustSize(index, delta, -1);
    const bool next = canAdjustSize(index + 1, -delta, +1);
    const bool previous = canAdjustSize(index - 1, -delta, -1);
    if (!self || !(next || previous)) {
        p->fixed(wasFixed);
        return;
    }
    adjustSize(index, delta, -1);
    if (next)
        adjustSize(index + 1, -delta, +1);
    else
        adjustSize(index - 1, -delta, -1);
    p->fixed(fixed);
    movePanes();
    preferCurrentSizes();
}

int YBSplitterWnd::barIndex(CPoint point) const {
    for (std::size_t i = 0; i < m_bars.size(); ++i)
        if (m_bars.get(static_cast<int>(i)).m_rect.PtInRect(point)) return static_cast<int>(i);
    return -1;
}

void YBSplitterWnd::onDraw(XDC& dc) {
    for (std::size_t i = 0; i < m_bars.size(); ++i)
        m_bars[static_cast<int>(i)].draw(dc);
}

void YBSplitterWnd::growPanes(int space, int growable) {
    const int share = std::max(1, space / growable);
    int left = growable;
    for (int i = 0; i < getPaneCount() && left != 0 && space != 0; ++i) {
        YBSplitterPane* p = pane(i);
        if (!p || (p->maxSize() != 0 && p->currentSize() >= p->maxSize())) continue;
        const int amount = left == 1 ? space : share;
        adjustSize(i, amount, -1);
        space -= amount;
        --left;
    }
}

void YBSplitterWnd::shrinkPanes(int space, int shrinkable) {
    while (space != 0) {
        const int share = space / shrinkable != 0 ? space / shrinkable : -1;
        int left = shrinkable;
        bool changed = false;
        for (int i = 0; i < getPaneCount() && left != 0 && space != 0; ++i) {
            YBSplitterPane* p = pane(i);
            if (!p || p->currentSize() <= p->minSize()) continue;
            const int amount = left == 1 ? space : share;
            const int old = p->currentSize();
            const int now = std::max(saturate(static_cast<long long>(old) + amount), p->minSize());
            if (now == old) continue;
            p->currentSize(now);
            space += old - now;
            --left;
            changed = true;
        }
        // Limits changed under us (a window's own minimum): what is left stays unassigned.
        if (!changed) break;
    }
}

void YBSplitterWnd::onSize(UINT type, int cx, int cy) {
    if (cx == 0 || cy == 0) return;
    CSize minimum;
    int total = 0, growable = 0, shrinkable = 0;
    calcMinSize(minimum, total, growable, shrinkable);
    cx = std::max(cx, static_cast<int>(minimum.cx));
    cy = std::max(cy, static_cast<int>(minimum.cy));
    setMinSize(minimum);
    const int space = saturate(static_cast<long long>(isVerticalSplit() ? cy : cx) - total);
    if (space > 0 && growable > 0)
        growPanes(space, growable);
    else if (space < 0 && shrinkable >= 1)
        shrinkPanes(space, shrinkable);
    movePanes();
    YBManagerWnd::onSize(type, cx, cy);
}

void YBSplitterWnd::onLayoutChildren() {}

bool YBSplitterWnd::onSetCursor(UINT hitTest, UINT message) {
    CPoint point;
    ::GetCursorPos(&point);
    ::ScreenToClient(m_hWnd, &point);
    if (dragging()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return true;
    }
    if (barIndex(point) >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, isVerticalSplit() ? IDC_SIZENS : IDC_SIZEWE));
        return true;
    }
    return YBManagerWnd::onSetCursor(hitTest, message);
}

void YBSplitterWnd::onLeftMouseButton(int action, CPoint point) {
    if (action == 1) {
        m_dragBar = barIndex(point);
        if (m_dragBar < 0) return;
        const YBSplitterBar& bar = m_bars.get(m_dragBar);
        const int grab = isHorizontalSplit() ? point.x - bar.m_rect.left : point.y - bar.m_rect.top;
        m_dragOffset = grab + bar.m_margin + bar.m_width / 2;
        dragging(true);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        OnSetCursor(this, 0, 0);  // the drag cursor at once
        SetCapture();
    } else if (action == 0 && dragging()) {
        dragging(false);
        ::ReleaseCapture();
    }
}

void YBSplitterWnd::onMouseMove(UINT, CPoint point) {
    // A drag flag set by hand, or bars cleared under a drag, find no bar here.
    if (!dragging() || m_dragBar < 0 || static_cast<std::size_t>(m_dragBar) >= m_bars.size())
        return;
    const YBSplitterBar& bar = m_bars.get(m_dragBar);
    const long long pos = isHorizontalSplit() ? point.x : point.y;
    const long long target = bar.m_width / 2 - m_dragOffset + bar.m_margin + pos;
    const int delta = saturate(target - (bar.m_vertical ? bar.m_rect.top : bar.m_rect.left));
    if (delta != 0) moveSpace(m_dragBar, delta);
}

void YBSplitterWnd::onClose() {
    if (!m_name.isEmpty()) {
        std::vector<int> preferred;
        for (int i = 0; i < getPaneCount(); ++i) {
            if (YBSplitterPane* p = pane(i)) {
                p->closeWindow();
                preferred.push_back(p->preferredSize());
            }
        }
        // A layout that cannot be stored is simply not restored next time.
        YBLayoutStore::write(layoutKey(), preferred);
    }
    YBManagerWnd::onClose();
}
