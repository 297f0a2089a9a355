// The standard scroll bars: their settings, drawing and interaction.
//
// Interaction, per press on a bar part:
//   part     press                     while held                     release
//   arrow    SB_LINEUP/DOWN            repeats after 400 ms, every 50 SB_ENDSCROLL
//   track    SB_PAGEUP/DOWN            repeats while beside the thumb  SB_ENDSCROLL
//   thumb    (grab)                    SB_THUMBTRACK on each move      SB_THUMBPOSITION,
//   SB_ENDSCROLL
#include <algorithm>

#include <tessel/platform/gdi.h>
#include <tessel/platform/win_rect.h>
#include "user/metrics.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

constexpr int kBar = metrics::kScrollBar, kMinThumb = 8;
constexpr UINT_PTR kRepeatTimer = 0xFFF0;
constexpr UINT kFirstRepeat = 400, kRepeat = 50;

struct BarGeometry {
    RECT rect;       // the whole bar, window coordinates
    int length;      // along the bar
    int trackStart;  // after the first arrow
    int trackLength;
    int thumbStart;   // offset along the bar
    int thumbLength;  // 0: no thumb (nothing to scroll)
};

// 64-bit throughout: ranges may span INT_MIN..INT_MAX and pages reach 2^32 - 1.
bool scrollable(int minimum, int maximum, UINT page) {
    return minimum < static_cast<long long>(maximum) -
                         std::max<long long>(static_cast<long long>(page) - 1, 0);
}

bool scrollable(const ScrollBar& b) {
    return scrollable(b.minimum, b.maximum, b.page);
}

// Where the arrows, the track and the thumb of a standard bar (SB_VERT or
// SB_HORZ) lie: beside or below `client` (window coordinates), `barSize`
// thick, for the range, page and position in `info` (nPos: where the thumb
// shows) and the arrows disabled (ESB_ flags). A pure function.
BarGeometry barGeometry(const RECT& client, int bar, const SCROLLINFO& info, UINT disabledArrows,
                        int barSize) {
    const RECT& c = client;
    BarGeometry g{};
    g.rect = bar == SB_VERT ? RECT{c.right, c.top, c.right + barSize, c.bottom}
                            : RECT{c.left, c.bottom, c.right, c.bottom + barSize};
    g.length = bar == SB_VERT ? g.rect.bottom - g.rect.top : g.rect.right - g.rect.left;
    const int arrow = std::min(barSize, g.length / 2);
    g.trackStart = arrow;
    g.trackLength = std::max(0, g.length - 2 * arrow);
    if (!scrollable(info.nMin, info.nMax, info.nPage) || (disabledArrows == ESB_DISABLE_BOTH) ||
        g.trackLength < kMinThumb)
        return g;
    const long long range = static_cast<long long>(info.nMax) - info.nMin + 1;
    g.thumbLength = info.nPage ? static_cast<int>(std::clamp<long long>(
                                     static_cast<long long>(g.trackLength) * info.nPage / range,
                                     kMinThumb, g.trackLength))
                               : barSize;
    g.thumbLength = std::min(g.thumbLength, g.trackLength);
    const long long span = range - std::max<UINT>(info.nPage, 1);
    const long long along = std::clamp<long long>(static_cast<long long>(info.nPos) - info.nMin, 0,
                                                  std::max(span, 0LL));
    g.thumbStart =
        g.trackStart +
        (span > 0 ? static_cast<int>((g.trackLength - g.thumbLength) * along / span) : 0);
    return g;
}

// The geometry of a window's bar as it shows now: while its thumb is
// dragged, the thumb is at the track position.
BarGeometry geometry(const Window* w, int bar) {
    const ScrollBar& b = w->bar(bar);
    const auto& track = WindowSystem::instance().scrollTrack;
    const bool dragged = w->windowClass && w->handle == track.window &&
                         track.part == SB_THUMBTRACK && track.bar == bar;
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, b.minimum,
                    b.maximum,          b.page,  dragged ? b.trackPosition : b.position,
                    b.trackPosition};
    return barGeometry(w->client, bar, info, b.disabledArrows, kBar);
}

