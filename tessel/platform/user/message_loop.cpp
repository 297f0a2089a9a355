// Sending, posting and retrieving messages; timers.
#include <algorithm>

#include <tessel/platform/gdi.h>
#include "user/backend.h"
#include "user/win_event_hooks.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

constexpr UINT kTimerMinimum = USER_TIMER_MINIMUM;
// Timers without a window are numbered by the system, from here up.
constexpr UINT_PTR kFirstThreadTimerId = 0x7FFF0000;

bool matches(const MSG& m, HWND filter, UINT first, UINT last) {
    if (filter && m.hwnd != filter) return false;
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}

MSG make(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowSystem& ws = WindowSystem::instance();
    return MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(ws.now()), ws.cursorPos};
}

// The next message in Win32's order: posted, quit, input, paint, timers.
bool nextMessage(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
    WindowSystem& ws = WindowSystem::instance();
    for (auto it = ws.posted.begin(); it != ws.posted.end(); ++it) {
        if (!matches(*it, filter, first, last)) continue;
        *out = *it;
        if (remove) ws.posted.erase(it);
        return true;
    }
    if (ws.quitPosted) {
        *out = make(nullptr, WM_QUIT, static_cast<WPARAM>(ws.quitCode), 0);
        if (remove) ws.quitPosted = false;
        return true;
    }
    if (nextInput(out, filter, first, last, remove)) return true;
    if (first == 0 && last == 0 ? true : (WM_PAINT >= first && WM_PAINT <= last)) {
        if (Window* w = nextToPaint(filter)) {
            *out = make(w->handle, WM_PAINT, 0, 0);
            return true;
        }
    }
    if (first == 0 && last == 0 ? true : (WM_TIMER >= first && WM_TIMER <= last)) {
        const std::uint64_t now = ws.now();
        Timer* due = nullptr;
        for (Timer& t : ws.timers) {
            if (t.due <= now && (!filter || t.window == filter) && (!due || t.due < due->due))
                due = &t;
        }
        if (due) {
            *out = make(due->window, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->procedure));
            if (remove) due->due = now + due->interval;
            return true;
        }
    }
    return false;
}

// Milliseconds until the next timer falls due, or -1 without timers.
long untilNextTimer() {
    WindowSystem& ws = WindowSystem::instance();
    if (ws.timers.empty()) return -1;
    const std::uint64_t now = ws.now();
    std::uint64_t soonest = ws.timers.front().due;
    for (const Timer& t : ws.timers)
        soonest = std::min(soonest, t.due);
    return soonest <= now ? 0 : static_cast<long>(soonest - now);
}

}  // namespace

}  // namespace tessel::ws

using namespace tessel::ws;

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    return send(windowOf(handle), message, wParam, lParam);
}

BOOL PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle && !windowOf(handle)) return FALSE;
    WindowSystem::instance().posted.push_back(make(handle, message, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    WindowSystem& ws = WindowSystem::instance();
    ws.quitPosted = true;
    ws.quitCode = exitCode;
}

BOOL PeekMessageW(LPMSG msg, HWND window, UINT first, UINT last, UINT remove) {
    if (!msg) return FALSE;
    WindowSystem& ws = WindowSystem::instance();
    ws.backend->wait(0);  // take in what the display and the watched descriptors have for us
    WinEventHooks::deliverQueued();
    return nextMessage(msg, window, first, last, (remove & PM_REMOVE) != 0);
}

BOOL GetMessageW(LPMSG msg, HWND window, UINT first, UINT last) {
    if (!msg) return -1;
    WindowSystem& ws = WindowSystem::instance();
    for (;;) {
        ws.backend->wait(0);
        WinEventHooks::deliverQueued();
        if (nextMessage(msg, window, first, last, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        // With a virtual clock time only moves when a test moves it: wait for input alone.
        ws.backend->wait(ws.virtualClock ? -1 : untilNextTimer());
    }
}

BOOL WaitMessage() {
    WindowSystem& ws = WindowSystem::instance();
    MSG m;
    for (;;) {
        WinEventHooks::deliverQueued();
        if (nextMessage(&m, nullptr, 0, 0, false)) return TRUE;
        ws.backend->wait(ws.virtualClock ? -1 : untilNextTimer());
    }
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    WindowSystem& ws = WindowSystem::instance();
    ws.messageTime = static_cast<LONG>(msg->time);
    ws.messagePos = msg->pt;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    Window* w = windowOf(msg->hwnd);
    if (!w) return 0;  // thread messages and messages to destroyed windows
    if (msg->message != WM_PAINT) return send(w, msg->message, msg->wParam, msg->lParam);
    const std::uint64_t serial = w->paintSerial;
    const HWND handle = w->handle;
    const LRESULT result = send(w, WM_PAINT, 0, 0);
    // A handler that neither painted nor validated would be asked again forever.
    if ((w = windowOf(handle)) && w->paintSerial == serial) {
        w->frameWanted = false;
        ValidateRect(handle, nullptr);
    }
    return result;
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LONG GetMessageTime() {
    return WindowSystem::instance().messageTime;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(WindowSystem::instance().now());
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    WindowSystem& ws = WindowSystem::instance();
    if (window && !windowOf(window)) return 0;
    if (!window) {
        static UINT_PTR nextId = kFirstThreadTimerId;
        if (!id) id = ++nextId;
    }
    elapse = std::max(elapse, kTimerMinimum);
    const std::uint64_t due = ws.now() + elapse;
    for (Timer& t : ws.timers) {
        if (t.window == window && t.id == id) {
            t = Timer{window, id, elapse, due, procedure};
            return id ? id : 1;
        }
    }
    ws.timers.push_back(Timer{window, id, elapse, due, procedure});
    return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto& timers = WindowSystem::instance().timers;
    const auto removed =
        std::erase_if(timers, [&](const Timer& t) { return t.window == window && t.id == id; });
    return removed > 0;
}
