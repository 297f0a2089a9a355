// Window classes, the handle table, creation and destruction, relations.
#include <algorithm>
#include <cwctype>
#include <new>

#include "backends/backend.h"
#include <tessel/platform/gdi.h>
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

bool isAtom(LPCWSTR name) {
    return reinterpret_cast<ULONG_PTR>(name) < 0x10000;
}

}  // namespace

WindowSystem::WindowSystem() : backend(chooseBackend()) {
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
    static ATOM nextAtom = 0xC000;
    c->atom = nextAtom++;
    ws.classes.push_back(c);
    return c->atom;
}

namespace {
std::shared_ptr<WindowClass> findClass(LPCWSTR name) {
    for (const auto& c : WindowSystem::instance().classes) {
        if (isAtom(name) ? c->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                         : sameName(c->name, name)) {
            return c;
        }
    }
    return nullptr;
}
}  // namespace

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

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parentHandle, HMENU menu,
                     HINSTANCE instance, LPVOID param) {
    WindowSystem& ws = WindowSystem::instance();
    auto windowClass = findClass(className);
    if (!windowClass) return nullptr;
    Window* parent = nullptr;
    Window* owner = nullptr;
    if (style & WS_CHILD) {
        parent = windowOf(parentHandle);
        if (!parent) return nullptr;  // a child needs a parent
    } else {
        if (parentHandle && !windowOf(parentHandle)) return nullptr;
        owner = topLevelOf(windowOf(parentHandle));
        // Overlapped windows always have a caption and clip their siblings.
        if (!(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;
    }
    constexpr int kUseDefault = static_cast<int>(0x80000000);
    if (x == kUseDefault) x = y = 40;
    if (width == kUseDefault) width = ws.screen.cx * 3 / 4, height = ws.screen.cy * 3 / 4;
    width = std::max(width, 0);
    height = std::max(height, 0);

    auto made = std::make_unique<Window>();
    Window* w = made.get();
    w->windowClass = windowClass;
    w->procedure = windowClass->procedure;
    w->style = style & ~WS_VISIBLE;  // shown below, once it exists
    w->exStyle = exStyle;
    w->text = windowName ? windowName : L"";
    w->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
    w->parent = parent;
    w->owner = owner;
    ws.insert(std::move(made));
    auto& siblings = parent ? parent->children : ws.topLevel;
    siblings.insert(siblings.begin(), w);
    childrenChanged(parent);
    if (ws.creationHook) {
        const HWND created = w->handle;
        ws.creationHook(created);
        if (!windowOf(created)) return nullptr;
    }

    if (!parent) {
        MINMAXINFO limits = tessel::ws::defaultMinMaxInfo(w);
        send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
            width = std::clamp<int>(width, limits.ptMinTrackSize.x,
                                    std::max(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x));
            height = std::clamp<int>(height, limits.ptMinTrackSize.y,
                                     std::max(limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y));
        }
    }
    w->rect = {x, y, x + width, y + height};
    w->restoredRect = w->rect;

    CREATESTRUCTW cs{
        param,      instance,  menu,   parentHandle, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    const HWND handle = w->handle;
    if (!send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (windowOf(handle)) tessel::ws::destroyWindow(w, false);
        return nullptr;
    }
    if (!windowOf(handle)) return nullptr;
    tessel::ws::recalculateClient(w);
    if (send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (windowOf(handle)) DestroyWindow(handle);
        return nullptr;
    }
    if (!windowOf(handle)) return nullptr;
    const RECT& c = w->client;
    send(w, WM_SIZE, SIZE_RESTORED, MAKELONG(c.right - c.left, c.bottom - c.top));
    if (!windowOf(handle)) return nullptr;
    send(w, WM_MOVE, 0, MAKELONG(w->rect.left + c.left, w->rect.top + c.top));
    if (!windowOf(handle)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(handle, (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
    return windowOf(handle) ? handle : nullptr;
}

namespace tessel::ws {

void destroyWindow(Window* w, bool sendDestroy) {
    WindowSystem& ws = WindowSystem::instance();
    w->destroying = true;
    const HWND handle = w->handle;
    // Owned top-level windows go first.
    std::vector<HWND> owned;
    for (Window* t : ws.topLevel) {
        if (t->owner == w) owned.push_back(t->handle);
    }
    for (HWND o : owned)
        DestroyWindow(o);
    releaseInputState(w);
    if (sendDestroy) send(w, WM_DESTROY, 0, 0);
    // The children leave the list at once (each unlinking itself would cost a
    // scan per child); handles, not pointers, since a child's handler may
    // destroy its siblings.
    std::vector<HWND> children;
    children.reserve(w->children.size());
    for (Window* child : w->children)
        children.push_back(child->handle);
    w->children.clear();
    w->childIndex.reset();
    for (HWND h : children) {
        Window* child = windowOf(h);
        if (!child) continue;
        if (!child->destroying) {
            destroyWindow(child, true);
        } else {
            child->parent =
                nullptr;  // being destroyed further up the stack: it must not reach back here
        }
    }
    send(w, WM_NCDESTROY, 0, 0);
    std::erase_if(ws.timers, [&](const Timer& t) { return t.window == handle; });
    auto& siblings = w->parent ? w->parent->children : ws.topLevel;
    std::erase(siblings, w);
    childrenChanged(w->parent);
    for (Window* t : ws.topLevel) {
        if (t->owner == w) t->owner = nullptr;
    }
    if (!w->parent) ws.backend->topLevelDestroyed(*w);
    forgetPaint(w);
    ws.retire(w);
}

}  // namespace tessel::ws

BOOL DestroyWindow(HWND handle) {
    Window* w = windowOf(handle);
    if (!w || w->destroying) return FALSE;
    if (w->style & WS_VISIBLE) {
        SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        w = windowOf(handle);
        if (!w || w->destroying) return w ? FALSE : TRUE;
    }
    tessel::ws::destroyWindow(w, true);
    return TRUE;
}

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
        send(w, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        // A disabled window loses the focus and the capture first.
        if (GetFocus() == handle) SetFocus(nullptr);
        if (GetCapture() == handle) ReleaseCapture();
        if ((w = windowOf(handle))) {
            w->style |= WS_DISABLED;
            send(w, WM_ENABLE, FALSE, 0);
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
            return w->userData;
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
            w->userData = value;
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