void notify(Window* w, int bar, int code, int position) {
    send(w, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKELONG(code, position), 0);
}

// Which part of the bar lies at `along` (pixels from its start).
int partAt(const BarGeometry& g, int along) {
    if (along < g.trackStart) return SB_LINEUP;
    if (along >= g.trackStart + g.trackLength) return SB_LINEDOWN;
    if (g.thumbLength == 0) return -1;
    if (along < g.thumbStart) return SB_PAGEUP;
    if (along >= g.thumbStart + g.thumbLength) return SB_PAGEDOWN;
    return SB_THUMBTRACK;
}

int alongBar(const Window* w, int bar, POINT screen) {
    const POINT origin = windowOriginOnScreen(w);
    const BarGeometry g = geometry(w, bar);
    return bar == SB_VERT ? screen.y - origin.y - g.rect.top : screen.x - origin.x - g.rect.left;
}

void repeat(HWND, UINT, UINT_PTR, DWORD) {
    WindowSystem& ws = WindowSystem::instance();
    auto& t = ws.scrollTrack;
    Window* w = windowOf(t.window);
    if (!w || t.part < 0 || t.part == SB_THUMBTRACK) return void(KillTimer(nullptr, kRepeatTimer));
    SetTimer(nullptr, kRepeatTimer, kRepeat, repeat);
    // Paging goes on only while the pointer is still on that side of the thumb.
    if (t.part == SB_PAGEUP || t.part == SB_PAGEDOWN) {
        if (partAt(geometry(w, t.bar), alongBar(w, t.bar, ws.cursorPos)) != t.part) return;
    }
    notify(w, t.bar, t.part, 0);
}

void invalidateFrame(Window* w) {
    w->frameWanted = true;
    markForPaint(w);
}

}  // namespace

void beginScrollBarTracking(Window* w, int hit, LPARAM screenPoint) {
    WindowSystem& ws = WindowSystem::instance();
    const int bar = hit == HTVSCROLL ? SB_VERT : SB_HORZ;
    const ScrollBar& b = w->bar(bar);
    if (!scrollable(b) || b.disabledArrows == ESB_DISABLE_BOTH) return;
    const BarGeometry g = geometry(w, bar);
    const int along = alongBar(w, bar, POINT{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)});
    const int part = partAt(g, along);
    if (part < 0) return;
    if ((part == SB_LINEUP && (b.disabledArrows & ESB_DISABLE_LTUP)) ||
        (part == SB_LINEDOWN && (b.disabledArrows & ESB_DISABLE_RTDN))) {
        return;
    }
    ws.scrollTrack = {w->handle, bar, part, along - g.thumbStart};
    w->barToChange(bar).trackPosition = b.position;
    if (part != SB_THUMBTRACK) {
        notify(w, bar, part, 0);
        SetTimer(nullptr, kRepeatTimer, kFirstRepeat, repeat);
    }
}

bool scrollBarTracking() {
    return WindowSystem::instance().scrollTrack.part >= 0;
}

void cancelScrollBarTracking(HWND handle) {
    auto& t = WindowSystem::instance().scrollTrack;
    if (t.part < 0 || t.window != handle) return;
    t = {};
    KillTimer(nullptr, kRepeatTimer);
}

