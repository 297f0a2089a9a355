// Creation and destruction of windows.
#include <algorithm>
#include <memory>
#include <vector>

#include "user/backend.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

// Step 1, parent and owner: a child needs a live parent that is not being
// destroyed; another window's "parent" is its owner, the top-level window
// above it. Overlapped windows always have a caption and clip their siblings.
bool findRelations(HWND parentHandle, DWORD& style, Window*& parent, Window*& owner) {
    if (style & WS_CHILD) {
        parent = windowOf(parentHandle);
        return parent != nullptr && !parent->destroying;
    }
    if (parentHandle && !windowOf(parentHandle)) return false;
    owner = topLevelOf(windowOf(parentHandle));
    if (!(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;
    return true;
}

// Step 2, the initial rectangle: CW_USEDEFAULT places the window near the
// top left corner and sizes it to three quarters of the screen.
void defaultPlacement(int& x, int& y, int& width, int& height) {
    constexpr int kDefaultOffset = 40;
    const SIZE screen = WindowSystem::instance().screen;
    if (x == CW_USEDEFAULT) x = y = kDefaultOffset;
    if (width == CW_USEDEFAULT) width = screen.cx * 3 / 4, height = screen.cy * 3 / 4;
    width = std::max(width, 0);
    height = std::max(height, 0);
}

// ...and, once the window exists, a sizable top-level window's size is kept
// within the tracking limits its WM_GETMINMAXINFO gives. Every window's
// rectangle stays within 16-bit coordinates, as SetWindowPos keeps it.
void limitInitialRect(Window* w, DWORD style, int& x, int& y, int& width, int& height) {
    if (!w->parent) {
        MINMAXINFO limits = defaultMinMaxInfo(w);
        send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        if (keepsTrackLimits(style, w->parent)) applyTrackLimits(limits, width, height);
    }
    limitCoordinates(x, y, width, height);
}

// The window enters the handle table and its siblings' list, topmost; it is
// not visible yet.
Window* insertWindow(std::shared_ptr<WindowClass> windowClass, const CREATESTRUCTW& cs,
                     Window* parent, Window* owner) {
    WindowSystem& ws = WindowSystem::instance();
    auto made = std::make_unique<Window>();
    Window* w = made.get();
    w->windowClass = std::move(windowClass);
    w->procedure = w->windowClass->procedure;
    w->style = static_cast<DWORD>(cs.style) & ~WS_VISIBLE;  // shown at the end of creation
    w->exStyle = cs.dwExStyle;
    w->text = cs.lpszName ? cs.lpszName : L"";
    w->id = (cs.style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(cs.hMenu) : 0;
    w->parent = parent;
    w->owner = owner;
    // Keyboard cues stay hidden until the keyboard is used; a child follows its parent.
    w->uiState = parent ? parent->uiState : static_cast<BYTE>(UISF_HIDEFOCUS | UISF_HIDEACCEL);
    ws.insert(std::move(made));
    auto& siblings = parent ? parent->children : ws.topLevel;
    siblings.insert(siblings.begin(), w);
    childrenChanged(parent);
    return w;
}

// Step 3, the creation sequence: WM_NCCREATE, the client area, WM_CREATE,
// EVENT_OBJECT_CREATE, WM_SIZE, WM_MOVE, then showing. Any handler may destroy the window; a
// refusal (FALSE from WM_NCCREATE, -1 from WM_CREATE) destroys it.
HWND runCreation(Window* w, CREATESTRUCTW& cs) {
    const HWND handle = w->handle;
    if (!send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (windowOf(handle)) destroyWindow(w, false);
        return nullptr;
    }
    if (!windowOf(handle)) return nullptr;
    recalculateClient(w);
    if (send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (windowOf(handle)) DestroyWindow(handle);
        return nullptr;
    }
    if (!windowOf(handle)) return nullptr;
    // Created from here on, before it hears of its size and place, as on Windows.
    NotifyWinEvent(EVENT_OBJECT_CREATE, handle, OBJID_WINDOW, CHILDID_SELF);
    if (!windowOf(handle)) return nullptr;
    const RECT& c = w->client;
    send(w, WM_SIZE, SIZE_RESTORED, MAKELONG(c.right - c.left, c.bottom - c.top));
    if (!windowOf(handle)) return nullptr;
    send(w, WM_MOVE, 0, MAKELONG(w->rect.left + c.left, w->rect.top + c.top));
    if (!windowOf(handle)) return nullptr;
    if (cs.style & WS_VISIBLE)
        ShowWindow(handle, (cs.style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
    return windowOf(handle) ? handle : nullptr;
}

}  // namespace

}  // namespace tessel::ws

using namespace tessel::ws;

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parentHandle, HMENU menu,
                     HINSTANCE instance, LPVOID param) {
    auto windowClass = findClass(className);
    if (!windowClass) return nullptr;
    Window* parent = nullptr;
    Window* owner = nullptr;
    if (!findRelations(parentHandle, style, parent, owner)) return nullptr;
    defaultPlacement(x, y, width, height);
    CREATESTRUCTW cs{
        param,      instance,  menu,   parentHandle, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    Window* w = insertWindow(std::move(windowClass), cs, parent, owner);
    // The creation hooks see the window before its first message.
    const HWND handle = w->handle;
    CBT_CREATEWNDW cbt{&cs, HWND_TOP};
    callHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(handle),
              reinterpret_cast<LPARAM>(&cbt));
    if (!windowOf(handle)) return nullptr;
    limitInitialRect(w, style, x, y, width, height);
    if (!windowOf(handle)) return nullptr;  // WM_GETMINMAXINFO's handler destroyed it
    w->rect = {x, y, x + width, y + height};
    cs.cx = width, cs.cy = height;
    return runCreation(w, cs);
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
    if (sendDestroy) {
        NotifyWinEvent(EVENT_OBJECT_DESTROY, handle, OBJID_WINDOW, CHILDID_SELF);
        send(w, WM_DESTROY, 0, 0);
    }
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
    childRemoved(w->parent, w);
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
