#include "YBComponent.h"
#include "YBComponentWnd.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>
#include <vector>

#include <tessel/foundation/KLListIterator.h>

namespace {
// Registry steps taken under one read hold: few enough that a thread waiting
// to add or remove a component is not held up noticeably.
constexpr std::size_t kStepsPerHold = 256;

// Bumped whenever a component is made or goes, on whatever thread: the
// accessible-id lookup trusts its index only while this has not moved.
std::atomic<std::uint64_t>& registryChanges() {
    static std::atomic<std::uint64_t> changes{0};
    return changes;
}
}  // namespace

// m_componentList is defined with the module's other module-wide objects
// (tessel/module/module_objects.cpp), whose order of construction it shares.

YBComponent::YBComponent(unsigned int id, CWnd* owner)
    : m_owner(owner), m_ownerWindow(owner ? owner->m_hWnd : nullptr), m_id(id) {
    m_componentList.add(this, kelp::KLCollection::kAddLast);
    registryChanges().fetch_add(1, std::memory_order_release);
}

YBComponent::YBComponent(const YBComponent& other)
    : m_owner(other.m_owner),
      m_ownerWindow(other.m_ownerWindow),
      m_flags(other.m_flags),
      m_id(other.m_id),
      m_rect(other.m_rect),
      m_size(other.m_size),
      m_minSize(other.m_minSize),
      m_maxSize(other.m_maxSize),
      m_data(other.m_data) {}

YBComponent& YBComponent::operator=(const YBComponent& other) {
    if ((other.m_flags & mouseOver) && !(m_flags & mouseOver)) noteMouseOver();
    m_owner = other.m_owner;
    m_ownerWindow = other.m_ownerWindow;
    m_flags = other.m_flags;
    m_id = other.m_id;
    m_rect = other.m_rect;
    m_size = other.m_size;
    m_minSize = other.m_minSize;
    m_maxSize = other.m_maxSize;
    m_data = other.m_data;
    noteMoved();
    return *this;
}

YBComponent::~YBComponent() {
    if (m_host) m_host->componentGone(*this);
    registryChanges().fetch_add(1, std::memory_order_release);
    m_componentList.removeFirst(this);
}

std::uint32_t YBComponent::nextAccessibleId() {
    // Components are built on any thread.
    static std::atomic<std::uint32_t> last{0};
    std::uint32_t id = ++last;
    while (id == 0) id = ++last;
    return id;
}

void YBComponent::noteMouseOver() {
    if (m_host) m_host->componentHovered(*this);
}

void YBComponent::noteMoved() {
    if (m_host) m_host->componentMoved(*this);
}

void YBComponent::notifyAccess(DWORD event) const {
    const HWND window = m_host ? m_host->m_hWnd : m_ownerWindow;
    if (window) ::NotifyWinEvent(event, window, OBJID_CLIENT, static_cast<LONG>(m_accessibleId));
}

void YBComponent::notifyMoved(const CRect& before) const {
    if (m_rect != before) notifyAccess(EVENT_OBJECT_LOCATIONCHANGE);
}

YBComponent* YBComponent::findAccessible(std::uint32_t accessibleId) {
    // Assistive technology asks for every component after each scroll step:
    // a walk per question would be quadratic in the host's size.
    struct Index {
        std::uint64_t changes = ~std::uint64_t{0};
        std::unordered_map<std::uint32_t, YBComponent*> byId;
    };
    static Index index;
    const std::uint64_t changes = registryChanges().load(std::memory_order_acquire);
    if (index.changes != changes) {
        index.byId.clear();
        kelp::KLListIterator<YBComponent*> it(&m_componentList, false);
        while (it.nextRun(kStepsPerHold, [&](YBComponent* component) {
            index.byId.emplace(component->m_accessibleId, component);
        })) {
        }
        index.changes = changes;
    }
    const auto found = index.byId.find(accessibleId);
    return found == index.byId.end() ? nullptr : found->second;
}

CSize YBComponent::getMinSize() const {
    return m_minSize;
}
void YBComponent::setMinSize(const CSize& size) {
    m_minSize = size;
}
CSize YBComponent::getMaxSize() const {
    return m_maxSize;
}
void YBComponent::setMaxSize(const CSize& size) {
    m_maxSize = size;
}
CSize YBComponent::getContentsSize() const {
    return m_size;
}
bool YBComponent::init() {
    return true;
}

void YBComponent::getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) {
    style = WS_CHILD | WS_VISIBLE;
    exStyle = 0;
    size = m_size;
}

void YBComponent::onClose() {
    clearFlags(open);
}
void YBComponent::onCreate() {
    setFlags(open);
}
void YBComponent::onEraseBackground(XDC&) {}

void YBComponent::onDraw(XDC& dc) {
    dc.FillRect(m_rect, RGB(255, 255, 255));
}

void YBComponent::onSize(UINT, int, int) {}

bool YBComponent::onSetCursor(UINT hitTest, UINT) {
    if (hitTest != HTCLIENT) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return true;
}

void YBComponent::getPosition(int& x, int& y) {
    x = m_rect.left;
    y = m_rect.top;
}

void YBComponent::setPosition(int x, int y, bool repaint) {
    const CRect before = m_rect;
    m_rect = CRect(x, y, x + m_size.cx, y + m_size.cy);
    noteMoved();
    notifyMoved(before);
    if (repaint) invalidate();
}

void YBComponent::getSize(int& cx, int& cy) {
    cx = m_size.cx;
    cy = m_size.cy;
}

