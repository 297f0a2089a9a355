// The window controls: the button window's mouse cycle and command, the
// text button window's styles and size, and the text window.
#include <gtest/gtest.h>

#include <climits>

#include <tessel/drawing/Shades.h>
#include <tessel/windows/YBTextButtonWnd.h>
#include <tessel/windows/YBTextWnd.h>

#include "recording_window.h"
#include "toolkit_windows.h"

namespace {

using namespace windows_test;
using tessel::testing::pump;

constexpr COLORREF kParentColour = RGB(200, 0, 0);

// A parent that paints itself red and records each WM_COMMAND with the
// sender's state at that moment.
class Parent : public RecordingWnd {
public:
    YBButtonWnd* button = nullptr;
    std::vector<std::string> commands;

    void onDraw(XDC& dc) override {
        CRect r;
        ::GetClientRect(m_hWnd, &r);
        dc.FillRect(r, kParentColour);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && button) {
            RECT update{};
            const bool repaintPending = ::GetUpdateRect(button->m_hWnd, &update, FALSE);
            commands.push_back(
                call("command", wParam, lParam, button->isPressed(), repaintPending));
        }
        return RecordingWnd::WindowProc(message, wParam, lParam);
    }
};

using test_support::screenExtent;

COLORREF pixel(HWND w, int x, int y) {
    pump();
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}

bool repaintPending(HWND w) {
    RECT r{};
    return GetUpdateRect(w, &r, FALSE);
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
    static void click(DWORD flags) {
        input(flags);
        pump();
    }

    Parent parent;
    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
};

TEST_F(ControlsTest, ButtonWindowHoversPressesAndSendsItsCommandAfterTheRepaintRequest) {
    YBTextButtonWnd button(42, L"Go", font, 80, 30);
    parent.button = &button;
    ASSERT_TRUE(button.createAt(10, 10, &parent));
    pump();
    EXPECT_EQ(pixel(button, 40, 3), COLORREF{0xF0F0F0});  // normal

    over(50, 25);
    EXPECT_TRUE(button.isMouseOver());
    EXPECT_EQ(pixel(button, 40, 3), COLORREF{0xFFFFFF});  // mouse over
    click(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(button.isPressed());
    EXPECT_EQ(pixel(button, 40, 4), COLORREF{0x80FFFF});  // pressed
    click(MOUSEEVENTF_LEFTUP);
    EXPECT_SEQ(parent.commands, {"command(42,0,0,1)"});  // state changed and repaint asked first
    EXPECT_SEQ(parent.take("onCommand"), {"onCommand(42)"});

    // A double click: one command per release. Leaving while pressed clears
    // the press for good, though releasing over the button still sends.
    click(MOUSEEVENTF_LEFTDOWN);
    click(MOUSEEVENTF_LEFTUP);
    click(MOUSEEVENTF_LEFTDOWN);
    over(200, 150);
    EXPECT_FALSE(button.isPressed());
    over(50, 25);
    EXPECT_FALSE(button.isPressed());
    click(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(parent.commands.size(), 3u);

    // Disabled: the press shows, no command.
    parent.commands.clear();
    tessel::testing::advanceClock(1000);  // a single click, not a double one
    button.disable(true, true);
    click(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(button.isPressed());
    click(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(parent.commands.empty());
    parent.button = nullptr;
}

TEST_F(ControlsTest, EnableDisableAndSelectRepaintOnlyWhenTheStateChanges) {
    YBTextButtonWnd button(1, L"x", font, 40, 20);
    ASSERT_TRUE(button.createAt(10, 10, &parent));
    pump();
    button.enable(true, true);
    EXPECT_FALSE(repaintPending(button));
    button.enable(false, false);  // disables, without a repaint
    EXPECT_FALSE(repaintPending(button));
    button.disable(false, true);
    EXPECT_TRUE(repaintPending(button));
    pump();
    button.select(false, true);
    EXPECT_FALSE(repaintPending(button));
    button.select(true, true);
    EXPECT_TRUE(repaintPending(button));
    EXPECT_TRUE(button.IsWindowEnabled());  // the window itself stays enabled
}

// Which style each state draws is the component text button's test (the same look).
TEST_F(ControlsTest, TextButtonWindowKeepsItsFixedSizeAndDrawsDerivedSelectedStyles) {
    YBTextButtonWnd button(1, L"x", font, 60, 30);
    ASSERT_TRUE(button.createAt(10, 10, &parent));
    button.select(true, true);
    over(40, 25);
    YBTextButtonStyle green;
    green.bgColor = RGB(0, 200, 0);
    button.setStyle(8, green);
    button.setAllSelectedStyles(green, false);
    button.setText(L"a much longer caption than before");
    EXPECT_EQ(button.getSize(), CSize(60, 30));
    ::InvalidateRect(button, nullptr, TRUE);
    EXPECT_EQ(pixel(button, 30, 3), GetShade(RGB(0, 200, 0), 1.1));  // selected, mouse over
}

TEST_F(ControlsTest, TextButtonWindowMeasuresOnceWithTheConstructorsFont) {
    const CSize text = screenExtent(font, L"Hello");
    YBTextButtonWnd measured(1, L"Hello", font, 0, 0);
    ASSERT_TRUE(measured.createAt(0, 0, &parent));
    CRect client;
    measured.GetClientRect(&client);
    EXPECT_EQ(client.Size(), text + CSize(12, 12));
}

TEST_F(ControlsTest, TextWindowSizesToItsTextAndPaintsItsBackgroundOnlyWhenItHasOne) {
    const GFont blue("Arial", 10.0, 0, RGB(0, 0, 255));
    const CSize text = screenExtent(blue, L"Title");
    YBTextWnd title(L"Title", blue, XDC::kNoColor);
    title.setInitialSize(text.cx + 40, text.cy + 20);
    ASSERT_TRUE(title.createAt(10, 10, &parent));
    EXPECT_EQ(pixel(title, 1, 1), kParentColour);  // no background of its own

    // Centred both ways: the ink's box sits in the middle of the client area.
    int left = INT_MAX, right = -1, high = INT_MAX, low = -1;
    for (int y = 0; y < text.cy + 20; ++y)
        for (int x = 0; x < text.cx + 40; ++x)
            if (GetBValue(pixel(title, x, y)) > 128) {
                left = std::min(left, x), right = std::max(right, x);
                high = std::min(high, y), low = std::max(low, y);
            }
    EXPECT_NEAR(left + right, text.cx + 40, 4);
    EXPECT_NEAR(high + low, text.cy + 20, 6);

    title.bgColor(RGB(255, 255, 255));
    EXPECT_FALSE(repaintPending(title));
    ::InvalidateRect(title, nullptr, TRUE);
    EXPECT_EQ(pixel(title, 1, 1), RGB(255, 255, 255));

    title.resizeToFit();
    CRect client;
    title.GetClientRect(&client);
    EXPECT_EQ(client.Size(), text);
}

}  // namespace
