// Accessibility events: what a window's life raises, and how hooks receive
// them (queued out of context, at once in context, filtered, unhooked).
#include <gtest/gtest.h>

#include <map>
#include <string>

#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_recorder.h"

namespace {

using namespace recording;
using test_support::call;

// Events as "SHOW(child,window)": the event, the window's name, the object.
Names g_events;
std::map<HWND, std::string> g_names;
std::map<HWINEVENTHOOK, std::string> g_hookNames;

std::string eventName(DWORD event) {
    static const std::map<DWORD, std::string> names = {{EVENT_SYSTEM_FOREGROUND, "FOREGROUND"},
                                                       {EVENT_OBJECT_CREATE, "CREATE"},
                                                       {EVENT_OBJECT_DESTROY, "DESTROY"},
                                                       {EVENT_OBJECT_SHOW, "SHOW"},
                                                       {EVENT_OBJECT_HIDE, "HIDE"},
                                                       {EVENT_OBJECT_REORDER, "REORDER"},
                                                       {EVENT_OBJECT_FOCUS, "FOCUS"},
                                                       {EVENT_OBJECT_STATECHANGE, "STATE"},
                                                       {EVENT_OBJECT_LOCATIONCHANGE, "LOCATION"},
                                                       {EVENT_OBJECT_NAMECHANGE, "NAME"},
                                                       {EVENT_OBJECT_VALUECHANGE, "VALUE"}};
    return names.contains(event) ? names.at(event) : std::to_string(event);
}

std::string objectName(LONG object) {
    static const std::map<LONG, std::string> names = {{OBJID_WINDOW, "window"},
                                                      {OBJID_CLIENT, "client"},
                                                      {OBJID_VSCROLL, "vscroll"},
                                                      {OBJID_HSCROLL, "hscroll"}};
    return names.contains(object) ? names.at(object) : std::to_string(object);
}

// Window events: which window, which part of it; the child id is always CHILDID_SELF.
void CALLBACK recordWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                DWORD, DWORD) {
    const auto name = g_names.find(window);
    std::string line =
        call(eventName(event).c_str(), name != g_names.end() ? name->second : std::string("?"),
             objectName(object));
    if (child != CHILDID_SELF) line.append(1, '#').append(std::to_string(child));
    g_events.push_back(std::move(line));
}

// Events raised by hand: which hook saw which child id.
void CALLBACK recordHookCall(HWINEVENTHOOK hook, DWORD, HWND, LONG, LONG child, DWORD, DWORD) {
    g_events.push_back(g_hookNames[hook] + std::to_string(child));
}

HWINEVENTHOOK g_selfRemoving = nullptr;
void CALLBACK unhookItself(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                           DWORD thread, DWORD time) {
    recordHookCall(hook, event, window, object, child, thread, time);
    EXPECT_TRUE(UnhookWinEvent(g_selfRemoving));
}

class WinEventTest : public RecorderTest {
protected:
    void SetUp() override {
        RecorderTest::SetUp();
        g_events.clear();
        g_names = {{top, "top"}};
    }
    void TearDown() override {
        for (HWINEVENTHOOK hook : m_hooks)
            UnhookWinEvent(hook);
        RecorderTest::TearDown();
        g_hookNames.clear();
    }
    HWINEVENTHOOK hook(DWORD min, DWORD max, WINEVENTPROC procedure, DWORD flags,
                       const char* name = "", DWORD process = 0, DWORD thread = 0,
                       HMODULE module = nullptr) {
        HWINEVENTHOOK h = SetWinEventHook(min, max, module, procedure, process, thread, flags);
        if (h) m_hooks.push_back(h), g_hookNames[h] = name;
        return h;
    }
    HWND named(HWND w, const char* name) {
        g_names.insert_or_assign(w, name);
        return w;
    }
    // What the out-of-context hooks get from the next message retrieval.
    static Names delivered() {
        g_events.clear();
        tessel::testing::pump();
        return g_events;
    }
    std::vector<HWINEVENTHOOK> m_hooks;
};

