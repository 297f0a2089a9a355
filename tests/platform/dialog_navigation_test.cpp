#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include <tessel/platform/afx_app.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "key_strokes.h"
#include "message_recorder.h"

namespace {
using namespace recording;
using namespace test_support;

HWND g_dialog = nullptr;

bool dialogFirst(MSG* msg) {
    return IsDialogMessageW(g_dialog, msg) || AfxPreTranslateMessage(msg);
}

bool framework(MSG* msg) {
    return AfxPreTranslateMessage(msg) != FALSE;
}

class DialogNavigationTest : public RecorderTest {
protected:
    void SetUp() override {
        RecorderTest::SetUp();
        g_dialog = top;
        tessel::testing::setPreTranslate(&dialogFirst);
    }
    void TearDown() override {
        tessel::testing::setPreTranslate(&framework);
        RecorderTest::TearDown();
    }
    HWND control(LPCWSTR text, DWORD style, HWND parent = {}, DWORD exStyle = 0, int id = 0) {
        return CreateWindowExW(exStyle, L"Recorder", text, WS_CHILD | style, 0, 0, 20, 20,
                               parent ? parent : top,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    static void answerDlgCode(HWND w, UINT code) {
        g_hooks[w] = [code](UINT m, WPARAM, LPARAM, LRESULT* result) {
            *result = code;
            return m == WM_GETDLGCODE;
        };
    }
    static Records to(HWND w, const Messages& wanted) {
        Records out;
        std::ranges::copy_if(calls(wanted), std::back_inserter(out),
                             [w](const Record& r) { return r.window == w; });
        return out;
    }
};

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;

TEST_F(DialogNavigationTest, TabVisitsNestedContainersInOrderAndShiftTabReverses) {
    const HWND first = control(L"", kTab);
    const HWND outer = control(L"", kShown, top, WS_EX_CONTROLPARENT);
    const HWND inOuter = control(L"", kTab, outer);
    control(L"", WS_TABSTOP, outer);                                    // hidden
    const HWND inner = control(L"", kTab, outer, WS_EX_CONTROLPARENT);  // a container, not a stop
    const HWND inInner = control(L"", kTab, inner);
    control(L"", kTab | WS_DISABLED, inner);
    control(L"", kTab | WS_DISABLED);
    control(L"", kShown);  // no tab stop
    const HWND hiddenBox = control(L"", WS_TABSTOP, top, WS_EX_CONTROLPARENT);
    control(L"", kTab, hiddenBox);
    const HWND disabledBox = control(L"", kShown | WS_DISABLED, top, WS_EX_CONTROLPARENT);
    control(L"", kTab, disabledBox);
    const HWND last = control(L"", kTab);

    EXPECT_EQ(GetNextDlgTabItem(top, nullptr, FALSE), first);
    EXPECT_EQ(GetNextDlgTabItem(top, nullptr, TRUE), last);
    EXPECT_EQ(GetNextDlgTabItem(top, inner, FALSE), last);  // after a container: past its children
    const HWND stranger = topLevel(0, 0, 10, 10);
    EXPECT_EQ(GetNextDlgTabItem(top, stranger, FALSE), first);
    EXPECT_EQ(GetNextDlgTabItem(top, stranger, TRUE), last);
    DestroyWindow(stranger);

    SetFocus(first);
    g_log.clear();
    std::vector<HWND> visited;
    for (int i = 0; i < 8; ++i) {
        i < 4 ? tapKey(VK_TAB) : shifted(VK_TAB);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited,
              (std::vector<HWND>{inOuter, inInner, last, first, last, inInner, inOuter, first}));
    // The Tab was navigation, not a key or a character.
    EXPECT_TRUE(std::ranges::none_of(calls({WM_KEYDOWN, WM_CHAR}),
                                     [](const Record& r) { return r.wParam == VK_TAB; }));

    // A control that wants Tab and the arrows keeps them, as keys and a character.
    answerDlgCode(inInner, DLGC_WANTTAB | DLGC_WANTARROWS);
    SetFocus(inInner);
    g_log.clear();
    tapKey(VK_TAB);
    tapKey(VK_DOWN);
    EXPECT_EQ(GetFocus(), inInner);
    EXPECT_SEQ(to(inInner, {WM_KEYDOWN, WM_CHAR}), {{inInner, WM_KEYDOWN, VK_TAB, 1},
                                                    {inInner, WM_CHAR, L'\t', 1},
                                                    {inInner, WM_KEYDOWN, VK_DOWN, 1}});

    // No tab item at all: the control itself, or nothing.
    EnableWindow(outer, FALSE);
    ShowWindow(first, SW_HIDE);
    ShowWindow(last, SW_HIDE);
    EXPECT_EQ(GetNextDlgTabItem(top, first, FALSE), first);
    EXPECT_EQ(GetNextDlgTabItem(top, nullptr, FALSE), nullptr);
}

TEST_F(DialogNavigationTest, ArrowsStayInTheirGroupAndWrapThere) {
    const HWND a1 = control(L"", kTab | WS_GROUP);
    const HWND a2 = control(L"", kShown);
    control(L"", kShown | WS_DISABLED);
    const HWND a4 = control(L"", kShown);
    const HWND b1 = control(L"", kTab | WS_GROUP);
    const HWND b2 = control(L"", kShown);

    EXPECT_EQ(GetNextDlgGroupItem(top, b2, FALSE), b1);
    EXPECT_EQ(GetNextDlgGroupItem(top, b1, TRUE), b2);
    EXPECT_EQ(GetNextDlgGroupItem(top, nullptr, FALSE), a1);
    EXPECT_EQ(GetNextDlgGroupItem(top, nullptr, TRUE), nullptr);

    SetFocus(a2);  // the disabled one after it is skipped
    std::vector<HWND> visited;
    for (const WORD key : {VK_DOWN, VK_RIGHT, VK_DOWN, VK_UP, VK_LEFT}) {
        tapKey(key);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited, (std::vector<HWND>{a4, a1, a2, a1, a4}));
}

// Enter and Escape command the dialog or click the focused button; Alt and a
// letter, or the letter alone where the focus takes no characters, reach the
// mnemonic after the focus; controls that ask for the keys keep them.
TEST_F(DialogNavigationTest, EnterEscapeAndMnemonicsCommandOrClick) {
    const HWND edit = control(L"", kTab);
    const HWND label = control(L"&Name", kShown);
    const HWND name = control(L"", kTab);
    const HWND fish = control(L"Fish && &Chips", kTab);
    const HWND ok = control(L"&OK", kTab, top, 0, IDOK);
    const HWND other = control(L"&Other", kTab);
    answerDlgCode(label, DLGC_STATIC);
    answerDlgCode(fish, DLGC_BUTTON);
    answerDlgCode(ok, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    SetFocus(edit);
    g_log.clear();
    tapKey(VK_RETURN);
    tapKey(VK_ESCAPE);
    EXPECT_SEQ(to(top, {WM_COMMAND}),
               {{top, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok)},
                {top, WM_COMMAND, IDCANCEL, 0}});
    EXPECT_TRUE(calls({WM_KEYDOWN, WM_CHAR, BM_CLICK}).empty());

    // Alt, O down and up, Alt up: system keys with the Alt context, the
    // character goes to the button as a click, Alt's own release is plain.
    g_log.clear();
    altKey('O');
    constexpr LPARAM kAlt = LPARAM{KF_ALTDOWN} << 16, kUp = LPARAM{KF_REPEAT | KF_UP} << 16;
    EXPECT_SEQ(to(edit, {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR, WM_CHAR}),
               {{edit, WM_SYSKEYDOWN, VK_MENU, 1 | kAlt},
                {edit, WM_SYSKEYDOWN, 'O', 1 | kAlt},
                {edit, WM_SYSKEYUP, 'O', 1 | kAlt | kUp},
                {edit, WM_KEYUP, VK_MENU, 1 | kUp}});
    EXPECT_EQ(GetFocus(), edit);
    // A plain letter is a mnemonic too where the focus takes no characters.
    tapKey('O');
    EXPECT_SEQ(calls(BM_CLICK), {{ok, BM_CLICK, 0, 0}, {ok, BM_CLICK, 0, 0}});

    // From the button Enter clicks it, and the search goes on past it; case
    // does not matter.
    SetFocus(ok);
    g_log.clear();
    tapKey(VK_RETURN);
    altKey('O');
    EXPECT_EQ(GetFocus(), other);
    EXPECT_SEQ(calls({WM_COMMAND, BM_CLICK}), {{ok, BM_CLICK, 0, 0}});
    // "&&" is an ampersand; the C after the single one is the mnemonic.
    g_log.clear();
    altKey('C');
    EXPECT_SEQ(calls(BM_CLICK), {{fish, BM_CLICK, 0, 0}});
    // A label hands the focus on to the tab item after it.
    altKey('N');
    EXPECT_EQ(GetFocus(), name);
    // Alt alone: down and up both system keys.
    g_log.clear();
    tapKey(VK_MENU);
    tapKey(VK_F10);  // a system key without Alt
    EXPECT_SEQ(to(name, {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}),
               {{name, WM_SYSKEYDOWN, VK_MENU, 1 | kAlt},
                {name, WM_SYSKEYUP, VK_MENU, 1 | kUp},
                {name, WM_SYSKEYDOWN, VK_F10, 1},
                {name, WM_SYSKEYUP, VK_F10, 1 | kUp}});

    // Characters, then Enter and Escape, stay with a control that asks for them.
    answerDlgCode(edit, DLGC_WANTCHARS);
    SetFocus(edit);
    g_log.clear();
    tapKey('O');
    answerDlgCode(edit, DLGC_WANTMESSAGE);
    tapKey(VK_RETURN);
    tapKey(VK_ESCAPE);
    EXPECT_TRUE(calls({WM_COMMAND, BM_CLICK}).empty());
    EXPECT_SEQ(to(edit, {WM_CHAR}),
               {{edit, WM_CHAR, L'o', 1}, {edit, WM_CHAR, L'\r', 1}, {edit, WM_CHAR, 0x1B, 1}});
    // Without dialog navigation Alt+O is only keys and a system character,
    // and neither Alt nor Tab touches the keyboard cues.
    tessel::testing::setPreTranslate(&framework);
    g_log.clear();
    altKey('O');
    tapKey(VK_TAB);
    EXPECT_TRUE(calls({BM_CLICK, WM_CHANGEUISTATE, WM_UPDATEUISTATE}).empty());
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_SEQ(to(edit, {WM_SYSCHAR}), {{edit, WM_SYSCHAR, L'o', 1 | kAlt}});

    // A control that closes the dialog while it is asked about the key.
    tessel::testing::setPreTranslate(&dialogFirst);
    g_hooks[edit] = [&](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_GETDLGCODE) DestroyWindow(top);
        return false;
    };
    tapKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(top));
}

TEST_F(DialogNavigationTest, KeyboardCuesHideUntilTheKeyboardIsUsedAndAltF4Closes) {
    const HWND box = control(L"", kShown, top, WS_EX_CONTROLPARENT);
    const HWND a = control(L"", kTab, box);
    const HWND b = control(L"", kTab);
    constexpr LRESULT kHidden = UISF_HIDEFOCUS | UISF_HIDEACCEL;
    const std::vector<HWND> tree{top, box, a, b};
    auto states = [&] {
        std::vector<LRESULT> out;
        for (const HWND w : tree)
            out.push_back(SendMessageW(w, WM_QUERYUISTATE, 0, 0));
        return out;
    };
    EXPECT_EQ(states(), std::vector<LRESULT>(4, kHidden));
    click(150, 150);
    SetFocus(a);
    tessel::testing::pump();
    EXPECT_TRUE(calls({WM_CHANGEUISTATE, WM_UPDATEUISTATE}).empty());

    g_log.clear();
    tapKey(VK_TAB);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(states(), std::vector<LRESULT>(4, UISF_HIDEACCEL));
    const WPARAM showFocus = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
    for (const HWND w : tree)
        EXPECT_EQ(to(w, {WM_UPDATEUISTATE}), (Records{{w, WM_UPDATEUISTATE, showFocus, 0}}));
    EXPECT_EQ(calls(WM_CHANGEUISTATE).front(), (Record{top, WM_CHANGEUISTATE, showFocus, 0}));

    // Nothing changes: no update goes out.
    g_log.clear();
    tapKey(VK_TAB);
    EXPECT_TRUE(calls(WM_UPDATEUISTATE).empty());
    // Alt shows the mnemonics.
    tapKey(VK_MENU);
    EXPECT_EQ(states(), std::vector<LRESULT>(4, 0));

    // A child's request goes to the top-level window; UIS_INITIALIZE follows
    // the last input, here the mouse.
    SendMessageW(a, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL), 0);
    EXPECT_EQ(states(), std::vector<LRESULT>(4, UISF_HIDEACCEL));
    click(150, 150);
    SendMessageW(a, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(states(), std::vector<LRESULT>(4, kHidden));
    // Children made later take their parent's state.
    EXPECT_EQ(SendMessageW(control(L"", kShown, box), WM_QUERYUISTATE, 0, 0), kHidden);

    // Alt+F4 from the focus closes the top-level window.
    SetFocus(b);
    g_log.clear();
    altKey(VK_F4);
    EXPECT_SEQ(to(top, {WM_SYSCOMMAND, WM_CLOSE}),
               {{top, WM_SYSCOMMAND, SC_CLOSE, 0}, {top, WM_CLOSE, 0, 0}});
    EXPECT_FALSE(IsWindow(top));
}

}  // namespace
