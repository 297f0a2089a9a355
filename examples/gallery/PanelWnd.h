// A clickable coloured panel: lighter under the pointer, darker while
// pressed, and a command to its parent when a press is released inside it,
// as a push button does. A group of panels is a GroupWnd.
//
//   PanelWnd panel(101, L"Open", RGB(70, 130, 180));
//   panel.setInitialSize(120, 60);
//   panel.createAt(10, 10, &gallery);
#pragma once

#include <string>

#include <tessel/windows/YBChildWnd.h>

class PanelWnd : public YBChildWnd {
public:
    PanelWnd(int id, std::wstring caption, COLORREF color);

    void onDraw(XDC& dc) override;
    void onMouseMove(UINT flags, CPoint point) override;
    void onMouseLeave() override;
    void onLeftMouseButton(int action, CPoint point) override;
    bool onSetCursor(UINT hitTest, UINT message) override;

private:
    void setLook(bool hover, bool pressed);

    int m_id;
    std::wstring m_caption;
    COLORREF m_color;
    bool m_hover = false;    // the pointer is over the panel (leave tracking is on)
    bool m_pressed = false;  // pressed here and not yet released
};
