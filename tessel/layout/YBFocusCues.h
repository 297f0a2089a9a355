// Focus rectangles show once the keyboard was used. IsDialogMessage says so
// for the keys it navigates with; a window that navigates with keys of its
// own (F6, F8, a toolbar's arrows) says so here. Internal to the toolkit
// (not installed).
//
//   ::SetFocus(next);
//   YBFocusCues::show(m_hWnd);
#pragma once

#include <tessel/platform/win_user.h>

class YBFocusCues {
public:
    // Clears UISF_HIDEFOCUS on the top-level, which tells its whole tree.
    static void show(HWND window) {
        ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    }
};
