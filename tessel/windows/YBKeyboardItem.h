// What a toolkit window adds while its top-level window runs keyboard
// operation (YBBaseWnd::enableKeyboard). A separate base keeps the window
// classes' own virtual operations where they are: a class that takes part
// derives from it as well, and the keyboard code finds it by dynamic_cast.
// None of these is called while keyboard operation is off.
//
//   class YBToolBarWnd : public YBChildWnd, public YBKeyboardItem { ... };
#pragma once

#include <tessel/platform/win_user.h>

class YBKeyboardItem {
public:
    virtual ~YBKeyboardItem() = default;

    // Styles the window takes while keyboard operation is on: WS_TABSTOP for
    // a focusable window, WS_EX_CONTROLPARENT for a container of tab stops.
    // Read when keyboard operation turns on, when the window is created, and
    // again before each key press is navigated: WS_TABSTOP, WS_GROUP and
    // WS_EX_CONTROLPARENT then follow the answer, so an item whose
    // focusability changes (a host whose last button was disabled) says so here.
    virtual DWORD keyboardStyle() const { return 0; }
    virtual DWORD keyboardExStyle() const { return 0; }
    // The WM_GETDLGCODE answer for the key message about to be handled (msg
    // may be null, as Win32 allows).
    virtual UINT keyboardDlgCode(const MSG* msg) {
        (void)msg;
        return 0;
    }
    // A mnemonic typed with Alt (or alone where nothing takes characters):
    // true when an item of this window that has no window of its own took it.
    virtual bool activateMnemonic(wchar_t letter) {
        (void)letter;
        return false;
    }
    // WM_KEYDOWN, WM_KEYUP, WM_SETFOCUS, WM_KILLFOCUS, WM_UPDATEUISTATE and
    // BM_CLICK before the window's message map. True when the item took the
    // message: the map then never sees it, so a command the item sent may
    // have destroyed the window. Focus and UI-state messages must not be taken.
    virtual bool keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        (void)message, (void)wParam, (void)lParam;
        return false;
    }
    // Draws the keyboard cues (the focus ring) over what onDraw painted, on
    // the same paint context, so they are never left half erased.
    virtual void drawKeyboardCues(HDC dc) { (void)dc; }
};
