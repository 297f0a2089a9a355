// What a node does: a button's one action, focus, a label's text and a
// splitter bar's position.
#include "YBAccessNode.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <tessel/components/YBButton.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBText.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/windows/YBButtonWnd.h>
#include <tessel/windows/YBTextWnd.h>

bool YBAccessNode::hasAction() const {
    if (m_kind == Kind::Component) return dynamic_cast<YBButton*>(liveComponent()) != nullptr;
    if (m_kind == Kind::Entry) return role() == rolePushButton;
    return m_kind == Kind::Window && dynamic_cast<YBButtonWnd*>(toolkitWindow()) != nullptr;
}

bool YBAccessNode::doAction() const {
    if (auto* button = dynamic_cast<YBButton*>(liveComponent())) return button->sendCommand();
    if (YBToolBarWnd* toolbar = liveToolBar()) return toolbar->sendCommand(m_part);
    if (m_kind != Kind::Window) return false;
    if (auto* button = dynamic_cast<YBButtonWnd*>(toolkitWindow())) return button->sendCommand();
    return false;
}

bool YBAccessNode::grabFocus() const {
    YBComponentWnd* host = nullptr;
    if (YBComponent* component = liveComponent(&host)) return host->focusOn(*component);
    if (m_kind == Kind::Bar || !alive() || m_kind == Kind::Root) return false;
    if (!(states() & (std::uint64_t{1} << stateFocusable))) return false;
    // The entry first, so the toolbar's focus is told as the entry's, once.
    if (YBToolBarWnd* toolbar = liveToolBar()) toolbar->focusEntry(m_part);
    ::SetFocus(m_window);
    return (states() & (std::uint64_t{1} << stateFocused)) != 0;
}

bool YBAccessNode::hasText() const {
    if (m_kind == Kind::Component) return dynamic_cast<YBText*>(liveComponent()) != nullptr;
    return m_kind == Kind::Window && dynamic_cast<YBTextWnd*>(toolkitWindow()) != nullptr;
}

// The text as shown, which is what the name says of a label.
std::wstring YBAccessNode::text() const {
    return hasText() ? name() : std::wstring();
}

bool YBAccessNode::hasValue() const {
    return liveSplitter() != nullptr;
}

YBAccessNode::Range YBAccessNode::value() const {
    Range range;
    if (YBSplitterWnd* splitter = liveSplitter())
        splitter->barRange(m_part, range.least, range.now, range.most);
    return range;
}

bool YBAccessNode::setValue(double position) const {
    YBSplitterWnd* splitter = liveSplitter();
    if (!splitter || !std::isfinite(position)) return false;
    const Range range = value();
    const long long target = std::llround(std::clamp<double>(position, range.least, range.most));
    splitter->moveBar(m_part, target - range.now);
    return true;
}