void YBComponent::setSize(int cx, int cy, bool repaint) {
    const CRect before = m_rect;
    m_size = CSize(cx, cy);
    m_rect.right = m_rect.left + cx;
    m_rect.bottom = m_rect.top + cy;
    noteMoved();
    notifyMoved(before);
    if (repaint) invalidate();
}

void YBComponent::getPositionAndSize(int& x, int& y, int& cx, int& cy) {
    x = m_rect.left;
    y = m_rect.top;
    cx = m_size.cx;
    cy = m_size.cy;
}

void YBComponent::setPositionAndSize(int x, int y, int cx, int cy, bool repaint) {
    const CRect before = m_rect;
    m_size = CSize(cx, cy);
    m_rect = CRect(x, y, x + cx, y + cy);
    noteMoved();
    notifyMoved(before);
    if (repaint) invalidate();
}

void YBComponent::onCommand(int) {}
void YBComponent::onTimer(int) {}
void YBComponent::onKey(int, int, int, int) {}
void YBComponent::onChar(int, int) {}
void YBComponent::onLeftMouseButton(int, CPoint) {}
void YBComponent::onRightMouseButton(int, CPoint) {}
void YBComponent::onMiddleMouseButton(int, CPoint) {}
void YBComponent::onMouseMove(UINT, CPoint) {}
void YBComponent::onMouseEnter() {}
void YBComponent::onMouseLeave() {}
void YBComponent::onMouseWheel(UINT, int, CPoint) {}

void YBComponent::enable(bool enable, bool repaint) {
    disable(!enable, repaint);
}

void YBComponent::disable(bool disable, bool repaint) {
    const bool changed = isDisabled() != disable;
    disable ? setFlags(disabled) : clearFlags(disabled);
    if (changed) notifyAccess(EVENT_OBJECT_STATECHANGE);
    if (repaint) invalidate();
}

void YBComponent::select(bool select, bool repaint) {
    const bool changed = isSelected() != select;
    select ? setFlags(selected) : clearFlags(selected);
    if (changed) notifyAccess(EVENT_OBJECT_STATECHANGE);
    if (repaint) invalidate();
}

void YBComponent::show(bool repaint) {
    const bool changed = !isVisible();
    setFlags(visible);
    if (changed) notifyAccess(EVENT_OBJECT_SHOW);
    if (repaint) invalidate();
}

void YBComponent::hide(bool repaint) {
    const bool changed = isVisible();
    clearFlags(visible);
    if (changed) notifyAccess(EVENT_OBJECT_HIDE);
    if (repaint) invalidate();
}

// A component asked to repaint is in use while its owner lives, so the
// owner's window is noted afresh here: the host's layout asks at every
// placement, so a component made before its host's window knows that window
// from the first layout on, and one whose owner re-created its window learns
// the new handle.
void YBComponent::invalidate() {
    m_ownerWindow = m_owner ? m_owner->m_hWnd : nullptr;
    if (m_ownerWindow) ::InvalidateRect(m_ownerWindow, nullptr, TRUE);
}

namespace {

// The owner windows a registry walk repaints, each once, however many of its
// components changed; also when the walk ends with an exception, since the
// components changed until then stay changed.
class OwnerRepaints {
public:
    OwnerRepaints() = default;
    OwnerRepaints(const OwnerRepaints&) = delete;
    OwnerRepaints& operator=(const OwnerRepaints&) = delete;
    // A deleted owner destroyed its window with it, and handles of destroyed
    // windows never come back, so IsWindow tells whether the owner still shows.
    ~OwnerRepaints() {
        for (HWND window : m_windows)
            if (::IsWindow(window)) ::InvalidateRect(window, nullptr, TRUE);
    }
    void add(HWND window) {
        if (!window || (!m_windows.empty() && m_windows.back() == window)) return;
        if (std::find(m_windows.begin(), m_windows.end(), window) == m_windows.end())
            m_windows.push_back(window);
    }

private:
    std::vector<HWND> m_windows;
};

}  // namespace

template <class Change>
void YBComponent::forEachWithID(int id, Change change) {
    // Each run of steps holds the registry's read lock while it looks at the
    // components, so another thread cannot destroy one in between; a
    // component made or destroyed between two runs makes the next one throw.
    kelp::KLListIterator<YBComponent*> it(&m_componentList, false);
    const auto wanted = static_cast<unsigned int>(id);
    while (it.nextRun(kStepsPerHold, [&](YBComponent* component) {
        if (component->m_id == wanted) change(*component);
    })) {
    }
}

void YBComponent::enableAllWithID(int id, bool enable, bool repaint) {
    OwnerRepaints repaints;
    forEachWithID(id, [&](YBComponent& component) {
        const bool changed = component.isEnabled() != enable;
        enable ? component.clearFlags(disabled) : component.setFlags(disabled);
        if (changed) component.notifyAccess(EVENT_OBJECT_STATECHANGE);
        if (repaint) repaints.add(component.m_ownerWindow);
    });
}

void YBComponent::disableAllWithID(int id, bool disable) {
    OwnerRepaints repaints;
    forEachWithID(id, [&](YBComponent& component) {
        const bool changed = component.isDisabled() != disable;
        disable ? component.setFlags(disabled) : component.clearFlags(disabled);
        if (changed) component.notifyAccess(EVENT_OBJECT_STATECHANGE);
        repaints.add(component.m_ownerWindow);
    });
}
