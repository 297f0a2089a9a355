// Identity and looks of a node: its path, whether it lives, its role, name,
// states and extents, all read from the live windows and components.
#include "YBAccessNode.h"

#include <charconv>
#include <limits>

#include <tessel/components/YBButton.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBImageButton.h>
#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/windows/YBButtonWnd.h>
#include <tessel/windows/YBTextButtonWnd.h>
#include <tessel/windows/YBTextWnd.h>

namespace {

// A decimal without sign or leading zeros that fits `T`, and nothing after it.
template <class T>
std::optional<T> decimal(std::string_view digits) {
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    T value{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

HWND handleFrom(std::uintptr_t value) {
    return reinterpret_cast<HWND>(value);  // NOLINT: handles are integers on the wire
}

std::uintptr_t handleValue(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

bool isTopLevel(HWND window) {
    return !(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) || !::GetParent(window);
}

std::wstring windowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return text;
}

std::uint64_t bit(int state) {
    return std::uint64_t{1} << state;
}

}  // namespace

std::optional<YBAccessNode> YBAccessNode::fromPath(std::string_view path) {
    if (!path.starts_with(pathPrefix)) return std::nullopt;
    const std::string_view rest = path.substr(pathPrefix.size());
    if (rest == "root") return root();
    if (rest.size() < 2) return std::nullopt;
    const std::string_view digits = rest.substr(1);
    switch (rest[0]) {
        case 'w':
            if (const auto value = decimal<std::uintptr_t>(digits); value && *value != 0)
                return window(handleFrom(*value));
            return std::nullopt;
        case 'c':
            if (const auto value = decimal<std::uint32_t>(digits); value && *value != 0)
                return component(*value);
            return std::nullopt;
        case 'b':
        case 't': {
            const std::size_t underscore = digits.find('_');
            if (underscore == std::string_view::npos) return std::nullopt;
            const auto value = decimal<std::uintptr_t>(digits.substr(0, underscore));
            const auto index = decimal<int>(digits.substr(underscore + 1));
            if (!value || *value == 0 || !index) return std::nullopt;
            return rest[0] == 'b' ? bar(handleFrom(*value), *index)
                                  : entry(handleFrom(*value), *index);
        }
        default:
            return std::nullopt;
    }
}

std::string YBAccessNode::path() const {
    std::string path(pathPrefix);
    switch (m_kind) {
        case Kind::Root:
            return path + "root";
        case Kind::Window:
            return path + "w" + std::to_string(handleValue(m_window));
        case Kind::Component:
            return path + "c" + std::to_string(m_componentId);
        case Kind::Bar:
            return path + "b" + std::to_string(handleValue(m_window)) + "_" +
                   std::to_string(m_part);
        case Kind::Entry:
            return path + "t" + std::to_string(handleValue(m_window)) + "_" +
                   std::to_string(m_part);
    }
    return path;
}

CWnd* YBAccessNode::toolkitWindow() const {
    return m_window && ::IsWindow(m_window) ? CWnd::FromHandlePermanent(m_window) : nullptr;
}

YBComponent* YBAccessNode::liveComponent(YBComponentWnd** hostOut) const {
    if (m_kind != Kind::Component) return nullptr;
    YBComponent* component = YBComponent::findAccessible(m_componentId);
    if (!component) return nullptr;
    // Only a host whose window lives and that still lists the component shows it.
    YBComponentWnd* host = component->host();
    if (!host || !host->m_hWnd || !::IsWindow(host->m_hWnd) ||
        CWnd::FromHandlePermanent(host->m_hWnd) != host)
        return nullptr;
    if (host->indexOf(*component) < 0) return nullptr;
    if (hostOut) *hostOut = host;
    return component;
}

YBSplitterWnd* YBAccessNode::liveSplitter() const {
    if (m_kind != Kind::Bar) return nullptr;
    auto* splitter = dynamic_cast<YBSplitterWnd*>(toolkitWindow());
    if (!splitter || m_part < 0 || m_part >= splitter->getPaneCount() - 1) return nullptr;
    return splitter;
}

YBToolBarWnd* YBAccessNode::liveToolBar() const {
    if (m_kind != Kind::Entry) return nullptr;
    auto* toolbar = dynamic_cast<YBToolBarWnd*>(toolkitWindow());
    return toolbar && toolbar->entry(m_part) ? toolbar : nullptr;
}

bool YBAccessNode::alive() const {
    switch (m_kind) {
        case Kind::Root:
            return true;
        case Kind::Window:
            return m_window && ::IsWindow(m_window);
        case Kind::Component:
            return liveComponent() != nullptr;
        case Kind::Bar:
            return liveSplitter() != nullptr;
        case Kind::Entry:
            return liveToolBar() != nullptr;
    }
    return false;
}

std::uint32_t YBAccessNode::role() const {
    switch (m_kind) {
        case Kind::Root:
            return roleApplication;
        case Kind::Bar:
            return roleSeparator;
        case Kind::Entry: {
            const YBToolBarWnd* toolbar = liveToolBar();
            return toolbar && !toolbar->entry(m_part)->m_separator ? rolePushButton : roleSeparator;
        }
        case Kind::Component: {
            const YBComponent* component = liveComponent();
            if (dynamic_cast<const YBButton*>(component)) return rolePushButton;
            if (dynamic_cast<const YBText*>(component)) return roleLabel;
            return rolePanel;
        }
        case Kind::Window:
            break;
    }
    if (!alive()) return rolePanel;
    if (isTopLevel(m_window)) return roleFrame;
    const CWnd* wnd = toolkitWindow();
    if (dynamic_cast<const YBSplitterWnd*>(wnd)) return roleSplitPane;
    if (dynamic_cast<const YBManagerWnd*>(wnd)) return roleScrollPane;
    if (dynamic_cast<const YBToolBarWnd*>(wnd)) return roleToolBar;
    if (dynamic_cast<const YBButtonWnd*>(wnd)) return rolePushButton;
    if (dynamic_cast<const YBTextWnd*>(wnd)) return roleLabel;
    if (dynamic_cast<const YBComponentWnd*>(wnd)) {
        const auto style = ::GetWindowLongPtrW(m_window, GWL_STYLE);
        return style & (WS_HSCROLL | WS_VSCROLL) ? roleScrollPane : rolePanel;
    }
    return rolePanel;
}

std::wstring YBAccessNode::stripMnemonics(std::wstring_view caption) {
    std::wstring shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != L'&') {
            shown += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == L'&') {
            shown += L'&';
            ++i;
        }
    }
    return shown;
}

