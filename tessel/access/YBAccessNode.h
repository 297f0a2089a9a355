// One object the accessibility bridge shows: the application root, a window,
// a component, a splitter bar or a toolbar entry. A node holds identities
// only (a handle, a component's accessible id, a part's index), never pointers, so a node kept
// after its object went is harmless: every answer is read from the live
// window system and toolkit when it is asked, and alive() turns false.
//
//   auto node = YBAccessNode::fromPath("/org/a11y/atspi/accessible/c42");
//   if (node && node->alive()) say(node->name());
//   for (const YBAccessNode& child : node->children()) ...
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/platform/afx_geometry.h>
#include <tessel/platform/win_types.h>

class CWnd;
class YBComponent;
class YBComponentWnd;
class YBSplitterWnd;
class YBToolBarWnd;

class YBAccessNode {
public:
    enum class Kind { Root, Window, Component, Bar, Entry };

    // The protocol's role numbers for the roles the toolkit has.
    static constexpr std::uint32_t roleFrame = 23;
    static constexpr std::uint32_t roleLabel = 29;
    static constexpr std::uint32_t rolePanel = 39;
    static constexpr std::uint32_t rolePushButton = 43;
    static constexpr std::uint32_t roleScrollPane = 49;
    static constexpr std::uint32_t roleSeparator = 50;
    static constexpr std::uint32_t roleSplitPane = 53;
    static constexpr std::uint32_t roleToolBar = 63;
    static constexpr std::uint32_t roleApplication = 75;

    // Bit numbers of the protocol's state set.
    static constexpr int stateActive = 1;
    static constexpr int stateChecked = 4;
    static constexpr int stateEnabled = 8;
    static constexpr int stateFocusable = 11;
    static constexpr int stateFocused = 12;
    static constexpr int stateHorizontal = 14;
    static constexpr int stateSensitive = 24;
    static constexpr int stateShowing = 25;
    static constexpr int stateVertical = 29;
    static constexpr int stateVisible = 30;

    static constexpr std::string_view pathPrefix = "/org/a11y/atspi/accessible/";

    static YBAccessNode root() { return YBAccessNode(Kind::Root, nullptr, 0, 0); }
    static YBAccessNode window(HWND window) { return YBAccessNode(Kind::Window, window, 0, 0); }
    static YBAccessNode component(std::uint32_t accessibleId) {
        return YBAccessNode(Kind::Component, nullptr, accessibleId, 0);
    }
    static YBAccessNode bar(HWND splitter, int index) {
        return YBAccessNode(Kind::Bar, splitter, 0, index);
    }
    static YBAccessNode entry(HWND toolbar, int index) {
        return YBAccessNode(Kind::Entry, toolbar, 0, index);
    }
    // The node a path names: "root", "w<handle>", "c<id>", "b<handle>_<index>"
    // or "t<handle>_<index>" after the prefix, in decimal without sign or leading zeros; nothing
    // for any other path. Whether the object lives is alive()'s question.
    static std::optional<YBAccessNode> fromPath(std::string_view path);
    std::string path() const;

    Kind kind() const { return m_kind; }
    HWND windowHandle() const { return m_window; }
    std::uint32_t componentId() const { return m_componentId; }
    int partIndex() const { return m_part; }
    bool operator==(const YBAccessNode& other) const = default;

    bool alive() const;

    // The tree (YBAccessNodeTree.cpp). The root's children are the
    // process's top-level windows.
    std::optional<YBAccessNode> parent() const;
    std::vector<YBAccessNode> children() const;
    // children()[index] without listing a host's components; nothing outside the list.
    std::optional<YBAccessNode> childAt(int index) const;
    // -1 when it has no parent or is not among its children.
    int indexInParent() const;
    // The deepest showing node whose extents hold the screen point, this one
    // included; nothing when the point is outside.
    std::optional<YBAccessNode> nodeAt(CPoint screenPoint) const;

    // What it looks like (YBAccessNode.cpp).
    std::uint32_t role() const;
    std::wstring name() const;
    std::uint64_t states() const;
    // Screen coordinates; empty for the root.
    CRect screenRect() const;
    // The command identifier the application gave it; 0 when none.
    unsigned int commandId() const;

    // What it does (YBAccessNodeControls.cpp).
    bool hasAction() const;
    // The button's command, as its release sends it; false when disabled.
    bool doAction() const;
    bool grabFocus() const;
    bool hasText() const;
    std::wstring text() const;
    bool hasValue() const;
    struct Range {
        int least = 0;
        int most = 0;
        int now = 0;
    };
    Range value() const;
    // Moves a bar towards `position` as far as the panes' limits let it.
    bool setValue(double position) const;

    // A caption as drawn: a single '&' marks the mnemonic and is not shown, "&&" shows one.
    static std::wstring stripMnemonics(std::wstring_view caption);

private:
    YBAccessNode(Kind kind, HWND window, std::uint32_t componentId, int part)
        : m_kind(kind), m_window(window), m_componentId(componentId), m_part(part) {}

    CWnd* toolkitWindow() const;  // the window's object, when the toolkit made it
    // The live component and the host listing it; null when either is gone.
    YBComponent* liveComponent(YBComponentWnd** host = nullptr) const;
    YBSplitterWnd* liveSplitter() const;  // a bar's splitter while the bar exists
    YBToolBarWnd* liveToolBar() const;    // an entry's toolbar while the entry exists
    std::vector<YBAccessNode> childWindows(std::vector<YBAccessNode> first) const;

    Kind m_kind;
    HWND m_window;
    std::uint32_t m_componentId;
    int m_part;  // a bar's or an entry's index
};
