// A component that behaves as a push button: hover, pressed while the left
// button is held on it, and a synchronous WM_COMMAND with its identifier to
// its owner when a press is released on it. It draws nothing of its own;
// the drawn buttons derive from it and draw from the bits it keeps.
//
// clang-format off
//   event          condition        effect
//   onMouseEnter   not mouseOver    clear pressed, set mouseOver, repaint
//   onMouseMove    not mouseOver    set mouseOver, repaint
//   onMouseLeave   mouseOver        clear mouseOver and pressed, repaint
//   press (1, 2)   any              set pressed, repaint
//   release (0)    any              clear pressed, repaint; command if it was
//                                   pressed, is enabled and has an owner
//   (any other event or condition changes nothing)
// clang-format on
#pragma once

#include <tessel/components/YBComponent.h>

class YBButton : public YBComponent {
public:
    explicit YBButton(unsigned int id = 0, CWnd* owner = nullptr);
    YBButton(const YBButton&) = default;
    YBButton& operator=(const YBButton&) = default;
    ~YBButton() override;

    void onLeftMouseButton(int action, CPoint point) override;
    void onMouseMove(UINT flags, CPoint point) override;
    void onMouseEnter() override;
    void onMouseLeave() override;

    // What a release on a pressed button sends: WM_COMMAND with its identifier
    // to its owner, synchronously. False, and nothing sent, when it is
    // disabled or has no owner window.
    bool sendCommand();
};
