#include "YBComponentWnd.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <tessel/drawing/XMemDC.h>
#include <tessel/foundation/KLLockGuard.h>

#include "YBFlowLayout.h"
#include "YBHitIndex.h"

YBComponentWnd::YBComponentWnd(DWORD bgColor)
    : m_bgColor(bgColor), m_hits(std::make_unique<YBHitIndex>()) {}

YBComponentWnd::~YBComponentWnd() {
    clearComponents();
}

CSize YBComponentWnd::getContentsSize() const {
    return m_contentsSize;
}

void YBComponentWnd::addComponent(YBComponent* component, bool layout, bool repaint) {
    {
        kelp::KLLockGuard guard(m_components, kelp::KLLockGuard::Writing);
        m_components.insert(component, static_cast<int>(m_components.size()));
        if (component) {
            component->m_host = this;
            component->m_hostIndex = static_cast<int>(m_components.size()) - 1;
        }
    }
    if (component) component->notifyAccess(EVENT_OBJECT_CREATE);
    m_hitsStale = true;
    if (layout) onLayoutComponents();
    if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void YBComponentWnd::closeOpenComponents() {
    // The count is read at every step: a component's onClose may clear the host too.
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        if (component->isOpen()) component->onClose();
    }
}

void YBComponentWnd::clearComponents() {
    // All are taken out of the array first, so that no onClose or destructor
    // can reach an already deleted component through the host; then each is
    // closed and deleted before the next is looked at.
    std::vector<YBComponent*> doomed;
    doomed.reserve(m_components.size());
    for (int i = 0; i < getComponentCount(); ++i)
        doomed.push_back(m_components.get(i));
    m_components.clear();
    m_hitsStale = true;
    m_focused = nullptr;
    for (YBComponent* component : doomed) {
        if (component->isOpen()) component->onClose();
        delete component;
    }
}

int YBComponentWnd::getComponentCount() const {
    return static_cast<int>(m_components.size());
}

YBComponent* YBComponentWnd::getComponent(int index) const {
    if (index < 0 || index >= getComponentCount()) return nullptr;
    return m_components.get(index);
}

int YBComponentWnd::indexOf(const YBComponent& component) const {
    const int count = getComponentCount();
    if (const int at = component.m_hostIndex;
        component.m_host == this && at >= 0 && at < count && m_components.get(at) == &component)
        return at;
    for (int i = 0; i < count; ++i)
        if (m_components.get(i) == &component) return i;
    return -1;
}

YBComponent* YBComponentWnd::getComponentByID(unsigned int id) const {
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        if (component->id() == id) return component;
    }
    return nullptr;
}

int YBComponentWnd::getComponentIndexAt(CPoint point) const {
    const int count = getComponentCount();
    if (!m_hitsStale && m_hits->count() == static_cast<std::size_t>(count)) {
        std::vector<int> hits;
        m_hits->hits(point, hits);
        int first = -1;
        for (const int index : hits)
            if (first < 0 || index < first) first = index;
        return first;
    }
    for (int i = 0; i < count; ++i) {
        if (m_components.get(i)->rect().PtInRect(point)) return i;
    }
    return -1;
}

YBComponent* YBComponentWnd::getComponentAt(CPoint point) const {
    const int index = getComponentIndexAt(point);
    return index < 0 ? nullptr : m_components.get(index);
}

void YBComponentWnd::onClose() {
    closeOpenComponents();
    YBChildWnd::onClose();
}

void YBComponentWnd::onDraw(XDC& dc) {
    // An empty box leaves every component in (nothing known to leave out).
    CRect box;
    const CDC* target = dc.cdc();
    if (!target || target->GetClipBox(&box) <= NULLREGION) box.SetRectEmpty();
    XMemDC buffer(dc);
    CRect client;
    getClientRect(client);
    if (m_bgColor != XDC::kNoColor) buffer.FillRect(client, m_bgColor);
    m_paintBox = box;
    struct Done {
        CRect& box;
        ~Done() { box.SetRectEmpty(); }
    } done{m_paintBox};
    drawComponents(buffer);
}