void scrollBarPointer(UINT message) {
    WindowSystem& ws = WindowSystem::instance();
    auto& t = ws.scrollTrack;
    Window* w = windowOf(t.window);
    if (!w) return void(t = {});
    ScrollBar& b = w->barToChange(t.bar);
    if (message == WM_MOUSEMOVE && t.part == SB_THUMBTRACK) {
        const BarGeometry g = geometry(w, t.bar);
        const int room = g.trackLength - g.thumbLength;
        const long long span =
            static_cast<long long>(b.maximum) - b.minimum + 1 - std::max<UINT>(b.page, 1);
        const int offset = std::clamp(alongBar(w, t.bar, ws.cursorPos) - t.grab - g.trackStart, 0,
                                      std::max(room, 0));
        const int position =
            static_cast<int>(b.minimum + (room > 0 ? (span * offset + room / 2) / room : 0));
        if (position != b.trackPosition) {
            b.trackPosition = position;
            invalidateFrame(w);
            notify(w, t.bar, SB_THUMBTRACK, position);
        }
        return;
    }
    const bool released =
        message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    if (!released) return;
    const HWND handle = t.window;
    const int bar = t.bar, part = t.part, position = b.trackPosition;
    t = {};
    KillTimer(nullptr, kRepeatTimer);
    if (part == SB_THUMBTRACK) notify(w, bar, SB_THUMBPOSITION, position);
    if ((w = windowOf(handle))) {
        notify(w, bar, SB_ENDSCROLL, 0);
        if ((w = windowOf(handle))) invalidateFrame(w);
    }
}

void drawScrollBars(Window* w, HDC dc) {
    for (int bar : {SB_VERT, SB_HORZ}) {
        if (!(w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) continue;
        const BarGeometry g = geometry(w, bar);
        FillRect(dc, &g.rect, GetSysColorBrush(COLOR_SCROLLBAR));
        const bool vertical = bar == SB_VERT;
        auto piece = [&](int start, int length) {
            return vertical ? RECT{g.rect.left, g.rect.top + start, g.rect.right,
                                   g.rect.top + start + length}
                            : RECT{g.rect.left + start, g.rect.top, g.rect.left + start + length,
                                   g.rect.bottom};
        };
        const RECT arrows[2] = {piece(0, g.trackStart),
                                piece(g.trackStart + g.trackLength, g.trackStart)};
        for (const RECT& a : arrows) {
            FillRect(dc, &a, GetSysColorBrush(COLOR_BTNFACE));
            FrameRect(dc, &a, GetSysColorBrush(COLOR_BTNSHADOW));
        }
        if (g.thumbLength > 0) {
            const RECT thumb = piece(g.thumbStart, g.thumbLength);
            FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNSHADOW));
        }
        if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL) && vertical) {
            const RECT corner{g.rect.left, g.rect.bottom, g.rect.right, g.rect.bottom + kBar};
            FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
        }
    }
}

}  // namespace tessel::ws

using namespace tessel::ws;

BOOL ShowScrollBar(HWND handle, int bar, BOOL show) {
    Window* w = windowOf(handle);
    if (!w || bar < SB_HORZ || bar > SB_BOTH || bar == SB_CTL) return FALSE;
    DWORD bits = bar == SB_BOTH   ? (WS_HSCROLL | WS_VSCROLL)
                 : bar == SB_VERT ? WS_VSCROLL
                                  : WS_HSCROLL;
    const DWORD style = show ? (w->style | bits) : (w->style & ~bits);
    if (style == w->style) return TRUE;
    w->style = style;
    // The client area changes; the window hears of it as of any resize.
    SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

int SetScrollInfo(HWND handle, int bar, LPCSCROLLINFO info, BOOL redraw) {
    Window* w = windowOf(handle);
    if (!w || !info || (bar != SB_HORZ && bar != SB_VERT)) return 0;
    ScrollBar& b = w->barToChange(bar);
    const ScrollBar before = b;
    if (info->fMask & SIF_RANGE) {
        b.minimum = info->nMin, b.maximum = info->nMax;
        if (b.minimum > b.maximum) b.minimum = b.maximum = 0;
    }
    if (info->fMask & SIF_PAGE) b.page = info->nPage;
    const long long span = static_cast<long long>(b.maximum) - b.minimum + 1;
    if (b.page > span) b.page = static_cast<UINT>(span);
    if (info->fMask & SIF_POS) b.position = info->nPos;
    const long long top = static_cast<long long>(b.maximum) -
                          std::max<long long>(static_cast<long long>(b.page) - 1, 0);
    b.position = static_cast<int>(
        std::clamp<long long>(b.position, b.minimum, std::max<long long>(top, b.minimum)));
    b.disableNoScroll = (info->fMask & SIF_DISABLENOSCROLL) != 0;
    const bool geometryChanged =
        before.minimum != b.minimum || before.maximum != b.maximum || before.page != b.page;
    if ((info->fMask & (SIF_RANGE | SIF_PAGE)) && geometryChanged) {
        const bool wanted = scrollable(b);
        if (b.disableNoScroll) {
            b.disabledArrows = wanted ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
            ShowScrollBar(handle, bar, TRUE);
        } else {
            ShowScrollBar(handle, bar, wanted);
        }
        if (!(w = windowOf(handle))) return 0;
    }
    if (redraw) invalidateFrame(w);
    const int position = w->bar(bar).position;
    if (position != before.position)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, handle,
                       bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, CHILDID_SELF);
    return position;
}

