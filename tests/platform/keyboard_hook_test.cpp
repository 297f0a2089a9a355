// The low-level keyboard hook: every key SendInput takes passes the hooks,
// newest first, before the window system sees it; a hook can swallow it.
#include <gtest/gtest.h>

#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_recorder.h"

namespace {

using namespace recording;
using test_support::call;

constexpr DWORD kA = 'A', kB = 'B';
Names g_seen;
HHOOK g_swallower = nullptr;
HHOOK g_watcher = nullptr;

// The older hook: keeps 'A' from everyone.
LRESULT CALLBACK swallowA(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && key->vkCode == kA) return 1;
    return CallNextHookEx(g_swallower, code, wParam, lParam);
}

// The newer hook: sees every key first, with what Windows tells about it.
LRESULT CALLBACK watchKeys(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    g_seen.push_back(
        call(messageName(static_cast<UINT>(wParam)).c_str(), key->vkCode,
             key->flags & (LLKHF_INJECTED | LLKHF_ALTDOWN | LLKHF_UP | LLKHF_EXTENDED)));
    return CallNextHookEx(g_watcher, code, wParam, lParam);
}

class KeyboardHookTest : public RecorderTest {
protected:
    void TearDown() override {
        UnhookWindowsHookEx(g_watcher);
        UnhookWindowsHookEx(g_swallower);
        RecorderTest::TearDown();
    }
    static void key(WORD vk, DWORD flags = 0) { tessel::sendKeyInput(vk, 0, flags); }
};

TEST_F(KeyboardHookTest, AHookSwallowsItsKeyAndPassesTheOthers) {
    EXPECT_FALSE(SetWindowsHookExW(WH_KEYBOARD_LL, swallowA, nullptr, GetCurrentThreadId()));
    g_swallower = SetWindowsHookExW(WH_KEYBOARD_LL, swallowA, nullptr, 0);
    g_watcher = SetWindowsHookExW(WH_KEYBOARD_LL, watchKeys, nullptr, 0);
    ASSERT_TRUE(g_swallower && g_watcher);
    HWND focus = child(10, 10, 50, 50);
    SetFocus(focus);
    g_seen.clear();
    g_log.clear();

    key('A');
    tessel::testing::pump();
    EXPECT_FALSE(GetKeyState('A') & 0x8000);  // the window system never saw it go down
    key('A', KEYEVENTF_KEYUP);
    key('B');
    key(VK_RIGHT, KEYEVENTF_EXTENDEDKEY);
    key('B', KEYEVENTF_KEYUP);
    key(VK_MENU);
    key('B');
    key('B', KEYEVENTF_KEYUP);
    key(VK_MENU, KEYEVENTF_KEYUP);
    tessel::testing::pump();
    const auto injected = LLKHF_INJECTED, alt = LLKHF_ALTDOWN, up = LLKHF_UP;
    EXPECT_SEQ(
        g_seen,
        {call("WM_KEYDOWN", kA, injected), call("WM_KEYUP", kA, injected | up),
         call("WM_KEYDOWN", kB, injected), call("WM_KEYDOWN", VK_RIGHT, injected | LLKHF_EXTENDED),
         call("WM_KEYUP", kB, injected | up), call("WM_SYSKEYDOWN", VK_MENU, injected | alt),
         call("WM_SYSKEYDOWN", kB, injected | alt), call("WM_SYSKEYUP", kB, injected | alt | up),
         call("WM_KEYUP", VK_MENU, injected | up)});
    Names keys;
    for (const Record& r : calls({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}))
        keys.push_back(call(messageName(r.message).c_str(), r.wParam));
    const WPARAM b = kB;
    EXPECT_SEQ(keys, {call("WM_KEYDOWN", b), call("WM_KEYDOWN", VK_RIGHT), call("WM_KEYUP", b),
                      call("WM_SYSKEYDOWN", VK_MENU), call("WM_SYSKEYDOWN", b),
                      call("WM_SYSKEYUP", b), call("WM_KEYUP", VK_MENU)});
    EXPECT_EQ(count(focus, WM_CHAR), 1);  // 'b' alone: Alt+B makes a WM_SYSCHAR

    EXPECT_TRUE(UnhookWindowsHookEx(g_swallower));
    g_log.clear();
    key('A');
    key('A', KEYEVENTF_KEYUP);
    tessel::testing::pump();
    EXPECT_EQ(count(focus, WM_KEYDOWN), 1);
    EXPECT_EQ(count(focus, WM_KEYUP), 1);
}

}  // namespace
