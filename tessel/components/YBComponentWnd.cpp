#include "YBComponentWnd.h"

#include <vector>

#include <tessel/drawing/XMemDC.h>
#include <tessel/foundation/KLLockGuard.h>

#include "YBFlowLayout.h"

YBComponentWnd::YBComponentWnd(DWORD bgColor) : m_bgColor(bgColor) {}

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
    }
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

YBComponent* YBComponentWnd::getComponentByID(unsigned int id) const {
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        if (component->id() == id) return component;
    }
    return nullptr;
}

int YBComponentWnd::getComponentIndexAt(CPoint point) const {
    for (int i = 0; i < getComponentCount(); ++i) {
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
    XMemDC buffer(dc);
    CRect client;
    getClientRect(client);
    if (m_bgColor != XDC::kNoColor) buffer.FillRect(client, m_bgColor);
    drawComponents(buffer);
}

void YBComponentWnd::drawComponents(XDC& dc) {
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        if (component->isVisible()) component->onDraw(dc);
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

void YBComponentWnd::onMouseMove(UINT flags, CPoint point) {
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        if (component->rect().PtInRect(point)) {
            if (!component->isMouseOver()) component->onMouseEnter();
            component->onMouseMove(flags, point);
        } else if (component->isMouseOver()) {
            component->onMouseLeave();
        }
    }
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

void YBComponentWnd::offsetComponents(int dx, int dy) {
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        int x = 0, y = 0;
        component->getPosition(x, y);
        component->setPosition(x + dx, y + dy, false);
    }
}