BOOL GetScrollInfo(HWND handle, int bar, LPSCROLLINFO info) {
    Window* w = windowOf(handle);
    if (!w || !info || (bar != SB_HORZ && bar != SB_VERT)) return FALSE;
    const ScrollBar& b = w->bar(bar);
    if (info->fMask & SIF_RANGE) info->nMin = b.minimum, info->nMax = b.maximum;
    if (info->fMask & SIF_PAGE) info->nPage = b.page;
    if (info->fMask & SIF_POS) info->nPos = b.position;
    if (info->fMask & SIF_TRACKPOS) {
        const auto& t = WindowSystem::instance().scrollTrack;
        info->nTrackPos = t.window == handle && t.bar == bar && t.part == SB_THUMBTRACK
                              ? b.trackPosition
                              : b.position;
    }
    return TRUE;
}

int SetScrollPos(HWND handle, int bar, int position, BOOL redraw) {
    Window* w = windowOf(handle);
    if (!w || (bar != SB_HORZ && bar != SB_VERT)) return 0;
    const int old = w->bar(bar).position;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(handle, bar, &info, redraw);
    return old;
}

int GetScrollPos(HWND handle, int bar) {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(handle, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND handle, int bar, int minimum, int maximum, BOOL redraw) {
    SCROLLINFO info{sizeof info, SIF_RANGE, minimum, maximum, 0, 0, 0};
    return windowOf(handle) && (SetScrollInfo(handle, bar, &info, redraw), TRUE);
}

BOOL GetScrollRange(HWND handle, int bar, LPINT minimum, LPINT maximum) {
    SCROLLINFO info{sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
    if (!minimum || !maximum || !GetScrollInfo(handle, bar, &info)) return FALSE;
    *minimum = info.nMin, *maximum = info.nMax;
    return TRUE;
}

BOOL EnableScrollBar(HWND handle, UINT bars, UINT arrows) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    if (bars == SB_HORZ || bars == SB_BOTH) w->barToChange(SB_HORZ).disabledArrows = arrows;
    if (bars == SB_VERT || bars == SB_BOTH) w->barToChange(SB_VERT).disabledArrows = arrows;
    invalidateFrame(w);
    return TRUE;
}

BOOL GetScrollBarInfo(HWND handle, LONG object, PSCROLLBARINFO info) {
    Window* w = windowOf(handle);
    if (!w || !info) return FALSE;
    const int bar = object == OBJID_VSCROLL ? SB_VERT : object == OBJID_HSCROLL ? SB_HORZ : -1;
    if (bar < 0) return FALSE;  // bar controls have no standard bar to describe
    const BarGeometry g = geometry(w, bar);
    const POINT origin = windowOriginOnScreen(w);
    *info = SCROLLBARINFO{};
    info->cbSize = sizeof(SCROLLBARINFO);
    info->rcScrollBar = g.rect;
    OffsetRect(&info->rcScrollBar, origin.x, origin.y);
    info->dxyLineButton = g.trackStart;
    info->xyThumbTop = g.thumbLength ? g.thumbStart : 0;
    info->xyThumbBottom = g.thumbLength ? g.thumbStart + g.thumbLength : 0;
    const bool shown = w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL);
    if (!shown) info->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
    if (!g.thumbLength) info->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    return TRUE;
}
