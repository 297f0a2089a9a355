// Turns what the window system and the toolkit report to assistive
// technology (SetWinEventHook, out of context) into the accessibility
// protocol's signals: focus, state changes, children added and removed,
// bounds, names, bar values and window activation.
//
// Invariant: at most one exists at a time (the hook procedure carries no
// context, so it finds the instance through a pointer of this class's own).
//
//   YBAccessEvents events(bus);   // hooked until destroyed
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

#include <tessel/platform/win_events.h>

#include "YBAccessNode.h"

class YBAccessBus;
class YBAccessWriter;

class YBAccessEvents {
public:
    explicit YBAccessEvents(YBAccessBus& bus);
    ~YBAccessEvents();
    YBAccessEvents(const YBAccessEvents&) = delete;
    YBAccessEvents& operator=(const YBAccessEvents&) = delete;

    bool hooked() const { return m_hook != nullptr; }
    // One event as the hook delivers it.
    void onEvent(DWORD event, HWND window, LONG idObject, LONG idChild);

private:
    static void hookProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG idObject, LONG idChild,
                         DWORD thread, DWORD time);
    std::optional<YBAccessNode> nodeFor(HWND window, LONG idObject, LONG idChild) const;

    // `reporter`: the window that raised the event.
    void childrenChanged(const YBAccessNode& node, bool added, HWND reporter);
    void focused(YBAccessNode node);
    void activated(const YBAccessNode& frame);
    void boundsChanged(const YBAccessNode& node);
    // Records the showing components under `node` as told.
    void noteShowing(const YBAccessNode& node);
    void stateChanged(const YBAccessNode& node, const char* state, bool on);

    enum class Any { Zero, Reference, Rect, Name, Value };
    // Signal `member` of Event.<kind> from `source`: (detail, detail1,
    // detail2, any data, no properties).
    void emit(const YBAccessNode& source, const char* kind, const char* member, const char* detail,
              int detail1, int detail2, Any any, const YBAccessNode* about = nullptr);

    YBAccessBus& m_bus;
    HWINEVENTHOOK m_hook = nullptr;
    std::optional<YBAccessNode> m_focused;
    std::optional<YBAccessNode> m_active;
    // By path: each node's parent when it was added, for its removal, which
    // comes when neither it nor its place can be looked at any more.
    std::unordered_map<std::string, YBAccessNode> m_parents;
    // By path: the extents last sent; of a component only while it shows.
    std::unordered_map<std::string, CRect> m_bounds;
};
