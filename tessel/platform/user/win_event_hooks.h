// Internal: the hooks SetWinEventHook installs and the events queued for
// the out-of-context ones (the public face is <tessel/platform/win_events.h>).
//
// Invariants:
// - m_installed counts the hooks, so that NotifyWinEvent costs one test
//   while nobody listens.
// - The queue holds one entry per out-of-context hook an event concerns, in
//   the order the events were raised. A removed hook is never called again:
//   its entries leave the queue, and delivery looks every hook up anew.
//
//   if (WinEventHooks::anyInstalled()) WinEventHooks::instance().raise(e, w, o, c);
//   WinEventHooks::deliverQueued();  // from GetMessage, PeekMessage, WaitMessage
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include <tessel/platform/win_events.h>

namespace tessel::ws {

class WinEventHooks {
public:
    // Never destroyed: windows of static objects may die, and raise events, at exit.
    static WinEventHooks& instance();
    static bool anyInstalled() { return m_installed != 0; }
    // The queued events, delivered to hooks that still exist; cheap when nothing waits.
    static void deliverQueued() {
        if (m_installed != 0) instance().deliver();
    }

    HWINEVENTHOOK add(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC procedure,
                      DWORD process, DWORD thread, DWORD flags);
    bool remove(HWINEVENTHOOK hook);
    void raise(DWORD event, HWND window, LONG idObject, LONG idChild);

private:
    WinEventHooks() = default;

    struct Hook {
        HWINEVENTHOOK handle;
        DWORD eventMin, eventMax;
        WINEVENTPROC procedure;
        DWORD process, thread;  // the sources it listens to; 0: any
        DWORD flags;
        DWORD ownerThread;  // the thread that installed it, for WINEVENT_SKIPOWNTHREAD
    };
    struct Event {
        HWINEVENTHOOK hook;
        DWORD event;
        HWND window;
        LONG idObject, idChild;
        DWORD thread, time;
    };

    const Hook* find(HWINEVENTHOOK hook) const;
    void deliver();

    static inline std::size_t m_installed = 0;
    std::vector<Hook> m_hooks;  // newest first, the order they are called in
    std::deque<Event> m_queued;
    std::uintptr_t m_lastHandle = 0;
};

}  // namespace tessel::ws
