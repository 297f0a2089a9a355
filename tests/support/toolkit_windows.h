// What suites of the toolkit's windows share: a top-level popup to put
// windows in, one that collects the commands reaching it, and text measured
// on the screen the way the platform does it (the reference sizes are
// compared against, never hard-coded pixels).
#pragma once

#include <cwchar>
#include <functional>
#include <vector>

#include <tessel/drawing/GFont.h>
#include <tessel/platform/gdi.h>
#include <tessel/windows/YBChildWnd.h>

namespace test_support {

// A visible top-level popup (no frame): its client is its window.
class PopupFrame : public YBChildWnd {
public:
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
};

// A top-level popup that collects the commands reaching it.
class CommandFrame : public PopupFrame {
public:
    std::vector<int> commands;
    std::function<void(int)> onCommandHook;  // runs after the id is recorded

    void onCommand(int id) override {
        commands.push_back(id);
        if (onCommandHook) onCommandHook(id);
    }
};

// One line of `text` in `font` on the screen DC.
inline CSize screenExtent(const GFont& font, const wchar_t* text) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font.handle());
    SIZE size{};
    GetTextExtentPoint32W(screen, text, static_cast<int>(std::wcslen(text)), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return CSize(size.cx, size.cy);
}

}  // namespace test_support
