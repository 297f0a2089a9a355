// MFC's message maps. Each class that handles messages lists them between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; the map chains to its base class's.
// An entry cracks wParam/lParam into the handler's arguments, calls it and
// turns its result into the message result.
//
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//       ON_WM_PAINT()
//       ON_COMMAND_RANGE(1, 100, OnButton)
//   END_MESSAGE_MAP()
#pragma once

#include <tessel/platform/afx_geometry.h>
#include <tessel/platform/win_user.h>

class CWnd;
class CDC;
class CScrollBar;

struct AFX_MSGMAP_ENTRY {
    UINT message;  // 0 ends the map
    UINT code;     // WM_COMMAND: the notification code
    UINT firstId;  // WM_COMMAND: the identifier range
    UINT lastId;
    LRESULT (*invoke)(CWnd* target, WPARAM wParam, LPARAM lParam, const AFX_MSGMAP_ENTRY& entry);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
    // The entry for a message (not WM_COMMAND) in this map or a base's, or
    // null; null itself when the chain is to be walked entry by entry.
    const AFX_MSGMAP_ENTRY* (*pfnFindEntry)(UINT message);
};

namespace afx {
// A map's entries with its bases', sorted by message, the most derived
// class's entry first: every message, handled or not, is looked up in a
// few steps instead of a walk of every entry of the chain (msgmap.cpp).
// No heap and nothing to destroy: windows destroyed while a library
// unloads still get their messages after its statics are gone.
class MessageIndex {
public:
    static constexpr int kCapacity = 96;  // a longer chain is walked entry by entry

    explicit MessageIndex(const AFX_MSGMAP* map);
    const AFX_MSGMAP_ENTRY* find(UINT message) const;
    // The first entry for the message along the chain, without an index.
    static const AFX_MSGMAP_ENTRY* walk(const AFX_MSGMAP* map, UINT message);

private:
    const AFX_MSGMAP* m_map;
    int m_count = 0;  // -1: the chain did not fit
    const AFX_MSGMAP_ENTRY* m_entries[kCapacity];
};
}  // namespace afx

// The crackers, one per handler signature. They live in a namespace of their
// own because each is instantiated with a class and a member.
namespace afx {
CWnd* wndFromHandle(HWND window);
CDC* dcFromHandle(HDC dc);
inline CPoint signedPoint(LPARAM l) {
    return CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l));
}

template <class T, void (T::*F)()>
LRESULT none(CWnd* w, WPARAM, LPARAM, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)();
    return 0;
}
template <class T, int (T::*F)(LPCREATESTRUCT)>
LRESULT create(CWnd* w, WPARAM, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    return (static_cast<T*>(w)->*F)(reinterpret_cast<LPCREATESTRUCT>(l));
}
template <class T, void (T::*F)(UINT, int, int)>
LRESULT size(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(static_cast<UINT>(wp), LOWORD(l), HIWORD(l));
    return 0;
}
template <class T, void (T::*F)(int, int)>
LRESULT move(CWnd* w, WPARAM, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(GET_X_LPARAM(l), GET_Y_LPARAM(l));
    return 0;
}
template <class T, BOOL (T::*F)(CDC*)>
LRESULT eraseBackground(CWnd* w, WPARAM wp, LPARAM, const AFX_MSGMAP_ENTRY&) {
    return (static_cast<T*>(w)->*F)(dcFromHandle(reinterpret_cast<HDC>(wp)));
}
template <class T, BOOL (T::*F)(CWnd*, UINT, UINT)>
LRESULT setCursor(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    return (static_cast<T*>(w)->*F)(wndFromHandle(reinterpret_cast<HWND>(wp)), LOWORD(l),
                                    HIWORD(l));
}
template <class T, void (T::*F)(MINMAXINFO*)>
LRESULT minMaxInfo(CWnd* w, WPARAM, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(reinterpret_cast<MINMAXINFO*>(l));
    return 0;
}
template <class T, void (T::*F)(UINT, UINT, UINT)>
LRESULT key(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(static_cast<UINT>(wp), LOWORD(l), HIWORD(l));
    return 0;
}
template <class T, void (T::*F)(UINT_PTR)>
LRESULT timer(CWnd* w, WPARAM wp, LPARAM, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(static_cast<UINT_PTR>(wp));
    return 0;
}
template <class T, void (T::*F)(UINT, UINT, CScrollBar*)>
LRESULT scroll(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(
        LOWORD(wp), HIWORD(wp),
        reinterpret_cast<CScrollBar*>(l ? wndFromHandle(reinterpret_cast<HWND>(l)) : nullptr));
    return 0;
}
template <class T, void (T::*F)(UINT, CPoint)>
LRESULT mouse(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(static_cast<UINT>(wp), signedPoint(l));
    return 0;
}
template <class T, BOOL (T::*F)(UINT, short, CPoint)>
LRESULT wheel(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    return (static_cast<T*>(w)->*F)(LOWORD(wp), static_cast<short>(HIWORD(wp)), signedPoint(l));
}
template <class T, void (T::*F)(CWnd*)>
LRESULT windowInWParam(CWnd* w, WPARAM wp, LPARAM, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(wndFromHandle(reinterpret_cast<HWND>(wp)));
    return 0;
}
template <class T, void (T::*F)(CWnd*)>
LRESULT windowInLParam(CWnd* w, WPARAM, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(wndFromHandle(reinterpret_cast<HWND>(l)));
    return 0;
}
template <class T, void (T::*F)(BOOL, UINT)>
LRESULT showWindow(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(static_cast<BOOL>(wp), static_cast<UINT>(l));
    return 0;
}
template <class T, void (T::*F)(WINDOWPOS*)>
LRESULT windowPos(CWnd* w, WPARAM, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(reinterpret_cast<WINDOWPOS*>(l));
    return 0;
}
template <class T, LRESULT (T::*F)(CPoint)>
LRESULT hitTest(CWnd* w, WPARAM, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    return (static_cast<T*>(w)->*F)(signedPoint(l));
}
template <class T, void (T::*F)(BOOL)>
LRESULT enable(CWnd* w, WPARAM wp, LPARAM, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(static_cast<BOOL>(wp));
    return 0;
}
template <class T, void (T::*F)(UINT)>
LRESULT commandRange(CWnd* w, WPARAM wp, LPARAM, const AFX_MSGMAP_ENTRY&) {
    (static_cast<T*>(w)->*F)(LOWORD(wp));
    return 0;
}
template <class T, LRESULT (T::*F)(WPARAM, LPARAM)>
LRESULT raw(CWnd* w, WPARAM wp, LPARAM l, const AFX_MSGMAP_ENTRY&) {
    return (static_cast<T*>(w)->*F)(wp, l);
}
}  // namespace afx

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass = theClass;                     \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                          \
    { 0, 0, 0, 0, nullptr }                                                        \
    }                                                                              \
    ;                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0],  \
                                   [](UINT message) {                              \
                                       static const afx::MessageIndex index(&map); \
                                       return index.find(message);                 \
                                   }};                                             \
    return &map;                                                                   \
    }