std::wstring YBAccessNode::name() const {
    if (m_kind == Kind::Root || m_kind == Kind::Bar) return {};
    if (m_kind == Kind::Entry) {
        const YBToolBarWnd* toolbar = liveToolBar();
        return toolbar ? stripMnemonics(toolbar->entry(m_part)->m_text.str()) : std::wstring();
    }
    if (m_kind == Kind::Component) {
        const YBComponent* component = liveComponent();
        if (const auto* button = dynamic_cast<const YBTextButton*>(component))
            return stripMnemonics(button->getText().str());
        if (const auto* image = dynamic_cast<const YBImageButton*>(component))
            return stripMnemonics(image->getButtonText().str());
        if (const auto* label = dynamic_cast<const YBText*>(component))
            return label->style() & DT_NOPREFIX ? label->text().str()
                                                : stripMnemonics(label->text().str());
        return {};
    }
    if (!alive()) return {};
    std::wstring text = windowText(m_window);
    if (text.empty()) {
        const CWnd* wnd = toolkitWindow();
        if (const auto* button = dynamic_cast<const YBTextButtonWnd*>(wnd))
            text = button->getText().str();
        else if (const auto* label = dynamic_cast<const YBTextWnd*>(wnd))
            text = label->text().str();
    }
    return stripMnemonics(text);
}

unsigned int YBAccessNode::commandId() const {
    if (const YBComponent* component = liveComponent()) return component->id();
    if (const YBToolBarWnd* toolbar = liveToolBar()) return toolbar->entry(m_part)->m_id;
    if (m_kind != Kind::Window) return 0;
    if (const auto* button = dynamic_cast<const YBButtonWnd*>(toolkitWindow())) return button->id();
    if (!alive() || isTopLevel(m_window)) return 0;
    const int id = ::GetDlgCtrlID(m_window);
    return id > 0 ? static_cast<unsigned int>(id) : 0;
}

CRect YBAccessNode::screenRect() const {
    CRect r(0, 0, 0, 0);
    switch (m_kind) {
        case Kind::Root:
            break;
        case Kind::Window:
            if (alive()) ::GetWindowRect(m_window, &r);
            break;
        case Kind::Component: {
            YBComponentWnd* host = nullptr;
            if (const YBComponent* component = liveComponent(&host)) {
                r = component->rect();
                CPoint origin(0, 0);
                ::ClientToScreen(host->m_hWnd, &origin);
                r.OffsetRect(origin.x, origin.y);
            }
            break;
        }
        case Kind::Bar:
            if (YBSplitterWnd* splitter = liveSplitter()) {
                r = splitter->getBar(m_part)->m_rect;
                CPoint origin(0, 0);
                ::ClientToScreen(m_window, &origin);
                r.OffsetRect(origin.x, origin.y);
            }
            break;
        case Kind::Entry:
            if (const YBToolBarWnd* toolbar = liveToolBar()) {
                r = toolbar->entry(m_part)->m_rect;
                CPoint origin(0, 0);
                ::ClientToScreen(m_window, &origin);
                r.OffsetRect(origin.x, origin.y);
            }
            break;
    }
    return r;
}

