// The Win32 user-interface calls, messages and structures: windows and
// their classes, the message queue, painting, input, scroll bars, timers.
// Handles may be stale or null: every call then fails quietly.
#pragma once

#include <tessel/platform/win_types.h>
#include <tessel/platform/win_user_constants.h>

// ---- structures -------------------------------------------------------------
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};
using WNDCLASS = WNDCLASSW;

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};
using CREATESTRUCT = CREATESTRUCTW;
using LPCREATESTRUCT = CREATESTRUCTW*;

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};
using LPTRACKMOUSEEVENT = TRACKMOUSEEVENT*;

struct MOUSEINPUT {
    LONG dx;
    LONG dy;
    DWORD mouseData;
    DWORD dwFlags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
};
struct KEYBDINPUT {
    WORD wVk;
    WORD wScan;
    DWORD dwFlags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
};
struct INPUT {
    DWORD type;
    union {
        MOUSEINPUT mi;
        KEYBDINPUT ki;
    };
};
using LPINPUT = INPUT*;

// ---- calls -----------------------------------------------------------------
// Classes and windows
ATOM RegisterClassW(const WNDCLASSW* windowClass);
#define RegisterClass RegisterClassW
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* windowClass);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
#define CreateWindowEx CreateWindowExW
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsWindowEnabled(HWND window);
BOOL IsIconic(HWND window);
BOOL IsChild(HWND parent, HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL CloseWindow(HWND window);
HWND GetParent(HWND window);
HWND SetParent(HWND window, HWND newParent);
HWND GetWindow(HWND window, UINT relation);
HWND GetDesktopWindow();
using WNDENUMPROC = BOOL (*)(HWND window, LPARAM param);
// Every top-level window, topmost first, until the procedure returns FALSE;
// windows it destroys before their turn are skipped.
BOOL EnumWindows(WNDENUMPROC procedure, LPARAM param);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_WNDPROC (-4)
#define GWLP_ID (-12)
#define GWLP_USERDATA (-21)
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextW(HWND window, LPWSTR buffer, int size);
// The class name, truncated to size - 1 characters; the number copied.
int GetClassNameW(HWND window, LPWSTR buffer, int size);
int GetWindowTextLengthW(HWND window);
int GetDlgCtrlID(HWND window);

// Geometry
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
// Several windows placed in one go: each DeferWindowPos returns the handle to
// use from then on (null when it failed, and the batch is then dropped).
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP batch, HWND window, HWND insertAfter, int x, int y, int width, int height,
                    UINT flags);
BOOL EndDeferWindowPos(HDWP batch);
BOOL ScreenToClient(HWND window, LPPOINT point);
BOOL ClientToScreen(HWND window, LPPOINT point);
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
HWND WindowFromPoint(POINT screenPoint);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);
int GetSystemMetrics(int index);

// Messages
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define SendMessage SendMessageW
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define PostMessage PostMessageW
void PostQuitMessage(int exitCode);
BOOL GetMessageW(LPMSG msg, HWND window, UINT first, UINT last);
#define GetMessage GetMessageW
BOOL PeekMessageW(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
#define PeekMessage PeekMessageW
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
#define DispatchMessage DispatchMessageW
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define DefWindowProc DefWindowProcW
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WaitMessage();
LONG GetMessageTime();
DWORD GetTickCount();
// The calling thread and process, as the hooks' thread and process filters name them.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// Painting
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// Moves the client's pixels (and with SW_SCROLLCHILDREN the child windows) by
// (dx, dy); what is uncovered is returned and, with SW_INVALIDATE, invalidated.
int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   LPRECT updateRect, UINT flags);
BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip);
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// Input
UINT SendInput(UINT count, LPINPUT inputs, int size);
BOOL SetCursorPos(int x, int y);
BOOL GetCursorPos(LPPOINT point);
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND window);
HWND GetFocus();
HWND GetActiveWindow();
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);
SHORT GetKeyState(int key);
SHORT GetAsyncKeyState(int key);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
#define LoadCursor LoadCursorW
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
UINT GetDoubleClickTime();

// Scroll bars
int SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, LPINT minimum, LPINT maximum);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);
BOOL EnableScrollBar(HWND window, UINT bars, UINT arrows);

#define OBJID_HSCROLL ((LONG)0xFFFFFFFA)
#define OBJID_VSCROLL ((LONG)0xFFFFFFFB)
#define STATE_SYSTEM_UNAVAILABLE 0x00000001
#define STATE_SYSTEM_INVISIBLE 0x00008000
struct SCROLLBARINFO {
    DWORD cbSize;
    RECT rcScrollBar;  // screen coordinates
    int dxyLineButton;
    int xyThumbTop;  // from the bar's top (or left) edge
    int xyThumbBottom;
    int reserved;
    DWORD rgstate[6];
};
using PSCROLLBARINFO = SCROLLBARINFO*;
// Where a window's standard bar and its thumb are (OBJID_VSCROLL or OBJID_HSCROLL).
BOOL GetScrollBarInfo(HWND window, LONG object, PSCROLLBARINFO info);

// Hooks. Of the computer-based-training hook only window creation is called:
// HCBT_CREATEWND comes with the new window's handle and a CBT_CREATEWNDW,
// after the window exists and before its first message, so that a framework
// can bind its object to the window there (MFC's way). Hooks run newest
// first, each passing on with CallNextHookEx; a hook's answer does not veto
// the creation. The window system has one thread: a hook serves it whatever
// thread it names.
#define WH_CBT 5
#define HCBT_CREATEWND 3
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);
struct CBT_CREATEWNDW {
    CREATESTRUCTW* lpcs;
    HWND hwndInsertAfter;
};
// The low-level keyboard hook sees every key SendInput takes, before it is
// queued: code HC_ACTION, wParam WM_KEYDOWN/WM_KEYUP/WM_SYSKEYDOWN/WM_SYSKEYUP,
// lParam a KBDLLHOOKSTRUCT*. A nonzero answer swallows the key. It is a
// global hook: installed with thread id 0.
#define WH_KEYBOARD_LL 13
#define HC_ACTION 0
#define LLKHF_EXTENDED 0x00000001
#define LLKHF_INJECTED 0x00000010
#define LLKHF_ALTDOWN 0x00000020
#define LLKHF_UP 0x00000080
struct KBDLLHOOKSTRUCT {
    DWORD vkCode;
    DWORD scanCode;
    DWORD flags;  // LLKHF_x
    DWORD time;
    ULONG_PTR dwExtraInfo;
};
HHOOK SetWindowsHookExW(int hook, HOOKPROC procedure, HINSTANCE module, DWORD threadId);
#define SetWindowsHookEx SetWindowsHookExW
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// Dialog navigation, on any window as on a dialog: tab items are visible,
// enabled WS_TABSTOP windows found depth-first through WS_EX_CONTROLPARENT
// children; WS_GROUP starts a group for the arrow keys. IsDialogMessage
// handles Tab, the arrows, Enter, Escape and Alt+mnemonic unless the focused
// control's WM_GETDLGCODE keeps the key, and dispatches everything else.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL IsDialogMessageW(HWND dialog, LPMSG msg);
#define IsDialogMessage IsDialogMessageW

// Timers
#define USER_TIMER_MINIMUM 0x0000000A  // shorter intervals are raised to this (ms)
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

#include <tessel/platform/win_events.h>