// Components draw within their own rectangles, so while onDraw paints, those
// outside what is being painted are left out.
void YBComponentWnd::drawComponents(XDC& dc) {
    const CRect box = m_paintBox;
    const bool clipped = !box.IsRectEmpty();
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        if (!component->isVisible()) continue;
        if (clipped) {
            const CRect r = component->rect();
            if (r.right <= box.left || r.left >= box.right || r.bottom <= box.top ||
                r.top >= box.bottom)
                continue;
        }
        component->onDraw(dc);
    }
}

void YBComponentWnd::onSize(UINT type, int cx, int cy) {
    YBChildWnd::onSize(type, cx, cy);
    onLayoutComponents();
}

void YBComponentWnd::onLayoutComponents() {
    // Showing or hiding a bar resizes the client and brings WM_SIZE, and so
    // this layout, back in the middle of it: the running one starts over
    // with the new client instead, until the bars settle.
    if (m_inLayout) {
        m_layoutAgain = true;
        return;
    }
    m_inLayout = true;
    constexpr int kMostRounds = 4;  // a bar can appear, then the other, then settle
    for (int round = 0; round < kMostRounds; ++round) {
        m_layoutAgain = false;
        flowComponents();
        updateScrollBars();
        if (!m_layoutAgain) break;
    }
    m_inLayout = false;
    // The flow starts at the contents' origin; a scrolled host keeps showing
    // the part its bars say.
    const CPoint scrolled = getScrollPosition();
    if (scrolled != CPoint(0, 0)) offsetComponents(-scrolled.x, -scrolled.y);
}

void YBComponentWnd::flowComponents() {
    const int count = getComponentCount();
    std::vector<CSize> sizes;
    sizes.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        sizes.push_back(m_components.get(i)->size());
    CRect client;
    getClientRect(client);
    const YBFlowLayout flow = YBFlowLayout::compute(sizes, client.Width());
    for (int i = 0; i < count; ++i) {
        const CPoint position = flow.positions[static_cast<std::size_t>(i)];
        m_components.get(i)->setPosition(position.x, position.y, true);
    }
    m_contentsSize = flow.contentsSize;
    m_lineHeight = flow.lineHeight;
}

void YBComponentWnd::routeMove(int index, UINT flags, CPoint point) {
    YBComponent* component = m_components.get(index);
    if (component->rect().PtInRect(point)) {
        if (!component->isMouseOver()) component->onMouseEnter();
        component->onMouseMove(flags, point);
    } else if (component->isMouseOver()) {
        component->onMouseLeave();
    }
}

// The count is read at every step: a handler may add components or clear the host.
void YBComponentWnd::routeMoveToAll(int first, UINT flags, CPoint point) {
    for (int i = first; i < getComponentCount(); ++i)
        routeMove(i, flags, point);
}

void YBComponentWnd::refreshHitIndex() {
    const int count = getComponentCount();
    if (!m_hitsStale && m_hits->count() == static_cast<std::size_t>(count)) return;
    std::vector<CRect> rects;
    rects.reserve(static_cast<std::size_t>(count));
    m_hovered.clear();
    for (int i = 0; i < count; ++i) {
        YBComponent* component = m_components.get(i);
        // Also those a derived host listed without addComponent.
        if (component->m_host != this) {
            component->m_host = this;
            component->m_hostIndex = i;
        }
        rects.push_back(component->rect());
        if (component->isMouseOver()) m_hovered.push_back(i);
    }
    m_hits->rebuild(rects);
    m_hitsStale = false;
}