std::uint64_t YBAccessNode::states() const {
    std::uint64_t set = 0;
    switch (m_kind) {
        case Kind::Root:
            return set;
        case Kind::Window: {
            if (!alive()) return set;
            const CWnd* wnd = toolkitWindow();
            const auto* button = dynamic_cast<const YBButtonWnd*>(wnd);
            const bool enabled = ::IsWindowEnabled(m_window) && !(button && button->isDisabled());
            if (enabled) set |= bit(stateEnabled) | bit(stateSensitive);
            if (::GetWindowLongPtrW(m_window, GWL_STYLE) & WS_VISIBLE) set |= bit(stateVisible);
            if (::IsWindowVisible(m_window) && !::IsIconic(m_window)) set |= bit(stateShowing);
            const auto* item = dynamic_cast<const YBKeyboardItem*>(wnd);
            if ((item && (item->keyboardStyle() & WS_TABSTOP)) ||
                (::GetWindowLongPtrW(m_window, GWL_STYLE) & WS_TABSTOP) || button)
                set |= bit(stateFocusable);
            const auto* host = dynamic_cast<const YBComponentWnd*>(wnd);
            const auto* toolbar = dynamic_cast<const YBToolBarWnd*>(wnd);
            // A host with a focused component, or a toolbar with a focused
            // entry, passes the focus on to it.
            if (::GetFocus() == m_window && !(host && host->focusedComponent()) &&
                !(toolbar && toolbar->focusedEntry() >= 0))
                set |= bit(stateFocused);
            if (button && button->isSelected()) set |= bit(stateChecked);
            if (isTopLevel(m_window) && ::GetActiveWindow() == m_window) set |= bit(stateActive);
            return set;
        }
        case Kind::Component: {
            YBComponentWnd* host = nullptr;
            const YBComponent* component = liveComponent(&host);
            if (!component) return set;
            if (component->isEnabled() && ::IsWindowEnabled(host->m_hWnd))
                set |= bit(stateEnabled) | bit(stateSensitive);
            if (component->isVisible()) set |= bit(stateVisible);
            CRect client;
            ::GetClientRect(host->m_hWnd, &client);
            const CRect r = component->rect();
            CRect shown;
            if (component->isVisible() && ::IsWindowVisible(host->m_hWnd) &&
                shown.IntersectRect(&client, &r))
                set |= bit(stateShowing);
            if (const auto* button = dynamic_cast<const YBButton*>(component)) {
                set |= bit(stateFocusable);
                if (button->isSelected()) set |= bit(stateChecked);
                if (host->focusedComponent() == component && ::GetFocus() == host->m_hWnd)
                    set |= bit(stateFocused);
            }
            return set;
        }
        case Kind::Bar: {
            const YBSplitterWnd* splitter = liveSplitter();
            if (!splitter) return set;
            if (::IsWindowEnabled(m_window)) set |= bit(stateEnabled) | bit(stateSensitive);
            if (::GetWindowLongPtrW(m_window, GWL_STYLE) & WS_VISIBLE) set |= bit(stateVisible);
            if (::IsWindowVisible(m_window)) set |= bit(stateShowing);
            set |= bit(stateFocusable);
            if (splitter->focusedBar() == m_part) set |= bit(stateFocused);
            // A bar between side-by-side panes is a vertical line.
            set |= bit(splitter->isVerticalSplit() ? stateHorizontal : stateVertical);
            return set;
        }
        case Kind::Entry: {
            const YBToolBarWnd* toolbar = liveToolBar();
            if (!toolbar) return set;
            if (::IsWindowEnabled(m_window)) set |= bit(stateEnabled) | bit(stateSensitive);
            if (::GetWindowLongPtrW(m_window, GWL_STYLE) & WS_VISIBLE) set |= bit(stateVisible);
            CRect client, shown;
            ::GetClientRect(m_window, &client);
            const CRect r = toolbar->entry(m_part)->m_rect;
            if (::IsWindowVisible(m_window) && shown.IntersectRect(&client, &r))
                set |= bit(stateShowing);
            if (toolbar->entry(m_part)->m_separator) return set;
            set |= bit(stateFocusable);
            if (::GetFocus() == m_window && toolbar->focusedEntry() == m_part)
                set |= bit(stateFocused);
            return set;
        }
    }
    return set;
}