TEST_F(WinEventTest, AWindowsLifeIsReportedInOrderWithItsObjects) {
    hook(EVENT_MIN, EVENT_MAX, recordWindowEvent, WINEVENT_OUTOFCONTEXT);
    HWND c = named(child(10, 10, 100, 80), "child");
    named(child(5, 5, 20, 20, WS_CHILD | WS_VISIBLE, c), "inner");
    EXPECT_TRUE(g_events.empty());  // out of context: nothing before the queue is read
    EXPECT_SEQ(delivered(), {"CREATE(child,window)", "SHOW(child,window)", "CREATE(inner,window)",
                             "SHOW(inner,window)"});

    MoveWindow(c, 20, 10, 100, 80, TRUE);
    SetWindowPos(c, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(c, nullptr, 20, 10, 120, 90, SWP_NOZORDER);  // where it is: nothing to say
    EXPECT_SEQ(delivered(), {"LOCATION(child,window)", "LOCATION(child,window)"});

    SetFocus(c);  // activates the top-level window on the way
    SetFocus(c);
    EXPECT_SEQ(delivered(), {"FOREGROUND(top,window)", "FOCUS(child,client)"});

    EnableWindow(c, FALSE);
    EnableWindow(c, FALSE);  // no change, no event
    EnableWindow(c, TRUE);
    SetWindowTextW(c, L"Renamed");
    EXPECT_SEQ(delivered(), {"STATE(child,window)", "STATE(child,window)", "NAME(child,window)"});

    ShowWindow(c, SW_HIDE);
    ShowWindow(c, SW_SHOW);
    DestroyWindow(c);  // hidden first, then each window of the tree goes, parent first
    EXPECT_SEQ(delivered(), {"HIDE(child,window)", "SHOW(child,window)", "HIDE(child,window)",
                             "DESTROY(child,window)", "DESTROY(inner,window)"});
}

TEST_F(WinEventTest, ScrollPositionsAndStackingAreReportedWhenTheyChange) {
    hook(EVENT_MIN, EVENT_MAX, recordWindowEvent, WINEVENT_OUTOFCONTEXT);
    HWND a = named(child(0, 0, 100, 100, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL), "a");
    HWND b = named(child(50, 50, 100, 100), "b");
    SCROLLINFO range{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
    SetScrollInfo(a, SB_VERT, &range, TRUE);
    SetScrollInfo(a, SB_HORZ, &range, TRUE);
    delivered();

    SetScrollPos(a, SB_VERT, 40, TRUE);
    SetScrollPos(a, SB_VERT, 40, TRUE);
    SetScrollPos(a, SB_HORZ, 500, TRUE);  // kept within the range: it still moved
    SetScrollPos(a, SB_HORZ, 90, TRUE);   // the same last position
    range.nMax = 19;                      // the position must follow the shorter range
    SetScrollInfo(a, SB_VERT, &range, TRUE);
    EXPECT_SEQ(delivered(), {"VALUE(a,vscroll)", "VALUE(a,hscroll)", "VALUE(a,vscroll)"});

    SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // already there
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_SEQ(delivered(), {"REORDER(top,client)", "REORDER(top,client)"});
}

TEST_F(WinEventTest, QueuedEventsReachTheHooksStillInstalledInOrder) {
    HWINEVENTHOOK narrow =
        hook(EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE, recordHookCall, WINEVENT_OUTOFCONTEXT, "n");
    HWINEVENTHOOK wide = hook(EVENT_MIN, EVENT_MAX, recordHookCall, WINEVENT_OUTOFCONTEXT, "w");
    ASSERT_TRUE(narrow && wide);
    NotifyWinEvent(EVENT_OBJECT_SHOW, top, OBJID_CLIENT, 1);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, top, OBJID_CLIENT, 2);
    NotifyWinEvent(EVENT_OBJECT_HIDE, top, OBJID_CLIENT, 3);
    NotifyWinEvent(EVENT_OBJECT_SHOW, nullptr, OBJID_CLIENT, 9);  // no window, no event
    // Each event in turn, to the newest hook first.
    EXPECT_SEQ(delivered(), {"w1", "n1", "w2", "w3", "n3"});

    NotifyWinEvent(EVENT_OBJECT_SHOW, top, OBJID_CLIENT, 4);
    NotifyWinEvent(EVENT_OBJECT_HIDE, top, OBJID_CLIENT, 5);
    EXPECT_TRUE(UnhookWinEvent(narrow));
    EXPECT_FALSE(UnhookWinEvent(narrow));
    EXPECT_SEQ(delivered(), {"w4", "w5"});

    // A procedure that unhooks itself is called for the first of its queued events only.
    g_selfRemoving = hook(EVENT_MIN, EVENT_MAX, unhookItself, WINEVENT_OUTOFCONTEXT, "s");
    NotifyWinEvent(EVENT_OBJECT_SHOW, top, OBJID_CLIENT, 6);
    NotifyWinEvent(EVENT_OBJECT_SHOW, top, OBJID_CLIENT, 7);
    EXPECT_SEQ(delivered(), {"s6", "w6", "w7"});
}

TEST_F(WinEventTest, InContextHooksRunInsideTheCallAndFiltersHoldWithinOneThread) {
    // The process has a module of its own; in context a hook must name it.
    const auto module = reinterpret_cast<HMODULE>(&g_events);
    EXPECT_FALSE(hook(EVENT_MIN, EVENT_MAX, recordHookCall, WINEVENT_INCONTEXT));
    EXPECT_FALSE(hook(EVENT_MAX, EVENT_MIN, recordHookCall, WINEVENT_OUTOFCONTEXT));
    hook(EVENT_MIN, EVENT_MAX, recordHookCall, WINEVENT_INCONTEXT, "i", 0, 0, module);
    hook(EVENT_MIN, EVENT_MAX, recordHookCall, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS,
         "p");
    hook(EVENT_MIN, EVENT_MAX, recordHookCall, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNTHREAD, "t");
    hook(EVENT_MIN, EVENT_MAX, recordHookCall, WINEVENT_OUTOFCONTEXT, "this", GetCurrentProcessId(),
         GetCurrentThreadId());
    hook(EVENT_MIN, EVENT_MAX, recordHookCall, WINEVENT_OUTOFCONTEXT, "other", 0,
         GetCurrentThreadId() + 1);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, top, OBJID_CLIENT, 1);
    EXPECT_SEQ(g_events, {"i1"});
    EXPECT_SEQ(delivered(), {"this1"});

    g_events.clear();
    g_selfRemoving =
        hook(EVENT_MIN, EVENT_MAX, unhookItself, WINEVENT_INCONTEXT, "s", 0, 0, module);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, top, OBJID_CLIENT, 2);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, top, OBJID_CLIENT, 3);
    EXPECT_SEQ(g_events, {"s2", "i2", "i3"});
}

}  // namespace
