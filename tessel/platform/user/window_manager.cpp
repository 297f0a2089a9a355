// The handle table, sending, relations, window longs and text.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

#include <tessel/platform/gdi.h>
#include "user/backend.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

BackendChooser& backendChooser() {
    static BackendChooser chooser = nullptr;
    return chooser;
}

Backend* startBackend() {
    const BackendChooser chooser = backendChooser();
    if (!chooser) {
        std::fputs("tessel: no display backend was named\n", stderr);
        std::abort();
    }
    return chooser();
}

}  // namespace

void setBackendChooser(BackendChooser chooser) {
    backendChooser() = chooser;
}

WindowSystem::WindowSystem() : backend(startBackend()) {
    screen = backend->screenSize();
}

WindowSystem::~WindowSystem() = default;

WindowSystem* WindowSystem::create() {
    alignas(WindowSystem) static unsigned char storage[sizeof(WindowSystem)];
    return new (storage) WindowSystem;
}

std::uint64_t WindowSystem::now() const {
    if (virtualClock) return virtualNow;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - m_start)
                                          .count());
}

HWND WindowSystem::insert(std::unique_ptr<Window> window) {
    Window* w = window.get();
    const std::uint64_t handle = m_windows.add(std::move(window));
    w->slot = HandleSlots<std::unique_ptr<Window>>::indexOf(handle);
    w->handle = reinterpret_cast<HWND>(handle);
    return w->handle;
}

void WindowSystem::retire(Window* window) {
    m_windows.retire(window->slot);
    window->dead = true;
    release(window);
}

// A dead window's memory goes once no message to it is being processed.
void WindowSystem::release(Window* window) {
    if (!window->dead || window->busy > 0) return;
    m_windows.release(window->slot);  // `window` is gone from here on
}

LRESULT send(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window || window->dead) return 0;
    struct Busy {
        Window* w;
        explicit Busy(Window* x) : w(x) { ++w->busy; }
        ~Busy() {
            if (--w->busy == 0 && w->dead) WindowSystem::instance().release(w);
        }
    } busy(window);
    const HWND handle = window->handle;
    return window->procedure ? window->procedure(handle, message, wParam, lParam)
                             : DefWindowProcW(handle, message, wParam, lParam);
}

Window* topLevelOf(Window* window) {
    while (window && window->parent)
        window = window->parent;
    return window;
}

bool reallyVisible(const Window* window) {
    for (; window; window = window->parent) {
        if (!(window->style & WS_VISIBLE)) return false;
    }
    return true;
}

}  // namespace tessel::ws

using namespace tessel::ws;

BOOL IsWindow(HWND handle) {
    return windowOf(handle) != nullptr;
}

BOOL IsWindowVisible(HWND handle) {
    Window* w = windowOf(handle);
    return w && reallyVisible(w);
}

BOOL IsWindowEnabled(HWND handle) {
    Window* w = windowOf(handle);
    return w && !(w->style & WS_DISABLED);
}

BOOL IsIconic(HWND handle) {
    Window* w = windowOf(handle);
    return w && (w->style & WS_MINIMIZE);
}

BOOL IsChild(HWND parentHandle, HWND handle) {
    Window* parent = windowOf(parentHandle);
    Window* w = windowOf(handle);
    if (!parent || !w) return FALSE;
    for (Window* p = w->parent; p; p = p->parent) {
        if (p == parent) return TRUE;
    }
    return FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable && wasDisabled) {
        w->style &= ~WS_DISABLED;
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, handle, OBJID_WINDOW, CHILDID_SELF);
        send(windowOf(handle), WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        // A disabled window loses the focus and the capture first.
        if (GetFocus() == handle) SetFocus(nullptr);
        if (GetCapture() == handle) ReleaseCapture();
        if ((w = windowOf(handle))) {
            w->style |= WS_DISABLED;
            NotifyWinEvent(EVENT_OBJECT_STATECHANGE, handle, OBJID_WINDOW, CHILDID_SELF);
            send(windowOf(handle), WM_ENABLE, FALSE, 0);
        }
    }
    return wasDisabled;
}

HWND GetParent(HWND handle) {
    Window* w = windowOf(handle);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return w->parent ? w->parent->handle : nullptr;
    return w->owner ? w->owner->handle : nullptr;  // a popup's "parent" is its owner
}

