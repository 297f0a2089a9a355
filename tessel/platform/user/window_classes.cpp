// Window classes: registration, lookup by name or atom.
#include <cwctype>
#include <memory>
#include <string>

#include "user/window_system.h"

namespace tessel::ws {

namespace {

bool sameName(const std::wstring& a, LPCWSTR b) {
    if (!b) return false;
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return i == a.size() && b[i] == L'\0';
}

// Atoms of registered classes start at MAXINTATOM; a class "name" below
// 0x10000 is an atom (MAKEINTATOM), not a string.
constexpr ATOM kFirstClassAtom = 0xC000;
constexpr ULONG_PTR kAtomLimit = 0x10000;

bool isAtom(LPCWSTR name) {
    return reinterpret_cast<ULONG_PTR>(name) < kAtomLimit;
}

}  // namespace

std::shared_ptr<WindowClass> findClass(LPCWSTR name) {
    for (const auto& c : WindowSystem::instance().classes) {
        if (isAtom(name) ? c->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                         : sameName(c->name, name)) {
            return c;
        }
    }
    return nullptr;
}

}  // namespace tessel::ws

using namespace tessel::ws;

ATOM RegisterClassW(const WNDCLASSW* info) {
    if (!info || !info->lpszClassName || isAtom(info->lpszClassName) || !*info->lpszClassName)
        return 0;
    WindowSystem& ws = WindowSystem::instance();
    for (const auto& c : ws.classes) {
        if (sameName(c->name, info->lpszClassName) && c->instance == info->hInstance)
            return 0;  // already there
    }
    auto c = std::make_shared<WindowClass>();
    c->name = info->lpszClassName;
    c->style = info->style;
    c->procedure = info->lpfnWndProc;
    c->instance = info->hInstance;
    c->cursor = info->hCursor;
    c->background = info->hbrBackground;
    static ATOM nextAtom = kFirstClassAtom;
    c->atom = nextAtom++;
    ws.classes.push_back(c);
    return c->atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    auto& classes = WindowSystem::instance().classes;
    const auto c = findClass(className);
    if (!c) return FALSE;
    // Windows of the class keep their own reference to it.
    std::erase(classes, c);
    return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* info) {
    const auto c = findClass(className);
    if (!c || !info) return FALSE;
    *info =
        WNDCLASSW{c->style, c->procedure,   0, 0, c->instance, nullptr, c->cursor, c->background,
                  nullptr,  c->name.c_str()};
    return TRUE;
}
