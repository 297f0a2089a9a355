// Window messages by name ("WM_CREATE"), as the sequence matcher compares
// and prints them.
#pragma once

#include <map>
#include <string>

#include <tessel/platform/win_user.h>

namespace recording {

// "WM_CREATE", "WM_USER+3", or the number for a message without a name here.
inline std::string messageName(UINT message) {
    // clang-format off
#define NAMED(message) {message, #message},
    static const std::map<UINT, std::string> names{
        NAMED(WM_NULL) NAMED(WM_CREATE) NAMED(WM_DESTROY) NAMED(WM_MOVE) NAMED(WM_SIZE)
        NAMED(WM_ACTIVATE) NAMED(WM_SETFOCUS) NAMED(WM_KILLFOCUS) NAMED(WM_ENABLE) NAMED(WM_SETTEXT)
        NAMED(WM_GETTEXT) NAMED(WM_GETTEXTLENGTH) NAMED(WM_PAINT) NAMED(WM_CLOSE) NAMED(WM_QUIT)
        NAMED(WM_ERASEBKGND) NAMED(WM_SHOWWINDOW) NAMED(WM_SETCURSOR) NAMED(WM_MOUSEACTIVATE)
        NAMED(WM_GETMINMAXINFO) NAMED(WM_WINDOWPOSCHANGING) NAMED(WM_WINDOWPOSCHANGED)
        NAMED(WM_NCCREATE) NAMED(WM_NCDESTROY) NAMED(WM_NCCALCSIZE) NAMED(WM_NCHITTEST)
        NAMED(WM_NCPAINT) NAMED(WM_NCMOUSEMOVE) NAMED(WM_NCLBUTTONDOWN) NAMED(WM_NCLBUTTONUP)
        NAMED(WM_NCLBUTTONDBLCLK) NAMED(WM_KEYDOWN) NAMED(WM_KEYUP) NAMED(WM_CHAR)
        NAMED(WM_SYSKEYDOWN) NAMED(WM_SYSKEYUP) NAMED(WM_SYSCHAR) NAMED(WM_COMMAND)
        NAMED(WM_SYSCOMMAND) NAMED(WM_TIMER) NAMED(WM_HSCROLL) NAMED(WM_VSCROLL) NAMED(WM_MOUSEMOVE)
        NAMED(WM_LBUTTONDOWN) NAMED(WM_LBUTTONUP) NAMED(WM_LBUTTONDBLCLK) NAMED(WM_RBUTTONDOWN)
        NAMED(WM_RBUTTONUP) NAMED(WM_RBUTTONDBLCLK) NAMED(WM_MBUTTONDOWN) NAMED(WM_MBUTTONUP)
        NAMED(WM_MBUTTONDBLCLK) NAMED(WM_MOUSEWHEEL) NAMED(WM_MOUSEHWHEEL) NAMED(WM_CAPTURECHANGED)
        NAMED(WM_MOUSEHOVER) NAMED(WM_MOUSELEAVE)
    };
#undef NAMED
    // clang-format on
    if (auto name = names.find(message); name != names.end()) return name->second;
    if (message >= WM_USER && message < WM_APP)
        return "WM_USER+" + std::to_string(message - WM_USER);
    return std::to_string(message);
}

}  // namespace recording
