// Window rectangles, non-client metrics, moving, sizing, showing, z-order.
#include <algorithm>

#include "user/backend.h"
#include "user/metrics.h"
#include "user/region_rects.h"
#include "user/window_system.h"

namespace tessel::ws {

using namespace metrics;

RECT frameInsets(DWORD style, DWORD exStyle) {
    int border = 0;
    if (style & WS_THICKFRAME) {
        border = kThickFrame;
    } else if (style & WS_DLGFRAME) {
        border = kDialogFrame;
    } else if (style & WS_BORDER) {
        border = kBorder;
    }
    if (exStyle & WS_EX_CLIENTEDGE) border += kClientEdge;
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaption : 0;
    return {border, border + caption, border, border};
}

POINT windowOriginOnScreen(const Window* w) {
    POINT p{w->rect.left, w->rect.top};
    if (w->parent) {
        const POINT parent = clientOriginOnScreen(w->parent);
        p.x += parent.x, p.y += parent.y;
    }
    return p;
}

POINT clientOriginOnScreen(const Window* w) {
    POINT p = windowOriginOnScreen(w);
    return {p.x + w->client.left, p.y + w->client.top};
}

void recalculateClient(Window* w) {
    RECT r = w->rect;
    send(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    // The client area stays inside the window, whatever the handler said.
    const LONG width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    const LONG left = std::clamp<LONG>(r.left - w->rect.left, 0, width);
    const LONG top = std::clamp<LONG>(r.top - w->rect.top, 0, height);
    w->client = {left, top, std::clamp<LONG>(r.right - w->rect.left, left, width),
                 std::clamp<LONG>(r.bottom - w->rect.top, top, height)};
}

MINMAXINFO defaultMinMaxInfo(const Window* w) {
    const SIZE screen = WindowSystem::instance().screen;
    const RECT frame = frameInsets(w->style, w->exStyle);
    MINMAXINFO info{};
    info.ptMaxSize = {screen.cx + frame.left + frame.right, screen.cy + frame.left + frame.bottom};
    info.ptMaxPosition = {-frame.left, -frame.left};
    info.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    info.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    return info;
}

bool keepsTrackLimits(DWORD style, const Window* parent) {
    return !parent && ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD)));
}

void applyTrackLimits(const MINMAXINFO& limits, int& width, int& height, bool minimum) {
    width = std::min<int>(width, limits.ptMaxTrackSize.x);
    height = std::min<int>(height, limits.ptMaxTrackSize.y);
    if (!minimum) return;
    width = std::max<int>(width, limits.ptMinTrackSize.x);
    height = std::max<int>(height, limits.ptMinTrackSize.y);
}

void limitCoordinates(int& x, int& y, int& width, int& height) {
    x = std::clamp(x, kMinCoordinate, kMaxCoordinate);
    y = std::clamp(y, kMinCoordinate, kMaxCoordinate);
    width = std::clamp(width, 0, kMaxWindowSize);
    height = std::clamp(height, 0, kMaxWindowSize);
}

// The default WM_NCCALCSIZE: frame, caption and scroll bars come off.
void defaultClientRect(const Window* w, RECT* r) {
    const RECT frame = frameInsets(w->style, w->exStyle);
    r->left += frame.left, r->top += frame.top, r->right -= frame.right, r->bottom -= frame.bottom;
    if (w->style & WS_VSCROLL) r->right -= kScrollBar;
    if (w->style & WS_HSCROLL) r->bottom -= kScrollBar;
    r->right = std::max(r->right, r->left);
    r->bottom = std::max(r->bottom, r->top);
}

}  // namespace tessel::ws

