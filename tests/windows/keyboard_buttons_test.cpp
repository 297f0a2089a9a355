// The button windows from the keyboard: the Tab order, Space, Enter, Escape,
// auto-repeat, BM_CLICK, mnemonics, the focus ring and the hidden underline;
// and a top window without keyboard operation, whose buttons see every key
// exactly as a plain window does.
#include <gtest/gtest.h>

#include <vector>

#include <tessel/windows/YBTextButtonWnd.h>

#include "key_strokes.h"
#include "recording_window.h"

namespace {

using namespace windows_test;
using tessel::testing::pump;
using test_support::liftKey;
using test_support::pressKey;
using test_support::shiftTab;
using test_support::tapKey;

std::vector<COLORREF> pixels(HWND w) {
    CRect r;
    GetClientRect(w, &r);
    return test_support::pixelsOf(w, r);
}

// A text button that records its key handlers as RecordingWnd does.
class KeyRecordingButton : public YBTextButtonWnd {
public:
    using YBTextButtonWnd::YBTextButtonWnd;
    Names calls;
    void onKey(int down, int key, int repeat, int flags) override {
        calls.push_back(call("onKey", down, key, repeat, flags));
    }
    void onChar(int ch, int repeat) override { calls.push_back(call("onChar", ch, repeat)); }
};

class KeyboardButtonsTest : public WindowTest {
protected:
    static constexpr COLORREF kNormalFill = 0xF0F0F0;  // style 1's box
    static constexpr int kRingRow = 3;