#define AFX_ENTRY(message, cracker, handler) \
    {message, 0, 0, 0, &afx::cracker<ThisClass, &ThisClass::handler>},
#define ON_WM_CREATE() AFX_ENTRY(WM_CREATE, create, OnCreate)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, none, OnDestroy)
#define ON_WM_SIZE() AFX_ENTRY(WM_SIZE, size, OnSize)
#define ON_WM_MOVE() AFX_ENTRY(WM_MOVE, move, OnMove)
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, none, OnPaint)
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, none, OnClose)
#define ON_WM_ERASEBKGND() AFX_ENTRY(WM_ERASEBKGND, eraseBackground, OnEraseBkgnd)
#define ON_WM_SETCURSOR() AFX_ENTRY(WM_SETCURSOR, setCursor, OnSetCursor)
#define ON_WM_GETMINMAXINFO() AFX_ENTRY(WM_GETMINMAXINFO, minMaxInfo, OnGetMinMaxInfo)
#define ON_WM_KEYDOWN() AFX_ENTRY(WM_KEYDOWN, key, OnKeyDown)
#define ON_WM_KEYUP() AFX_ENTRY(WM_KEYUP, key, OnKeyUp)
#define ON_WM_CHAR() AFX_ENTRY(WM_CHAR, key, OnChar)
#define ON_WM_TIMER() AFX_ENTRY(WM_TIMER, timer, OnTimer)
#define ON_WM_HSCROLL() AFX_ENTRY(WM_HSCROLL, scroll, OnHScroll)
#define ON_WM_VSCROLL() AFX_ENTRY(WM_VSCROLL, scroll, OnVScroll)
#define ON_WM_MOUSEMOVE() AFX_ENTRY(WM_MOUSEMOVE, mouse, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_ENTRY(WM_LBUTTONDOWN, mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ENTRY(WM_LBUTTONUP, mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_ENTRY(WM_LBUTTONDBLCLK, mouse, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_ENTRY(WM_RBUTTONDOWN, mouse, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_ENTRY(WM_RBUTTONUP, mouse, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_ENTRY(WM_RBUTTONDBLCLK, mouse, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_ENTRY(WM_MBUTTONDOWN, mouse, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_ENTRY(WM_MBUTTONUP, mouse, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() AFX_ENTRY(WM_MBUTTONDBLCLK, mouse, OnMButtonDblClk)
#define ON_WM_MOUSEWHEEL() AFX_ENTRY(WM_MOUSEWHEEL, wheel, OnMouseWheel)
#define ON_WM_MOUSELEAVE() AFX_ENTRY(WM_MOUSELEAVE, none, OnMouseLeave)
#define ON_WM_CAPTURECHANGED() AFX_ENTRY(WM_CAPTURECHANGED, windowInLParam, OnCaptureChanged)
#define ON_WM_SETFOCUS() AFX_ENTRY(WM_SETFOCUS, windowInWParam, OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_ENTRY(WM_KILLFOCUS, windowInWParam, OnKillFocus)
#define ON_WM_SHOWWINDOW() AFX_ENTRY(WM_SHOWWINDOW, showWindow, OnShowWindow)
#define ON_WM_WINDOWPOSCHANGING() AFX_ENTRY(WM_WINDOWPOSCHANGING, windowPos, OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() AFX_ENTRY(WM_WINDOWPOSCHANGED, windowPos, OnWindowPosChanged)
#define ON_WM_NCHITTEST() AFX_ENTRY(WM_NCHITTEST, hitTest, OnNcHitTest)
#define ON_WM_ENABLE() AFX_ENTRY(WM_ENABLE, enable, OnEnable)
#define ON_MESSAGE(message, handler) AFX_ENTRY(message, raw, handler)
// Commands: notification code, identifier range, handler(UINT id) or handler().
#define ON_COMMAND(id, handler) {WM_COMMAND, 0, id, id, &afx::none<ThisClass, &ThisClass::handler>},
#define ON_COMMAND_RANGE(firstId, lastId, handler) \
    {WM_COMMAND, 0, firstId, lastId, &afx::commandRange<ThisClass, &ThisClass::handler>},
#define ON_CONTROL_RANGE(code, firstId, lastId, handler) \
    {WM_COMMAND, code, firstId, lastId, &afx::commandRange<ThisClass, &ThisClass::handler>},
