// The class every concrete toolkit window derives from. It brings a window
// into existence in one fixed order (onPreCreate, getCreateStyle, CreateEx,
// ShowWindow), so a derived class prepares itself and chooses its style and
// size before the platform window exists. Each object is created once.
//
//   CPanel panel;                        // derives from YBChildWnd
//   panel.setInitialSize(200, 100);
//   if (!panel.createAt(10, 10, &parentWnd)) ...
#pragma once

#include <tessel/windows/YBBaseWnd.h>

class YBChildWnd : public YBBaseWnd {
public:
    YBChildWnd();
    ~YBChildWnd() override;
    bool init() override;
    // A visible child with the remembered size; the scroll-bar flags add
    // nothing: windows that scroll show their bars through their settings.
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override;

    // At (x, y) in the parent's client area; a null parent makes a top-level
    // window, which only a style without WS_CHILD allows.
    bool createAt(int x, int y, CWnd* parent);
    // Centred over `over`'s client area, as its child (in screen coordinates
    // when the style has no WS_CHILD). `over` must have a window.
    bool createCenteredOver(CWnd* over);

protected:
    // Creates the window with exactly this style, then shows it.
    bool create(int x, int y, const CSize& size, DWORD style, DWORD exStyle, HWND parent);
};