    void SetUp() override {
        WindowTest::SetUp();
        int x = 10;
        for (YBTextButtonWnd* button : {&ok, &cancel, &help}) {
            ASSERT_TRUE(button->createAt(x, 10, &top));
            x += 100;
        }
        pump();
        top.calls.clear();
    }
    // The user brings the window to the front: it has the focus, none of its buttons.
    void enableKeyboard() {
        top.enableKeyboard();
        top.SetFocus();
    }
    Names commands() { return top.take("onCommand"); }
    // The dotted ring runs along this row, clear of the border and the text.
    static bool ringed(YBTextButtonWnd& button) {
        pump();
        HDC dc = GetDC(button.m_hWnd);
        int changed = 0;
        for (int x = kRingRow + 1; x < 80 - kRingRow - 1; ++x)
            changed += GetPixel(dc, x, kRingRow) != kNormalFill;
        ReleaseDC(button.m_hWnd, dc);
        return changed > 0;
    }

    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
    YBTextButtonWnd ok{11, L"&OK", font, 80, 30};
    YBTextButtonWnd cancel{12, L"Cancel", font, 80, 30};
    YBTextButtonWnd help{13, L"Help", font, 80, 30};
};

TEST_F(KeyboardButtonsTest, TabWalksTheEnabledButtonsInOrderAndShiftTabGoesBack) {
    EXPECT_FALSE(ok.GetStyle() & WS_TABSTOP);  // nothing changes before the opt-in
    enableKeyboard();
    EXPECT_TRUE(ok.GetStyle() & WS_TABSTOP);
    help.disable(true, true);

    std::vector<HWND> visited;
    for (int i = 0; i < 3; ++i) {
        tapKey(VK_TAB);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited, (std::vector<HWND>{ok.m_hWnd, cancel.m_hWnd, ok.m_hWnd}));
    shiftTab();
    EXPECT_EQ(GetFocus(), cancel.m_hWnd);
    help.disable(false, true);
    tapKey(VK_TAB);
    EXPECT_EQ(GetFocus(), help.m_hWnd);
    EXPECT_TRUE(commands().empty());
}

TEST_F(KeyboardButtonsTest, SpacePressesLikeTheMouseAndItsReleaseSendsOneCommand) {
    enableKeyboard();
    tapKey(VK_TAB);
    ASSERT_EQ(GetFocus(), ok.m_hWnd);

    pressKey(VK_SPACE);
    EXPECT_TRUE(ok.isPressed());
    EXPECT_TRUE(commands().empty());
    const std::vector<COLORREF> keyPressed = pixels(ok.m_hWnd);
    tapKey(VK_ESCAPE);
    EXPECT_FALSE(ok.isPressed());
    liftKey(VK_SPACE);
    EXPECT_TRUE(commands().empty());

    // The same pixels as a press of the left button (the ring stays: the focus does not move).
    moveTo(kTopX + 50, kTopY + 25);
    input(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(pixels(ok.m_hWnd), keyPressed);
    moveTo(kTopX + 5, kTopY + 200);  // leaving cancels the press
    input(MOUSEEVENTF_LEFTUP);
    pump();
    EXPECT_TRUE(commands().empty());

    tapKey(VK_SPACE);
    EXPECT_SEQ(commands(), {"onCommand(11)"});

    // Ten auto-repeats of the held key press nothing more.
    for (int i = 0; i < 11; ++i)
        pressKey(VK_SPACE);
    liftKey(VK_SPACE);
    EXPECT_SEQ(commands(), {"onCommand(11)"});

    // Leaving while pressed cancels, and the next button never saw the press.
    pressKey(VK_SPACE);
    tapKey(VK_TAB);
    EXPECT_EQ(GetFocus(), cancel.m_hWnd);
    EXPECT_FALSE(ok.isPressed());
    pressKey(VK_SPACE);  // still held: an auto-repeat at the new focus
    liftKey(VK_SPACE);
    EXPECT_TRUE(commands().empty());
    EXPECT_FALSE(cancel.isPressed());
}

TEST_F(KeyboardButtonsTest, EnterAndBmClickSendOneCommandAndADisabledButtonNone) {
    enableKeyboard();
    tapKey(VK_TAB);
    tapKey(VK_TAB);
    ASSERT_EQ(GetFocus(), cancel.m_hWnd);
    for (int i = 0; i < 4; ++i)
        pressKey(VK_RETURN);
    liftKey(VK_RETURN);
    EXPECT_SEQ(commands(), {"onCommand(12)"});
    EXPECT_FALSE(cancel.isPressed());

    help.SendMessage(BM_CLICK);
    EXPECT_SEQ(commands(), {"onCommand(13)"});
    cancel.disable(true, true);
    tapKey(VK_RETURN);
    tapKey(VK_SPACE);
    cancel.SendMessage(BM_CLICK);
    EXPECT_TRUE(commands().empty());
}

TEST_F(KeyboardButtonsTest, RingAndUnderlineShowOnlyOnceTheKeyboardWasUsed) {
    // The reference: the same button in a top window without keyboard operation.
    RecordingWnd plainTop;
    plainTop.style = WS_POPUP | WS_VISIBLE;
    plainTop.setInitialSize(200, 100);
    ASSERT_TRUE(plainTop.createAt(600, 100, nullptr));
    YBTextButtonWnd plainOk{11, L"&OK", font, 80, 30};
    ASSERT_TRUE(plainOk.createAt(10, 10, &plainTop));
    plainOk.SetFocus();
    const std::vector<COLORREF> underlined = pixels(plainOk.m_hWnd);
    EXPECT_FALSE(ringed(plainOk));

    enableKeyboard();
    ok.SetFocus();
    EXPECT_FALSE(ringed(ok));  // focused by the program: no ring yet
    const std::vector<COLORREF> hidden = pixels(ok.m_hWnd);
    EXPECT_NE(hidden, underlined);

    tapKey(VK_TAB);  // to cancel
    EXPECT_TRUE(ringed(cancel));
    EXPECT_FALSE(ringed(ok));
    EXPECT_EQ(pixels(ok.m_hWnd), hidden);  // Tab shows the ring, not the underline

    tapKey(VK_MENU);
    EXPECT_EQ(pixels(ok.m_hWnd), underlined);
    EXPECT_TRUE(commands().empty());

    test_support::altKey('O');
    EXPECT_SEQ(commands(), {"onCommand(11)"});
    EXPECT_EQ(GetFocus(), cancel.m_hWnd);
    test_support::altKey('X');  // no such mnemonic
    EXPECT_TRUE(commands().empty());
}

TEST_F(KeyboardButtonsTest, WithoutKeyboardOperationAButtonSeesItsKeysAsAPlainWindowDoes) {
    RecordingWnd plain;
    makeChild(plain, top, 10, 100, 80, 30);
    KeyRecordingButton button{21, L"&Go", font, 80, 30};
    ASSERT_TRUE(button.createAt(110, 100, &top));
    pump();
    const DWORD style = button.GetStyle();
    const std::vector<COLORREF> before = pixels(button.m_hWnd);

    const auto typeKeys = [] {
        tapKey(VK_TAB);
        shiftTab();
        tapKey(VK_SPACE);
        for (int i = 0; i < 3; ++i)
            pressKey(VK_RETURN);
        liftKey(VK_RETURN);
        tapKey(VK_ESCAPE);
        tapKey(VK_DOWN);
        test_support::altKey('G');
        tapKey('G');
    };
    plain.SetFocus();
    typeKeys();
    button.SetFocus();
    typeKeys();

    const Names keys = plain.take({"onKey", "onChar"});
    EXPECT_GE(keys.size(), 20u);
    EXPECT_SEQ(button.calls, keys);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(GetFocus(), button.m_hWnd);
    EXPECT_EQ(button.GetStyle(), style);
    EXPECT_EQ(pixels(button.m_hWnd), before);
}

}  // namespace
