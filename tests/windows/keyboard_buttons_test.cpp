// The button windows from the keyboard, and a top window without keyboard
// operation, whose button sees every key exactly as a plain window does.
#include <gtest/gtest.h>

#include <vector>

#include <tessel/windows/YBTextButtonWnd.h>

#include "key_strokes.h"
#include "recording_window.h"

namespace {

using namespace windows_test;
using namespace test_support;
using tessel::testing::pump;

class KeyboardButtonsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(ok.createAt(10, 10, &top));
        ASSERT_TRUE(cancel.createAt(110, 10, &top));
        pump();
        top.calls.clear();
    }
    void enableKeyboard() {  // the window has the focus, none of its buttons
        top.enableKeyboard();
        top.SetFocus();
    }
    Names commands() { return top.take("onCommand"); }

    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
    YBTextButtonWnd ok{11, L"&OK", font, 80, 30};
    YBTextButtonWnd cancel{12, L"Cancel", font, 80, 30};
};

// Leaving while pressed (Escape, the mouse, Tab) cancels, and the next button
// never saw the press; disabled, nothing sends. (The focus ring and the hidden
// underline are the component host's test: the same cues.)
TEST_F(KeyboardButtonsTest, TheKeysPressAndReleaseAsTheLeftButtonDoesOneCommandEach) {
    enableKeyboard();
    tapKey(VK_TAB);
    ASSERT_EQ(GetFocus(), ok.m_hWnd);
    pressKey(VK_SPACE);
    const std::vector<COLORREF> keyPressed = pixelsOf(ok.m_hWnd);
    tapKey(VK_ESCAPE);
    liftKey(VK_SPACE);
    moveTo(kTopX + 50, kTopY + 25);
    input(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(pixelsOf(ok.m_hWnd), keyPressed);  // the ring stays: the focus does not move
    moveTo(kTopX + 5, kTopY + 200);
    input(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(commands().empty());

    holdKey(VK_SPACE, 10);
    holdKey(VK_RETURN, 10);
    ok.SendMessage(BM_CLICK);
    EXPECT_SEQ(commands(), {"onCommand(11)", "onCommand(11)", "onCommand(11)"});
    pressKey(VK_SPACE);
    tapKey(VK_TAB);
    pressKey(VK_SPACE);  // still held: an auto-repeat at the new focus
    liftKey(VK_SPACE);
    EXPECT_TRUE(commands().empty());
    altKey('O');  // the mnemonic clicks without moving the focus
    altKey('X');  // nobody's
    EXPECT_SEQ(commands(), {"onCommand(11)"});
    cancel.disable(true, true);
    tapKey(VK_RETURN);
    cancel.SendMessage(BM_CLICK);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(GetFocus(), cancel.m_hWnd);
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

TEST_F(KeyboardButtonsTest, WithoutKeyboardOperationAButtonSeesItsKeysAsAPlainWindowDoes) {
    RecordingWnd plain;
    makeChild(plain, top, 10, 100, 80, 30);
    KeyRecordingButton button{21, L"&Go", font, 80, 30};
    ASSERT_TRUE(button.createAt(110, 100, &top));
    const std::vector<COLORREF> before = pixelsOf(button.m_hWnd);
    for (CWnd* focus : {static_cast<CWnd*>(&plain), static_cast<CWnd*>(&button)}) {
        focus->SetFocus();
        for (const WORD vk : {VK_TAB, VK_SPACE, VK_RETURN, VK_RETURN, VK_ESCAPE})
            pressKey(vk);
        for (const WORD vk : {VK_TAB, VK_SPACE, VK_RETURN, VK_ESCAPE})
            liftKey(vk);
        altKey('G');
    }
    const Names keys = plain.take({"onKey", "onChar"});
    EXPECT_GE(keys.size(), 12u);
    EXPECT_SEQ(button.calls, keys);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(GetFocus(), button.m_hWnd);
    EXPECT_EQ(pixelsOf(button.m_hWnd), before);
}

}  // namespace
