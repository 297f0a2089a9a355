// The window controls: the button window's mouse cycle and command, the
// text button window's repaints and size, and the text window.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <tessel/drawing/Shades.h>
#include <tessel/windows/YBTextButtonWnd.h>
#include <tessel/windows/YBTextWnd.h>

#include "key_strokes.h"
#include "recording_window.h"
#include "toolkit_windows.h"

namespace {

using namespace windows_test;
using test_support::screenExtent;
using tessel::testing::pump;

constexpr COLORREF kParentColour = RGB(200, 0, 0);

bool repaintPending(HWND w) {
    RECT r{};
    return GetUpdateRect(w, &r, FALSE);
}

// A parent that paints itself red and records each WM_COMMAND with the
// sender's state at that moment.
class Parent : public RecordingWnd {
public:
    YBButtonWnd* button = nullptr;
    Names commands;

    void onDraw(XDC& dc) override {
        CRect r;
        ::GetClientRect(m_hWnd, &r);
        dc.FillRect(r, kParentColour);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && button)
            commands.push_back(
                call("command", wParam, lParam, button->isPressed(), repaintPending(*button)));
        return RecordingWnd::WindowProc(message, wParam, lParam);
    }
};

COLORREF pixel(HWND w, int x, int y) {
    pump();
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}

class ControlsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent.setInitialSize(300, 200);
        ASSERT_TRUE(parent.createAt(0, 0, &top));
        pump();
    }
    // Screen point of (x, y) in the parent's client area.
    static void over(int x, int y) { moveTo(kTopX + x, kTopY + y); }

    Parent parent;
    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
};

// The command goes out once the state changed and a repaint was asked. A
// double click is one command per release; leaving while pressed clears the
// press for good, though releasing over the button still sends. Disabled,
// the press shows but sends nothing.
TEST_F(ControlsTest, ButtonWindowHoversPressesAndSendsItsCommandAfterTheRepaintRequest) {
    YBTextButtonWnd button(42, L"Go", font, 80, 30);
    parent.button = &button;
    ASSERT_TRUE(button.createAt(10, 10, &parent));
    EXPECT_EQ(pixel(button, 40, 3), COLORREF{0xF0F0F0});  // normal
    over(50, 25);
    EXPECT_EQ(pixel(button, 40, 3), COLORREF{0xFFFFFF});  // mouse over
    input(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(pixel(button, 40, 4), COLORREF{0x80FFFF});  // pressed
    input(MOUSEEVENTF_LEFTUP);
    EXPECT_SEQ(parent.commands, {"command(42,0,0,1)"});
    EXPECT_SEQ(parent.take("onCommand"), {"onCommand(42)"});

    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN})
        input(flags);
    over(200, 150);
    EXPECT_FALSE(button.isPressed() || button.isMouseOver());
    EXPECT_EQ(pixel(button, 40, 3), COLORREF{0xF0F0F0});
    over(50, 25);
    EXPECT_FALSE(button.isPressed());
    input(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(parent.commands.size(), 3u);

    tessel::testing::advanceClock(1000);  // a single click, not a double one
    button.disable(true, true);
    input(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(button.isPressed());
    input(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(parent.commands.size(), 3u);
    parent.button = nullptr;
}

// Enabling, disabling and selecting repaint only when the state changes; the
// window itself stays enabled. A fixed size stays whatever the text, and the
// selected styles derive from one.
TEST_F(ControlsTest, TextButtonWindowRepaintsOnChangesKeepsItsSizeAndDerivesStyles) {
    YBTextButtonWnd button(1, L"x", font, 60, 30);
    ASSERT_TRUE(button.createAt(10, 10, &parent));
    pump();
    button.enable(true, true);
    button.enable(false, false);  // disables, without a repaint
    EXPECT_FALSE(repaintPending(button));
    button.disable(false, true);
    EXPECT_TRUE(repaintPending(button));
    pump();
    button.select(false, true);
    EXPECT_FALSE(repaintPending(button));
    button.select(true, true);
    EXPECT_TRUE(repaintPending(button));
    EXPECT_TRUE(button.IsWindowEnabled());

    over(40, 25);
    YBTextButtonStyle green;
    green.bgColor = RGB(0, 200, 0);
    button.setAllSelectedStyles(green, false);
    button.setText(L"a much longer caption than before");
    EXPECT_EQ(button.getSize(), CSize(60, 30));
    ::InvalidateRect(button, nullptr, TRUE);
    EXPECT_EQ(pixel(button, 30, 3), GetShade(RGB(0, 200, 0), 1.1));  // selected, mouse over

    YBTextButtonWnd measured(2, L"Hello", font, 0, 0);  // measured with the constructor's font
    ASSERT_TRUE(measured.createAt(0, 100, &parent));
    EXPECT_EQ(measured.size(), screenExtent(font, L"Hello") + CSize(12, 12));
}

// Centred both ways, its background painted only when it has one.
TEST_F(ControlsTest, TextWindowPaintsItsBackgroundOnlyWhenItHasOne) {
    const GFont blue("Arial", 10.0, 0, RGB(0, 0, 255));
    YBTextWnd title(L"Title", blue, XDC::kNoColor);
    title.setInitialSize(100, 40);
    ASSERT_TRUE(title.createAt(10, 10, &parent));
    EXPECT_EQ(pixel(title, 1, 1), kParentColour);
    CRect ink(100, 40, -1, -1);  // the text's, centred both ways
    const std::vector<COLORREF> pixels = test_support::pixelsOf(title);
    for (int i = 0; i < 100 * 40; ++i)
        if (GetBValue(pixels[i]) > 128)
            ink = CRect(std::min<int>(ink.left, i % 100), std::min<int>(ink.top, i / 100),
                        std::max<int>(ink.right, i % 100), std::max<int>(ink.bottom, i / 100));
    EXPECT_NEAR(ink.left + ink.right, 100, 4);
    EXPECT_NEAR(ink.top + ink.bottom, 40, 6);
    title.bgColor(RGB(255, 255, 255));
    EXPECT_FALSE(repaintPending(title));
    ::InvalidateRect(title, nullptr, TRUE);
    EXPECT_EQ(pixel(title, 1, 1), RGB(255, 255, 255));
    title.resizeToFit();
    EXPECT_EQ(title.size(), screenExtent(blue, L"Title"));
}

}  // namespace