// The same calls in the same order as the walk over every component, made to
// the ones it would call: those under the point and those mouseOver. A
// handler that moves, adds or removes components, or makes one mouseOver,
// is told about (YBComponent reports it), and the walk goes on over every
// component from there.
void YBComponentWnd::onMouseMove(UINT flags, CPoint point) {
    if (m_routing) {  // a handler moved the pointer again
        m_hitsStale = true;
        routeMoveToAll(0, flags, point);
        return;
    }
    refreshHitIndex();
    std::vector<int>& pending = m_routePending;
    pending.clear();
    m_hits->hits(point, pending);
    pending.insert(pending.end(), m_hovered.begin(), m_hovered.end());
    std::sort(pending.begin(), pending.end());
    pending.erase(std::unique(pending.begin(), pending.end()), pending.end());
    m_hovered.clear();
    m_routing = true;
    struct Done {
        YBComponentWnd& host;
        bool completed = false;
        ~Done() {
            host.m_routing = false;
            host.m_routedIndex = -1;
            if (!completed) host.m_hitsStale = true;
        }
    } done{*this};
    for (std::size_t next = 0; next < pending.size(); ++next) {
        const int index = pending[next];
        m_routedIndex = index;
        routeMove(index, flags, point);
        if (m_hitsStale) {
            routeMoveToAll(index + 1, flags, point);
            return;
        }
        if (m_components.get(index)->isMouseOver()) m_hovered.push_back(index);
    }
    std::sort(m_hovered.begin(), m_hovered.end());
    m_hovered.erase(std::unique(m_hovered.begin(), m_hovered.end()), m_hovered.end());
    done.completed = true;
}

void YBComponentWnd::componentMoved(const YBComponent& component) {
    if (&component != m_shifting) m_hitsStale = true;
}

void YBComponentWnd::componentHovered(const YBComponent& component) {
    if (m_hitsStale) return;  // the next refresh finds it
    const int index = component.m_hostIndex;
    if (index < 0 || index >= getComponentCount() || m_components.get(index) != &component ||
        m_hovered.size() > 2 * static_cast<std::size_t>(getComponentCount()) + 16) {
        m_hitsStale = true;
        return;
    }
    m_hovered.push_back(index);
    if (m_routing && index > m_routedIndex) {
        const auto at = std::lower_bound(m_routePending.begin(), m_routePending.end(), index);
        if (at == m_routePending.end() || *at != index) m_routePending.insert(at, index);
    }
}

void YBComponentWnd::componentGone(const YBComponent& component) {
    component.notifyAccess(EVENT_OBJECT_DESTROY);
    m_hitsStale = true;
    if (&component == m_focused) m_focused = nullptr;
}

namespace {
// The first component with mouseOver, or null.
YBComponent* hovered(const YBComponentWnd& host) {
    for (int i = 0; i < host.getComponentCount(); ++i) {
        YBComponent* component = host.getComponent(i);
        if (component->isMouseOver()) return component;
    }
    return nullptr;
}
}  // namespace

// The component may delete itself or clear the host from its handler (a
// command it sends): nothing here touches it afterwards.
void YBComponentWnd::onLeftMouseButton(int action, CPoint point) {
    if (YBComponent* component = hovered(*this)) component->onLeftMouseButton(action, point);
}

void YBComponentWnd::onRightMouseButton(int action, CPoint point) {
    if (YBComponent* component = hovered(*this)) component->onRightMouseButton(action, point);
}

void YBComponentWnd::onMiddleMouseButton(int action, CPoint point) {
    if (YBComponent* component = hovered(*this)) component->onMiddleMouseButton(action, point);
}

void YBComponentWnd::onMouseWheel(UINT, int delta, CPoint) {
    const int steps = delta / WHEEL_DELTA;
    for (int i = 0; i < steps; ++i)
        onScrollUp();
    for (int i = 0; i < -steps; ++i)
        onScrollDown();
}

void YBComponentWnd::moveComponents(int dx, int dy) {
    offsetComponents(dx, dy);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

// The hit index moves along when every component moved exactly by (dx, dy).
void YBComponentWnd::offsetComponents(int dx, int dy) {
    bool shiftedAll = true;
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        const CRect before = component->rect();
        int x = 0, y = 0;
        component->getPosition(x, y);
        m_shifting = component;
        component->setPosition(x + dx, y + dy, false);
        m_shifting = nullptr;
        const CRect after = component->rect();
        shiftedAll = shiftedAll && std::int64_t{after.left} == std::int64_t{before.left} + dx &&
                     std::int64_t{after.right} == std::int64_t{before.right} + dx &&
                     std::int64_t{after.top} == std::int64_t{before.top} + dy &&
                     std::int64_t{after.bottom} == std::int64_t{before.bottom} + dy;
    }
    if (shiftedAll) {
        m_hits->shift(dx, dy);
    } else {
        m_hitsStale = true;
    }
}
