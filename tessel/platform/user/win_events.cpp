// Accessibility events: SetWinEventHook, UnhookWinEvent, NotifyWinEvent.
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>

#include <tessel/platform/win_user.h>
#include "user/win_event_hooks.h"

namespace tessel::ws {

WinEventHooks& WinEventHooks::instance() {
    static auto* const hooks = new WinEventHooks;
    return *hooks;
}

const WinEventHooks::Hook* WinEventHooks::find(HWINEVENTHOOK hook) const {
    const auto it =
        std::ranges::find_if(m_hooks, [hook](const Hook& h) { return h.handle == hook; });
    return it == m_hooks.end() ? nullptr : &*it;
}

HWINEVENTHOOK WinEventHooks::add(DWORD eventMin, DWORD eventMax, HMODULE module,
                                 WINEVENTPROC procedure, DWORD process, DWORD thread, DWORD flags) {
    if (!procedure || eventMin > eventMax) return nullptr;
    if ((flags & WINEVENT_INCONTEXT) && !module) return nullptr;  // ERROR_HOOK_NEEDS_HMOD
    const auto handle = reinterpret_cast<HWINEVENTHOOK>(++m_lastHandle);
    m_hooks.insert(m_hooks.begin(), Hook{handle, eventMin, eventMax, procedure, process, thread,
                                         flags, GetCurrentThreadId()});
    ++m_installed;
    return handle;
}

bool WinEventHooks::remove(HWINEVENTHOOK hook) {
    if (std::erase_if(m_hooks, [hook](const Hook& h) { return h.handle == hook; }) == 0)
        return false;
    --m_installed;
    std::erase_if(m_queued, [hook](const Event& e) { return e.hook == hook; });
    return true;
}

void WinEventHooks::raise(DWORD event, HWND window, LONG idObject, LONG idChild) {
    const DWORD thread = GetCurrentThreadId(), process = GetCurrentProcessId();
    const DWORD time = GetTickCount();
    std::vector<HWINEVENTHOOK> inContext;
    for (const Hook& h : m_hooks) {
        const bool wanted = event >= h.eventMin && event <= h.eventMax &&
                            (h.process == 0 || h.process == process) &&
                            (h.thread == 0 || h.thread == thread) &&
                            !(h.flags & WINEVENT_SKIPOWNPROCESS) &&
                            !((h.flags & WINEVENT_SKIPOWNTHREAD) && h.ownerThread == thread);
        if (!wanted) continue;
        if (h.flags & WINEVENT_INCONTEXT) {
            inContext.push_back(h.handle);
        } else {
            m_queued.push_back(Event{h.handle, event, window, idObject, idChild, thread, time});
        }
    }
    // Each procedure may unhook itself or others: the rest are looked up again.
    for (const HWINEVENTHOOK handle : inContext) {
        if (const Hook* h = find(handle))
            h->procedure(handle, event, window, idObject, idChild, thread, time);
    }
}

// One at a time from the front: a procedure may pump messages (delivering
// the rest itself), raise events (delivered after these) or unhook.
void WinEventHooks::deliver() {
    while (!m_queued.empty()) {
        const Event e = m_queued.front();
        m_queued.pop_front();
        if (const Hook* h = find(e.hook))
            h->procedure(e.hook, e.event, e.window, e.idObject, e.idChild, e.thread, e.time);
    }
}

}  // namespace tessel::ws

using tessel::ws::WinEventHooks;

HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module,
                              WINEVENTPROC procedure, DWORD idProcess, DWORD idThread,
                              DWORD flags) {
    return WinEventHooks::instance().add(eventMin, eventMax, module, procedure, idProcess, idThread,
                                         flags);
}

BOOL UnhookWinEvent(HWINEVENTHOOK hook) {
    return WinEventHooks::instance().remove(hook);
}

void NotifyWinEvent(DWORD event, HWND window, LONG idObject, LONG idChild) {
    if (!WinEventHooks::anyInstalled()) return;
    if (!window) return;  // ERROR_INVALID_WINDOW_HANDLE, as on Windows
    WinEventHooks::instance().raise(event, window, idObject, idChild);
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(gettid());
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}
