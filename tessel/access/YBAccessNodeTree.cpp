// The tree of nodes: top-level windows under the root, child windows under
// their parents, a host's components in layout order, a splitter's panes
// with a bar between each two.
#include "YBAccessNode.h"

#include <algorithm>

#include <tessel/components/YBComponentWnd.h>
#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/platform/afx_wnd.h>

namespace {

std::vector<HWND> windowsFrom(HWND first) {
    std::vector<HWND> windows;
    for (HWND w = first; w; w = ::GetWindow(w, GW_HWNDNEXT))
        windows.push_back(w);
    return windows;
}

bool isChildWindow(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) && ::GetParent(window);
}

}  // namespace

std::vector<YBAccessNode> YBAccessNode::childWindows(std::vector<YBAccessNode> first) const {
    // What the layout listed first, then every other child window in z-order.
    for (const HWND child : windowsFrom(::GetWindow(m_window, GW_CHILD))) {
        const YBAccessNode node = window(child);
        if (std::find(first.begin(), first.end(), node) == first.end()) first.push_back(node);
    }
    return first;
}

std::vector<YBAccessNode> YBAccessNode::children() const {
    std::vector<YBAccessNode> nodes;
    if (m_kind == Kind::Root) {
        ::EnumWindows(
            [](HWND w, LPARAM list) {
                reinterpret_cast<std::vector<YBAccessNode>*>(list)->push_back(window(w));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&nodes));
        return nodes;
    }
    if (m_kind != Kind::Window || !alive()) return nodes;
    CWnd* wnd = toolkitWindow();
    if (auto* splitter = dynamic_cast<YBSplitterWnd*>(wnd)) {
        for (int i = 0; i < splitter->getPaneCount(); ++i) {
            const YBSplitterPane* pane = splitter->getPane(i);
            const YBChildWnd* paneWnd = pane ? pane->getWnd() : nullptr;
            if (paneWnd && paneWnd->m_hWnd && ::GetParent(paneWnd->m_hWnd) == m_window)
                nodes.push_back(window(paneWnd->m_hWnd));
            if (i + 1 < splitter->getPaneCount()) nodes.push_back(bar(m_window, i));
        }
    } else if (auto* manager = dynamic_cast<YBManagerWnd*>(wnd)) {
        for (int i = 0; i < manager->getChildCount(); ++i) {
            const YBChildWnd* child = manager->getChild(i);
            if (child && child->m_hWnd && ::GetParent(child->m_hWnd) == m_window)
                nodes.push_back(window(child->m_hWnd));
        }
    } else if (auto* toolbar = dynamic_cast<YBToolBarWnd*>(wnd)) {
        for (int i = 0; i < toolbar->entryCount(); ++i)
            nodes.push_back(entry(m_window, i));
    } else if (auto* host = dynamic_cast<YBComponentWnd*>(wnd)) {
        for (int i = 0; i < host->getComponentCount(); ++i)
            if (const YBComponent* component = host->getComponent(i))
                nodes.push_back(YBAccessNode::component(component->accessibleId()));
    }
    return childWindows(std::move(nodes));
}

std::optional<YBAccessNode> YBAccessNode::parent() const {
    switch (m_kind) {
        case Kind::Root:
            return std::nullopt;
        case Kind::Window:
            if (!alive()) return std::nullopt;
            if (isChildWindow(m_window)) return window(::GetParent(m_window));
            return root();
        case Kind::Component: {
            YBComponentWnd* host = nullptr;
            if (!liveComponent(&host)) return std::nullopt;
            return window(host->m_hWnd);
        }
        case Kind::Bar:
        case Kind::Entry:
            if (!alive()) return std::nullopt;
            return window(m_window);
    }
    return std::nullopt;
}

std::optional<YBAccessNode> YBAccessNode::childAt(int index) const {
    if (index < 0) return std::nullopt;
    // A host's components lead its children: a reader asking for each in
    // turn must not pay for the whole list every time.
    if (m_kind == Kind::Window && alive())
        if (const auto* host = dynamic_cast<YBComponentWnd*>(toolkitWindow());
            host && index < host->getComponentCount())
            if (const YBComponent* inside = host->getComponent(index))
                return component(inside->accessibleId());
    const std::vector<YBAccessNode> all = children();
    if (static_cast<std::size_t>(index) >= all.size()) return std::nullopt;
    return all[static_cast<std::size_t>(index)];
}

int YBAccessNode::indexInParent() const {
    if (m_kind == Kind::Component) {
        YBComponentWnd* host = nullptr;
        const YBComponent* inside = liveComponent(&host);
        return inside ? host->indexOf(*inside) : -1;
    }
    const std::optional<YBAccessNode> up = parent();
    if (!up) return -1;
    const std::vector<YBAccessNode> siblings = up->children();
    const auto at = std::find(siblings.begin(), siblings.end(), *this);
    return at == siblings.end() ? -1 : static_cast<int>(at - siblings.begin());
}

std::optional<YBAccessNode> YBAccessNode::nodeAt(CPoint screenPoint) const {
    if (m_kind != Kind::Root && !screenRect().PtInRect(screenPoint)) return std::nullopt;
    // The topmost child first: windows are listed in z-order, top first, and
    // a component, bar or entry never overlaps a sibling.
    for (const YBAccessNode& child : children()) {
        if (!(child.states() & (std::uint64_t{1} << stateShowing))) continue;
        if (auto found = child.nodeAt(screenPoint)) return found;
    }
    if (m_kind == Kind::Root) return std::nullopt;
    return *this;
}
