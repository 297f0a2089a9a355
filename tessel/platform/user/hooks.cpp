// Window hooks: the WH_CBT chain that window creation calls and the
// WH_KEYBOARD_LL chain that every key passes (input.cpp).
//
// The chain is kept apart from the window system, so that a library can
// install its hook as it loads without starting the window system (and with
// it a display backend) in a program that never shows a window.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "user/window_system.h"

namespace tessel::ws {

namespace {

struct Hook {
    HHOOK handle;
    int kind;  // WH_x
    HOOKPROC procedure;
};

// Oldest first. Never destroyed: windows may still be created while static
// objects are destroyed at exit.
std::vector<Hook>& hooks() {
    static auto* const chain = new std::vector<Hook>;
    return *chain;
}

// The hook after `from` (newest first) of the same kind; from == nullptr: the newest.
const Hook* nextHook(int kind, HHOOK from) {
    const auto& chain = hooks();
    auto it = chain.rbegin();
    if (from) {
        it = std::find_if(chain.rbegin(), chain.rend(),
                          [&](const Hook& h) { return h.handle == from; });
        if (it == chain.rend()) return nullptr;
        ++it;
    }
    it = std::find_if(it, chain.rend(), [&](const Hook& h) { return h.kind == kind; });
    return it == chain.rend() ? nullptr : &*it;
}

LRESULT callFrom(int kind, HHOOK from, int code, WPARAM wParam, LPARAM lParam) {
    const Hook* hook = nextHook(kind, from);
    return hook ? hook->procedure(code, wParam, lParam) : 0;
}

}  // namespace

LRESULT callHooks(int kind, int code, WPARAM wParam, LPARAM lParam) {
    return callFrom(kind, nullptr, code, wParam, lParam);
}

}  // namespace tessel::ws

using namespace tessel::ws;

HHOOK SetWindowsHookExW(int kind, HOOKPROC procedure, HINSTANCE, DWORD threadId) {
    if (!procedure) return nullptr;
    // The low-level hook sees the whole desktop's input: it cannot be a thread's.
    if (kind == WH_KEYBOARD_LL ? threadId != 0 : kind != WH_CBT) return nullptr;
    static std::uintptr_t lastHandle = 0;
    const auto handle = reinterpret_cast<HHOOK>(++lastHandle);
    hooks().push_back(Hook{handle, kind, procedure});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    return std::erase_if(hooks(), [&](const Hook& h) { return h.handle == hook; }) > 0;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    const auto& chain = hooks();
    const auto it =
        std::find_if(chain.begin(), chain.end(), [&](const Hook& h) { return h.handle == hook; });
    if (it == chain.end()) return 0;
    return callFrom(it->kind, hook, code, wParam, lParam);
}
