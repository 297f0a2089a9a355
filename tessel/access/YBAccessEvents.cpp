#include "YBAccessEvents.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include <tessel/components/YBComponentWnd.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/platform/afx_wnd.h>

#include "YBAccessBus.h"
#include "YBAccessWriter.h"

namespace {
YBAccessEvents* theEvents = nullptr;  // see the class's invariant

bool has(const YBAccessNode& node, int state) {
    return node.states() & (std::uint64_t{1} << state);
}
}  // namespace

YBAccessEvents::YBAccessEvents(YBAccessBus& bus) : m_bus(bus) {
    if (theEvents) return;
    theEvents = this;
    m_hook =
        ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, hookProc, 0, 0, WINEVENT_OUTOFCONTEXT);
    // Components already in view count as told, so that leaving it is told too.
    if (m_hook) noteShowing(YBAccessNode::root());
}

void YBAccessEvents::noteShowing(const YBAccessNode& node) {
    for (const YBAccessNode& child : node.children()) {
        if (!has(child, YBAccessNode::stateShowing)) continue;
        if (child.kind() == YBAccessNode::Kind::Component)
            m_bounds.insert_or_assign(child.path(), child.screenRect());
        else
            noteShowing(child);
    }
}

YBAccessEvents::~YBAccessEvents() {
    if (m_hook) ::UnhookWinEvent(m_hook);
    if (theEvents == this) theEvents = nullptr;
}

void YBAccessEvents::hookProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG idObject,
                              LONG idChild, DWORD, DWORD) {
    if (theEvents && theEvents->m_hook == hook)
        theEvents->onEvent(event, window, idObject, idChild);
}

std::optional<YBAccessNode> YBAccessEvents::nodeFor(HWND window, LONG idObject,
                                                    LONG idChild) const {
    if (!window) return std::nullopt;
    if (idChild == CHILDID_SELF && (idObject == OBJID_WINDOW || idObject == OBJID_CLIENT))
        return YBAccessNode::window(window);
    if (idObject != OBJID_CLIENT) return std::nullopt;
    // A splitter's parts are its bars and a toolbar's its entries, numbered
    // from 1; a host's are components.
    const CWnd* wnd = CWnd::FromHandlePermanent(window);
    if (dynamic_cast<const YBSplitterWnd*>(wnd))
        return idChild > 0 ? std::optional(YBAccessNode::bar(window, idChild - 1)) : std::nullopt;
    if (dynamic_cast<const YBToolBarWnd*>(wnd))
        return idChild > 0 ? std::optional(YBAccessNode::entry(window, idChild - 1)) : std::nullopt;
    return YBAccessNode::component(static_cast<std::uint32_t>(idChild));
}

void YBAccessEvents::onEvent(DWORD event, HWND window, LONG idObject, LONG idChild) {
    const std::optional<YBAccessNode> node = nodeFor(window, idObject, idChild);
    if (!node) return;
    switch (event) {
        case EVENT_OBJECT_CREATE:
            childrenChanged(*node, true, window);
            break;
        case EVENT_OBJECT_DESTROY:
            childrenChanged(*node, false, window);
            break;
        case EVENT_OBJECT_SHOW:
        case EVENT_OBJECT_HIDE:
            if (!node->alive()) break;
            stateChanged(*node, "visible", has(*node, YBAccessNode::stateVisible));
            stateChanged(*node, "showing", has(*node, YBAccessNode::stateShowing));
            break;
        case EVENT_OBJECT_FOCUS:
            focused(*node);
            break;
        case EVENT_OBJECT_STATECHANGE:
            if (!node->alive()) break;
            stateChanged(*node, "enabled", has(*node, YBAccessNode::stateEnabled));
            stateChanged(*node, "sensitive", has(*node, YBAccessNode::stateSensitive));
            if (node->hasAction())
                stateChanged(*node, "checked", has(*node, YBAccessNode::stateChecked));
            // A toolbar's entries are enabled as it is.
            if (dynamic_cast<YBToolBarWnd*>(CWnd::FromHandlePermanent(window)) &&
                node->kind() == YBAccessNode::Kind::Window)
                for (const YBAccessNode& part : node->children()) {
                    if (part.kind() != YBAccessNode::Kind::Entry) continue;
                    stateChanged(part, "enabled", has(part, YBAccessNode::stateEnabled));
                    stateChanged(part, "sensitive", has(part, YBAccessNode::stateSensitive));
                }
            break;
        case EVENT_OBJECT_LOCATIONCHANGE:
            boundsChanged(*node);
            break;
        case EVENT_OBJECT_NAMECHANGE:
            if (node->alive())
                emit(*node, "Object", "PropertyChange", "accessible-name", 0, 0, Any::Name);
            break;
        case EVENT_OBJECT_VALUECHANGE:
            if (node->hasValue())
                emit(*node, "Object", "PropertyChange", "accessible-value", 0, 0, Any::Value);
            break;
        case EVENT_SYSTEM_FOREGROUND:
            activated(*node);
            break;
        default:
            break;
    }
}