using namespace tessel::ws;

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    Window* w = windowOf(handle);
    if (!w || !rect) return FALSE;
    const POINT origin = windowOriginOnScreen(w);
    *rect = {origin.x, origin.y, origin.x + (w->rect.right - w->rect.left),
             origin.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    Window* w = windowOf(handle);
    if (!w || !rect) return FALSE;
    if (w->style & WS_MINIMIZE) return *rect = {0, 0, 0, 0}, TRUE;
    *rect = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

BOOL ScreenToClient(HWND handle, LPPOINT point) {
    Window* w = windowOf(handle);
    if (!w || !point) return FALSE;
    const POINT origin = clientOriginOnScreen(w);
    point->x -= origin.x, point->y -= origin.y;
    return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point) {
    Window* w = windowOf(handle);
    if (!w || !point) return FALSE;
    const POINT origin = clientOriginOnScreen(w);
    point->x += origin.x, point->y += origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    Window* a = windowOf(from);
    Window* b = windowOf(to);
    if ((from && !a) || (to && !b)) return 0;
    const POINT pa = a ? clientOriginOnScreen(a) : POINT{0, 0};
    const POINT pb = b ? clientOriginOnScreen(b) : POINT{0, 0};
    const int dx = pa.x - pb.x, dy = pa.y - pb.y;
    for (UINT i = 0; points && i < count; ++i)
        points[i].x += dx, points[i].y += dy;
    return MAKELONG(dx, dy);
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (!rect) return FALSE;
    const RECT frame = frameInsets(style, exStyle);
    rect->left -= frame.left, rect->top -= frame.top, rect->right += frame.right,
        rect->bottom += frame.bottom;
    return TRUE;
}

int GetSystemMetrics(int index) {
    const SIZE screen = WindowSystem::instance().screen;
    switch (index) {
        case SM_CXSCREEN:
            return screen.cx;
        case SM_CYSCREEN:
            return screen.cy;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB:
            return kScrollBar;
        case SM_CYCAPTION:
            return kCaption;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return kBorder;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return kDialogFrame;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return kThickFrame;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return kClientEdge;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return kDoubleClickBox;
        case SM_CXMINTRACK:
            return kMinTrackWidth;
        case SM_CYMINTRACK:
            return kMinTrackHeight;
        case SM_CXMAXTRACK:
            return screen.cx + 2 * (kThickFrame + kMaxTrackPadding);
        case SM_CYMAXTRACK:
            return screen.cy + 2 * (kThickFrame + kMaxTrackPadding);
        default:
            return 0;
    }
}

namespace {

// True when the window's place among its siblings changed.
bool restack(Window* w, HWND insertAfter) {
    childrenChanged(w->parent);
    auto& siblings = w->parent ? w->parent->children : WindowSystem::instance().topLevel;
    const auto was = std::find(siblings.begin(), siblings.end(), w) - siblings.begin();
    std::erase(siblings, w);
    if (insertAfter == HWND_BOTTOM) {
        siblings.push_back(w);
    } else {
        Window* after =
            insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST
                ? nullptr
                : windowOf(insertAfter);
        auto at = after ? std::find(siblings.begin(), siblings.end(), after) : siblings.end();
        siblings.insert(at == siblings.end() ? siblings.begin() : at + 1, w);
    }
    return std::find(siblings.begin(), siblings.end(), w) - siblings.begin() != was;
}

}  // namespace

namespace tessel::ws {

namespace {

// Where a moved window's pixels can be taken along: it showed before and
// shows after, keeps its size, frame and place among its siblings, and the
// caller did not ask for a plain repaint.
bool keepsBits(const Window* w, UINT flags) {
    return w->parent && (w->style & WS_VISIBLE) &&
           !(flags & (SWP_NOCOPYBITS | SWP_NOREDRAW | SWP_FRAMECHANGED | SWP_HIDEWINDOW)) &&
           (flags & SWP_NOZORDER);
}

// a minus b as the bands a region would hold: the full width above b, the
// parts left and right of it, the full width below. Returns the count.
int subtractBox(const RECT& a, const RECT& b, RECT out[4]) {
    if (b.left >= a.right || a.left >= b.right || b.top >= a.bottom || a.top >= b.bottom) {
        out[0] = a;
        return 1;
    }
    int n = 0;
    const LONG top = std::max(a.top, b.top), bottom = std::min(a.bottom, b.bottom);
    if (b.top > a.top) out[n++] = {a.left, a.top, a.right, top};
    if (b.left > a.left) out[n++] = {a.left, top, b.left, bottom};
    if (b.right < a.right) out[n++] = {b.right, top, a.right, bottom};
    if (b.bottom < a.bottom) out[n++] = {a.left, bottom, a.right, a.bottom};
    return n;
}

// The part of `w` (surface coordinates) that shows now without pixels
// brought along: the window paints it, its frame too when it reaches there.
void paintUncovered(Window* w, cairo_region_t* uncovered) {
    const RECT box{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    const RECT client = onSurface(w, box, false);
    const RECT e = regionBox(uncovered);
    const bool frame = e.left < client.left || e.top < client.top || e.right > client.right ||
                       e.bottom > client.bottom;
    if (frame) w->frameWanted = true, markForPaint(w);
    cairo_region_translate(uncovered, -client.left, -client.top);
    invalidate(w, uncovered, true, true);
}

// moveKeepingBits where before, after and the valid part are each one
// rectangle (a window moving in the open): the same, without region arithmetic.
void moveBoxKeepingBits(Window* w, const RECT& before, const RECT& after, RECT valid, int dx,
                        int dy) {
    OffsetRect(&valid, dx, dy);
    RECT copied;
    if (!IntersectRect(&copied, &valid, &after)) copied = {0, 0, 0, 0};
    const cairo_rectangle_int_t c = cairoRect(copied);
    moveBits(topLevelOf(w), &c, IsRectEmpty(&copied) ? 0 : 1, dx, dy);
    RECT parts[4];
    if (const int n = subtractBox(after, copied, parts); n > 0) {
        cairo_rectangle_int_t rects[4];
        for (int i = 0; i < n; ++i)
            rects[i] = cairoRect(parts[i]);
        cairo_region_t* uncovered = cairo_region_create_rectangles(rects, n);
        paintUncovered(w, uncovered);
        cairo_region_destroy(uncovered);
    }
    const RECT parent = onSurface(w->parent, {0, 0, 0, 0}, false);
    for (int i = 0, n = subtractBox(before, after, parts); i < n; ++i) {
        OffsetRect(&parts[i], -parent.left, -parent.top);
        expose(w, parts[i]);
    }
}

// After a move that kept the window's bits: the valid pixels that still show
// are copied, the window paints only what they do not cover, and the parent
// (with the siblings below) only what the window no longer covers.
void moveKeepingBits(Window* w, cairo_region_t* valid, cairo_region_t* before, POINT from) {
    const RECT origin = onSurface(w, {0, 0, 0, 0}, true);
    const int dx = origin.left - from.x, dy = origin.top - from.y;
    cairo_region_t* after = visibleRegion(w, true, true);
    if (cairo_region_num_rectangles(before) == 1 && cairo_region_num_rectangles(after) == 1 &&
        cairo_region_num_rectangles(valid) == 1) {
        moveBoxKeepingBits(w, regionBox(before), regionBox(after), regionBox(valid), dx, dy);
        cairo_region_destroy(after);
        return;
    }
    cairo_region_subtract(before, after);  // what it no longer covers
    cairo_region_translate(valid, dx, dy);
    cairo_region_intersect(valid, after);
    moveBits(topLevelOf(w), valid, dx, dy);
    // What shows now without pixels brought along.
    cairo_region_subtract(after, valid);
    if (!cairo_region_is_empty(after)) paintUncovered(w, after);
    if (!cairo_region_is_empty(before)) {
        const RECT parent = onSurface(w->parent, {0, 0, 0, 0}, false);
        cairo_region_translate(before, -parent.left, -parent.top);
        expose(w, before);
    }
    cairo_region_destroy(after);
}

}  // namespace

BOOL placeWindow(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags,
                 bool quietly) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    const bool special = insertAfter == HWND_TOP || insertAfter == HWND_BOTTOM ||
                         insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST;
    if (!(flags & SWP_NOZORDER) && !special) {
        if (!windowOf(insertAfter)) return FALSE;
        if (insertAfter == handle) flags |= SWP_NOZORDER;  // after itself: where it is
    }
    WINDOWPOS pos{handle, insertAfter, x, y, width, height, flags};
    if (flags & SWP_NOMOVE) pos.x = w->rect.left, pos.y = w->rect.top;
    if (flags & SWP_NOSIZE)
        pos.cx = w->rect.right - w->rect.left, pos.cy = w->rect.bottom - w->rect.top;
    if (!(flags & SWP_NOSENDCHANGING)) {
        send(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!(w = windowOf(handle))) return FALSE;
    }
    // Whatever the handler said: negative sizes are empty, huge ones end at 16 bits.
    limitCoordinates(pos.x, pos.y, pos.cx, pos.cy);
    const RECT oldRect = w->rect;
    const RECT oldClient = w->client;
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool sameSize =
        pos.cx == oldRect.right - oldRect.left && pos.cy == oldRect.bottom - oldRect.top;
    const bool moving = pos.x != oldRect.left || pos.y != oldRect.top;
    // The valid pixels and the area the window covers, before it goes.
    cairo_region_t* valid = nullptr;
    cairo_region_t* before = nullptr;
    POINT from{0, 0};
    if (!quietly && moving && sameSize && keepsBits(w, pos.flags)) {
        before = visibleRegion(w, true, true);
        if ((valid = validArea(w, before)) != nullptr) {
            const RECT origin = onSurface(w, {0, 0, 0, 0}, true);
            from = {origin.left, origin.top};
        } else {
            cairo_region_destroy(before);
            before = nullptr;
        }
    }
    const bool reordered = !(pos.flags & SWP_NOZORDER) && restack(w, pos.hwndInsertAfter);
    w->rect = {pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    if (w->parent && w->parent->childIndex) w->parent->childIndex->moved(w, oldRect);
    const bool resized = (w->rect.right - w->rect.left != oldRect.right - oldRect.left) ||
                         (w->rect.bottom - w->rect.top != oldRect.bottom - oldRect.top);
    if (resized || (pos.flags & SWP_FRAMECHANGED)) {
        recalculateClient(w);
        if (!(w = windowOf(handle))) {
            if (valid) cairo_region_destroy(valid), cairo_region_destroy(before);
            return FALSE;
        }
    }
    if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
    const bool visible = (w->style & WS_VISIBLE) != 0;
    const bool moved = w->rect.left != oldRect.left || w->rect.top != oldRect.top;

    if (valid && visible && !resized) {
        moveKeepingBits(w, valid, before, from);
    } else if (!quietly) {
        if (!(pos.flags & SWP_NOREDRAW) && w->parent) {
            if (wasVisible && (moved || resized || !visible || !(pos.flags & SWP_NOZORDER)))
                expose(w, oldRect);
        }
        if (visible && (!wasVisible || moved || resized || (pos.flags & SWP_FRAMECHANGED) ||
                        !(pos.flags & SWP_NOZORDER))) {
            w->frameWanted = true;
            invalidate(w, nullptr, true, true);
        }
    }
    if (valid) cairo_region_destroy(valid), cairo_region_destroy(before);
    if (moved && w->parent) cropUpdate(w);
    const SIZE clientSize{w->client.right - w->client.left, w->client.bottom - w->client.top};
    if (clientSize.cx == oldClient.right - oldClient.left &&
        clientSize.cy == oldClient.bottom - oldClient.top) {
        pos.flags |= SWP_NOCLIENTSIZE;
    }
    if (w->rect.left + w->client.left == oldRect.left + oldClient.left &&
        w->rect.top + w->client.top == oldRect.top + oldClient.top) {
        pos.flags |= SWP_NOCLIENTMOVE;
    }
    pos.x = w->rect.left, pos.y = w->rect.top;
    pos.cx = w->rect.right - w->rect.left, pos.cy = w->rect.bottom - w->rect.top;
    if (visible != wasVisible) {
        NotifyWinEvent(visible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, handle, OBJID_WINDOW,
                       CHILDID_SELF);
        if (!(w = windowOf(handle))) return TRUE;
    }
    const HWND parent = w->parent ? w->parent->handle : nullptr;
    send(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if ((w = windowOf(handle)) && !w->parent) WindowSystem::instance().backend->topLevelChanged(*w);
    // A top-level window's siblings are the desktop's children, which has no handle here.
    if (reordered && parent)
        NotifyWinEvent(EVENT_OBJECT_REORDER, parent, OBJID_CLIENT, CHILDID_SELF);
    const UINT located = SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
    if (moved || resized || (pos.flags & located) != located || (pos.flags & SWP_FRAMECHANGED))
        NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, handle, OBJID_WINDOW, CHILDID_SELF);
    return TRUE;
}

}  // namespace tessel::ws

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    return placeWindow(handle, insertAfter, x, y, width, height, flags, false);
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(handle, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

namespace {

void sendSize(Window* w, WPARAM type) {
    const RECT& c = w->client;
    send(w, WM_SIZE, type,
         type == SIZE_MINIMIZED ? 0 : MAKELONG(c.right - c.left, c.bottom - c.top));
}

}  // namespace

BOOL ShowWindow(HWND handle, int command) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    auto showIfHidden = [&] {
        if (w->style & WS_VISIBLE) return true;
        send(w, WM_SHOWWINDOW, TRUE, 0);
        return (w = windowOf(handle)) &&
               SetWindowPos(handle, nullptr, 0, 0, 0, 0, kKeep | SWP_SHOWWINDOW) &&
               (w = windowOf(handle));
    };
    switch (command) {
        case SW_HIDE:
            if (!wasVisible) return FALSE;
            send(w, WM_SHOWWINDOW, FALSE, 0);
            if (windowOf(handle)) SetWindowPos(handle, nullptr, 0, 0, 0, 0, kKeep | SWP_HIDEWINDOW);
            return wasVisible;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            if (!showIfHidden()) return wasVisible;
            if (!(w->style & WS_MINIMIZE)) {
                w->style |= WS_MINIMIZE;
                w->style &= ~WS_MAXIMIZE;
                sendSize(w, SIZE_MINIMIZED);
                if ((w = windowOf(handle)) && !w->parent)
                    WindowSystem::instance().backend->topLevelChanged(*w);
            }
            return wasVisible;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            if (!showIfHidden()) return wasVisible;
            if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
                w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
                invalidate(w, nullptr, true, true);
                sendSize(w, SIZE_RESTORED);
                if ((w = windowOf(handle)) && !w->parent)
                    WindowSystem::instance().backend->topLevelChanged(*w);
            }
            return wasVisible;
        case SW_MAXIMIZE:
            if (!showIfHidden()) return wasVisible;
            if (!(w->style & WS_MAXIMIZE) && !w->parent) {
                const MINMAXINFO limits = defaultMinMaxInfo(w);
                w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
                SetWindowPos(handle, nullptr, limits.ptMaxPosition.x, limits.ptMaxPosition.y,
                             limits.ptMaxSize.x, limits.ptMaxSize.y, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return wasVisible;
        default:  // SW_SHOW, SW_SHOWNA, SW_SHOWNOACTIVATE and the rest show as they are
            showIfHidden();
            return wasVisible;
    }
}

BOOL CloseWindow(HWND handle) {
    Window* w = windowOf(handle);
    if (!w || (w->style & WS_CHILD)) return FALSE;  // only top-level windows minimise
    ShowWindow(handle, SW_MINIMIZE);
    return TRUE;
}

namespace tessel::ws {

namespace {
bool contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The topmost visible, enabled child of `w` under `p` (w's client coordinates).
Window* childAt(Window* w, POINT p, const std::vector<Window*>& skip) {
    if (ChildIndex* index = indexOf(w)) return index->childAt(*w, p, skip);
    for (Window* child : w->children) {
        if ((child->style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE && contains(child->rect, p) &&
            std::find(skip.begin(), skip.end(), child) == skip.end()) {
            return child;
        }
    }
    return nullptr;
}

// The deepest visible, enabled descendant of `w` under `p` (w's client coordinates).
Window* deepest(Window* w, POINT p, const std::vector<Window*>& skip) {
    Window* child = childAt(w, p, skip);
    if (!child) return w;
    const POINT inner{p.x - child->rect.left - child->client.left,
                      p.y - child->rect.top - child->client.top};
    const RECT& c = child->client;
    if (!contains({0, 0, c.right - c.left, c.bottom - c.top}, inner)) return child;  // its frame
    return deepest(child, inner, skip);
}
}  // namespace

Window* windowAt(POINT screen, const std::vector<Window*>& skip) {
    for (Window* top : WindowSystem::instance().topLevel) {
        if ((top->style & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE || (top->style & WS_MINIMIZE))
            continue;
        if (!contains(top->rect, screen) || std::find(skip.begin(), skip.end(), top) != skip.end())
            continue;
        const POINT origin = clientOriginOnScreen(top);
        const POINT inner{screen.x - origin.x, screen.y - origin.y};
        const RECT& c = top->client;
        if (!contains({0, 0, c.right - c.left, c.bottom - c.top}, inner)) return top;
        return deepest(top, inner, skip);
    }
    return nullptr;
}

}  // namespace tessel::ws

HWND WindowFromPoint(POINT screenPoint) {
    Window* w = windowAt(screenPoint);
    return w ? w->handle : nullptr;
}

HWND ChildWindowFromPoint(HWND parentHandle, POINT clientPoint) {
    Window* parent = windowOf(parentHandle);
    if (!parent) return nullptr;
    const RECT& c = parent->client;
    if (!(clientPoint.x >= 0 && clientPoint.y >= 0 && clientPoint.x < c.right - c.left &&
          clientPoint.y < c.bottom - c.top)) {
        return nullptr;
    }
    for (Window* child : parent->children) {
        const RECT& r = child->rect;
        if (clientPoint.x >= r.left && clientPoint.x < r.right && clientPoint.y >= r.top &&
            clientPoint.y < r.bottom) {
            return child->handle;
        }
    }
    return parentHandle;
}