HWND GetDesktopWindow() {
    return nullptr;
}

BOOL EnumWindows(WNDENUMPROC procedure, LPARAM param) {
    if (!procedure) return FALSE;
    // The list as it stands: the procedure may create or destroy windows.
    std::vector<HWND> windows;
    for (const Window* w : WindowSystem::instance().topLevel)
        windows.push_back(w->handle);
    for (const HWND window : windows)
        if (windowOf(window) && !procedure(window, param)) return FALSE;
    return TRUE;
}

HWND SetParent(HWND handle, HWND newParentHandle) {
    WindowSystem& ws = WindowSystem::instance();
    Window* w = windowOf(handle);
    Window* newParent = windowOf(newParentHandle);
    if (!w || (newParentHandle && !newParent)) return nullptr;
    for (Window* p = newParent; p; p = p->parent) {
        if (p == w) return nullptr;  // would make a cycle
    }
    Window* old = w->parent;
    const bool visible = (w->style & WS_VISIBLE) != 0;
    if (visible) ShowWindow(handle, SW_HIDE);
    auto& from = old ? old->children : ws.topLevel;
    std::erase(from, w);
    auto& to = newParent ? newParent->children : ws.topLevel;
    to.insert(to.begin(), w);
    childrenChanged(old);
    childrenChanged(newParent);
    w->parent = newParent;
    if (newParent) {
        w->style |= WS_CHILD;
        if (w->surface) cairo_surface_destroy(w->surface), w->surface = nullptr;
    } else {
        w->style &= ~WS_CHILD;
    }
    if (visible) ShowWindow(handle, SW_SHOW);
    return old ? old->handle : nullptr;
}

HWND GetWindow(HWND handle, UINT relation) {
    WindowSystem& ws = WindowSystem::instance();
    Window* w = windowOf(handle);
    if (!w) return nullptr;
    const auto& siblings = w->parent ? w->parent->children : ws.topLevel;
    const auto at = std::find(siblings.begin(), siblings.end(), w);
    switch (relation) {
        case GW_HWNDFIRST:
            return siblings.front()->handle;
        case GW_HWNDLAST:
            return siblings.back()->handle;
        case GW_HWNDNEXT:
            return at + 1 != siblings.end() ? (*(at + 1))->handle : nullptr;
        case GW_HWNDPREV:
            return at != siblings.begin() ? (*(at - 1))->handle : nullptr;
        case GW_OWNER:
            return w->owner ? w->owner->handle : nullptr;
        case GW_CHILD:
            return w->children.empty() ? nullptr : w->children.front()->handle;
        default:
            return nullptr;
    }
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index) {
    Window* w = windowOf(handle);
    if (!w) return 0;
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->procedure);
        case GWLP_ID:
            return w->id;
        case GWLP_USERDATA:
            return w->userData();
        default:
            return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) {
    Window* w = windowOf(handle);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrW(handle, index);
    switch (index) {
        case GWL_STYLE:
            w->style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            w->exStyle = static_cast<DWORD>(value);
            break;
        case GWLP_WNDPROC:
            w->procedure = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_ID:
            w->id = value;
            break;
        case GWLP_USERDATA:
            if (value || w->extras) w->moreData().userData = value;
            break;
        default:
            return 0;
    }
    return old;
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    Window* w = windowOf(handle);
    return w && send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L""));
}

int GetWindowTextW(HWND handle, LPWSTR buffer, int size) {
    Window* w = windowOf(handle);
    if (!w || !buffer || size <= 0) return 0;
    return static_cast<int>(send(w, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer)));
}

int GetClassNameW(HWND handle, LPWSTR buffer, int size) {
    Window* w = windowOf(handle);
    if (!w || !buffer || size <= 0) return 0;
    const std::wstring& name = w->windowClass->name;
    const int length = std::min(static_cast<int>(name.size()), size - 1);
    std::copy_n(name.begin(), length, buffer);
    buffer[length] = L'\0';
    return length;
}

int GetWindowTextLengthW(HWND handle) {
    Window* w = windowOf(handle);
    return w ? static_cast<int>(send(w, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

int GetDlgCtrlID(HWND handle) {
    Window* w = windowOf(handle);
    return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}