void YBAccessEvents::childrenChanged(const YBAccessNode& node, bool added, HWND reporter) {
    const std::string path = node.path();
    if (added) {
        const std::optional<YBAccessNode> parent = node.parent();
        if (!parent) return;
        m_parents.insert_or_assign(path, *parent);
        emit(*parent, "Object", "ChildrenChanged", "add", node.indexInParent(), 0, Any::Reference,
             &node);
        return;
    }
    std::optional<YBAccessNode> parent;
    if (const auto known = m_parents.find(path); known != m_parents.end()) parent = known->second;
    // A part's removal names the window it was part of.
    if (!parent && node.kind() != YBAccessNode::Kind::Window && ::IsWindow(reporter))
        parent = YBAccessNode::window(reporter);
    m_parents.erase(path);
    m_bounds.erase(path);
    if (m_focused == node) m_focused.reset();
    if (m_active == node) m_active.reset();
    if (parent) emit(*parent, "Object", "ChildrenChanged", "remove", -1, 0, Any::Reference, &node);
}

void YBAccessEvents::focused(YBAccessNode node) {
    if (!node.alive()) return;
    // A host's focus is its focused component's, a toolbar's its focused
    // entry's, as the keys see it.
    if (node.kind() == YBAccessNode::Kind::Window) {
        const CWnd* wnd = CWnd::FromHandlePermanent(node.windowHandle());
        const auto* host = dynamic_cast<const YBComponentWnd*>(wnd);
        const auto* toolbar = dynamic_cast<const YBToolBarWnd*>(wnd);
        if (const YBComponent* inside = host ? host->focusedComponent() : nullptr)
            node = YBAccessNode::component(inside->accessibleId());
        else if (toolbar && toolbar->focusedEntry() >= 0)
            node = YBAccessNode::entry(node.windowHandle(), toolbar->focusedEntry());
    }
    if (m_focused == node) return;
    if (m_focused && m_focused->alive()) stateChanged(*m_focused, "focused", false);
    m_focused = node;
    emit(node, "Focus", "Focus", "", 0, 0, Any::Zero);
    stateChanged(node, "focused", true);
}

void YBAccessEvents::activated(const YBAccessNode& frame) {
    if (!frame.alive() || m_active == frame) return;
    if (m_active && m_active->alive()) {
        emit(*m_active, "Window", "Deactivate", "", 0, 0, Any::Name);
        stateChanged(*m_active, "active", false);
    }
    m_active = frame;
    emit(frame, "Window", "Activate", "", 0, 0, Any::Name);
    stateChanged(frame, "active", true);
}

void YBAccessEvents::boundsChanged(const YBAccessNode& node) {
    if (!node.alive()) return;
    const std::string path = node.path();
    const auto known = m_bounds.find(path);
    // A scroll moves every component of a host; a reader sees only those in
    // its client, so the others are told once, as they leave it.
    if (node.kind() == YBAccessNode::Kind::Component && !has(node, YBAccessNode::stateShowing)) {
        if (known == m_bounds.end()) return;
        m_bounds.erase(known);
        emit(node, "Object", "BoundsChanged", "", 0, 0, Any::Rect);
        stateChanged(node, "showing", false);
        return;
    }
    const CRect now = node.screenRect();
    const bool entered = known == m_bounds.end();
    // Layout and scrolling report each step; the reader needs only the last.
    if (!entered && known->second == now) return;
    m_bounds.insert_or_assign(path, now);
    emit(node, "Object", "BoundsChanged", "", 0, 0, Any::Rect);
    if (entered && node.kind() == YBAccessNode::Kind::Component)
        stateChanged(node, "showing", true);
}

void YBAccessEvents::stateChanged(const YBAccessNode& node, const char* state, bool on) {
    emit(node, "Object", "StateChanged", state, on ? 1 : 0, 0, Any::Zero);
}

void YBAccessEvents::emit(const YBAccessNode& source, const char* kind, const char* member,
                          const char* detail, int detail1, int detail2, Any any,
                          const YBAccessNode* about) {
    const std::string path = source.path();
    const std::string interface = std::string("org.a11y.atspi.Event.") + kind;
    YBAccessMessage signal(dbus_message_new_signal(path.c_str(), interface.c_str(), member));
    if (!signal) return;
    {
        YBAccessWriter out(signal.get());
        out.string(std::string_view(detail));
        out.int32(detail1);
        out.int32(detail2);
        switch (any) {
            case Any::Zero: {
                YBAccessWriter v(out, DBUS_TYPE_VARIANT, "i");
                v.int32(0);
                break;
            }
            case Any::Reference: {
                YBAccessWriter v(out, DBUS_TYPE_VARIANT, "(so)");
                v.reference(m_bus.uniqueName(), about ? *about : source);
                break;
            }
            case Any::Rect: {
                const CRect r = source.screenRect();
                YBAccessWriter v(out, DBUS_TYPE_VARIANT, "(iiii)");
                v.rect(
                    r.left, r.top,
                    static_cast<int>(std::clamp<long long>(0LL + r.right - r.left, 0, INT32_MAX)),
                    static_cast<int>(std::clamp<long long>(0LL + r.bottom - r.top, 0, INT32_MAX)));
                break;
            }
            case Any::Name: {
                YBAccessWriter v(out, DBUS_TYPE_VARIANT, "s");
                v.string(std::wstring_view(source.name()));
                break;
            }
            case Any::Value: {
                YBAccessWriter v(out, DBUS_TYPE_VARIANT, "d");
                v.number(source.value().now);
                break;
            }
        }
        YBAccessWriter none(out, DBUS_TYPE_ARRAY, "{sv}");
    }
    m_bus.send(std::move(signal));
}
