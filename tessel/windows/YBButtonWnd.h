// A child window that behaves as a push button. It keeps four independent
// states (disabled, mouse over, pressed, selected), repaints when one of
// them changes, and on every left-button release over it sends its parent
// WM_COMMAND with its identifier, synchronously, after the state change and
// the repaint request. It draws nothing of its own: YBTextButtonWnd does.
//
// There is no capture: leaving the window clears the pressed state, so a
// press dragged out and back in is no longer pressed, and a release
// elsewhere sends nothing. A disabled button still shows hover and press but
// sends no command. Identifier 0 is sent like any other; a toolkit parent's
// onCommand only sees identifiers 1 to 60000.
//
// clang-format off
//   event              condition      effect
//   mouse move         not over       over; leave tracking asked once; repaint
//   left press         -              pressed; repaint
//   left release       -              not pressed; repaint; command unless disabled
//   double click       -              nothing (its release sends the second command)
//   leave              over           not over, not pressed; tracking cancelled; repaint
// clang-format on
//
// While its top-level window runs keyboard operation it is a tab stop unless
// disabled, and the keys act as the left button does (auto-repeats ignored):
// clang-format off
//   event              condition      effect
//   Space down         -              as a left press
//   Space up           pressed        as a left release: command unless disabled
//   Enter down         -              as a left release: command unless disabled
//   BM_CLICK           -              as a left release
//   Escape down        pressed        not pressed; repaint; no command
//   focus lost         -              not pressed; repaint; no command
// clang-format on
#pragma once

#include <tessel/windows/YBChildWnd.h>
#include <tessel/windows/YBKeyboardItem.h>

class YBButtonWnd : public YBChildWnd, public YBKeyboardItem {
public:
    explicit YBButtonWnd(unsigned int id);
    ~YBButtonWnd() override;

    unsigned int id() const { return m_id; }
    bool isEnabled() const { return !m_disabled; }
    bool isDisabled() const { return m_disabled; }
    bool isMouseOver() const { return m_mouseOver; }
    bool isPressed() const { return m_pressed; }
    bool isSelected() const { return m_selected; }

    // The button's own states; the window stays enabled for input. Each
    // repaints, when asked, only if the state changed.
    using YBBaseWnd::enable;
    void enable(bool enable, bool repaint);
    void disable(bool disable, bool repaint);
    void select(bool select, bool repaint);
    // What a release sends: WM_COMMAND with the identifier to the parent,
    // synchronously. False, and nothing sent, when disabled or parentless.
    bool sendCommand();

    void onLeftMouseButton(int action, CPoint point) override;
    void onMouseMove(UINT flags, CPoint point) override;
    void onMouseLeave() override;

    DWORD keyboardStyle() const override;
    UINT keyboardDlgCode(const MSG* msg) override;
    bool keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void drawKeyboardCues(HDC dc) override;

protected:
    // The whole window, erased first.
    void repaint();
    // A release at the centre: what Enter, BM_CLICK and a mnemonic do.
    void click();

    unsigned int m_id;
    bool m_disabled = false;
    bool m_mouseOver = false;
    bool m_pressed = false;
    bool m_selected = false;
};
