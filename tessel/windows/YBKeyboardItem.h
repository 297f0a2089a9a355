// What a toolkit window adds while its top-level window runs keyboard
// operation (YBBaseWnd::enableKeyboard). A separate base keeps the window
// classes' own virtual operations where they are: a class that takes part
// derives from it as well, and the keyboard code finds it by dynamic_cast.
//
//   class YBToolBarWnd : public YBChildWnd, public YBKeyboardItem { ... };
#pragma once

#include <tessel/platform/win_user.h>

class YBKeyboardItem {
public:
    virtual ~YBKeyboardItem() = default;

    // Styles the window takes while keyboard operation is on: WS_TABSTOP for
    // a focusable window, WS_EX_CONTROLPARENT for a container of tab stops.
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
};
