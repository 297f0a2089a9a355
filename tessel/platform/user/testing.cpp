#include <tessel/platform/testing.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "user/window_system.h"

namespace tessel::testing {

namespace {
bool (*g_preTranslate)(MSG*) = nullptr;

[[noreturn]] void failEndlessQueue(const MSG& msg) {
    wchar_t className[64] = L"?";
    if (msg.hwnd) GetClassNameW(msg.hwnd, className, 64);
    char text[256];
    std::snprintf(text, sizeof text,
                  "tessel::testing::pump: the queue never drains; after %d messages it still "
                  "delivers message 0x%04x to window %p (class \"%ls\")",
                  kPumpLimit, msg.message, static_cast<void*>(msg.hwnd), className);
    std::fprintf(stderr, "%s\n", text);
    throw std::runtime_error(text);
}
}  // namespace

void useVirtualClock() {
    ws::WindowSystem& system = ws::WindowSystem::instance();
    if (system.virtualClock) return;
    system.virtualNow = system.now();
    system.virtualClock = true;
}

void advanceClock(unsigned milliseconds) {
    ws::WindowSystem& system = ws::WindowSystem::instance();
    useVirtualClock();
    const std::uint64_t target = system.virtualNow + milliseconds;
    for (;;) {
        pump();
        std::uint64_t next = target;
        for (const ws::Timer& t : system.timers)
            next = std::min(next, std::max(t.due, system.virtualNow));
        if (next > target || (next == target && system.virtualNow == target)) break;
        system.virtualNow = next;
        if (next == target) {
            pump();
            break;
        }
    }
    system.virtualNow = target;
}

int pump() {
    int dispatched = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the real loop
            break;
        }
        if (dispatched == kPumpLimit) failEndlessQueue(msg);
        ++dispatched;
        if (g_preTranslate && g_preTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return dispatched;
}

void setPreTranslate(bool (*preTranslate)(MSG*)) {
    g_preTranslate = preTranslate;
}

bool writePng(HWND topLevel, const char* path) {
    ws::Window* w = ws::windowOf(topLevel);
    if (!w || w->parent || !w->surface || !path) return false;
    cairo_surface_flush(w->surface);
    return cairo_surface_write_to_png(w->surface, path) == CAIRO_STATUS_SUCCESS;
}

}  // namespace tessel::testing
