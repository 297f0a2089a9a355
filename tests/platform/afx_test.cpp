#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <tessel/platform/afx_app.h>
#include <tessel/platform/afx_window_dc.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

namespace {

class Probe : public CWnd {
public:
    std::vector<UINT> commands;
    std::vector<int> actions;  // 1 press, 0 release, 2 double click
    std::vector<UINT> appMessages;
    bool created = false;
    COLORREF paint = RGB(0, 128, 0);

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message >= WM_APP && msg->message < 0xC000) {
            appMessages.push_back(msg->message);
            return TRUE;
        }
        return CWnd::PreTranslateMessage(msg);
    }

protected:
    int OnCreate(LPCREATESTRUCT) {
        created = true;
        return 0;
    }
    void OnPaint() {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, paint);
    }
    void OnLButtonDown(UINT, CPoint) { actions.push_back(1); }
    void OnLButtonUp(UINT, CPoint) { actions.push_back(0); }
    void OnLButtonDblClk(UINT, CPoint) { actions.push_back(2); }
    void OnCmd(UINT id) { commands.push_back(id); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_COMMAND_RANGE(1, 60000, OnCmd)
END_MESSAGE_MAP()

void click() {
    tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
    tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
}

TEST(Afx, MessageMapsCrackMessagesAndPaintThroughCPaintDC) {
    tessel::testing::useVirtualClock();
    CWnd top;
    ASSERT_TRUE(
        top.CreateEx(0, nullptr, L"top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    auto probe = std::make_unique<Probe>();
    ASSERT_TRUE(probe->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, top.m_hWnd,
                                nullptr));
    EXPECT_TRUE(probe->created);
    EXPECT_EQ(CWnd::FromHandlePermanent(probe->m_hWnd), probe.get());
    tessel::testing::pump();
    CClientDC dc(&top);
    EXPECT_EQ(dc.GetPixel(20, 20), RGB(0, 128, 0));

    SetCursorPos(30, 30);
    click();
    tessel::testing::advanceClock(50);
    click();
    tessel::testing::pump();
    EXPECT_EQ(probe->actions, (std::vector<int>{1, 0, 2, 0}));

    // Commands: identifiers 1..60000 with code 0 reach the range handler.
    probe->SendMessage(WM_COMMAND, MAKELONG(7, 0), 0);
    probe->SendMessage(WM_COMMAND, MAKELONG(0, 0), 0);
    probe->SendMessage(WM_COMMAND, MAKELONG(60001 & 0xFFFF, 0), 0);
    probe->SendMessage(WM_COMMAND, MAKELONG(8, 1), 0);
    EXPECT_EQ(probe->commands, (std::vector<UINT>{7}));

    // Posted application messages are taken by PreTranslateMessage before dispatch.
    for (UINT m : {0x7FFFu, 0x8000u, 0xBFFFu, 0xC000u})
        probe->PostMessage(m, 0, 0);
    tessel::testing::pump();
    EXPECT_EQ(probe->appMessages, (std::vector<UINT>{0x8000u, 0xBFFFu}));

    // Deleting the object destroys its window first.
    HWND window = probe->m_hWnd;
    probe.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    tessel::testing::advanceClock(1000);
}

class Painted : public Probe {
public:
    int lowered = 0;

protected:
    void OnPaint() {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(200, 0, 0));
    }
    void OnLButtonUp(UINT, CPoint) { ++lowered; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Painted, Probe)
ON_WM_PAINT()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

TEST(Afx, DerivedMapsWinAndHandlesFollowTheirObjects) {
    tessel::testing::useVirtualClock();
    CWnd top;
    ASSERT_TRUE(
        top.CreateEx(0, nullptr, L"top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    Painted painted;
    ASSERT_TRUE(painted.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50,
                                 top.m_hWnd, nullptr));
    tessel::testing::pump();
    CClientDC dc(&top);
    EXPECT_EQ(dc.GetPixel(20, 20), RGB(200, 0, 0));  // its own OnPaint, not the base's
    SetCursorPos(30, 30);
    click();
    tessel::testing::pump();
    // The press reaches the base's handler, the release only the derived one's.
    EXPECT_EQ(painted.actions, (std::vector<int>{1}));
    EXPECT_EQ(painted.lowered, 1);

    // The handle answers whichever object holds it now, asked again and again.
    const HWND window = painted.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(window), &painted);
    painted.Detach();
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    Probe other;
    other.Attach(window);
    EXPECT_EQ(CWnd::FromHandlePermanent(window), &other);
    EXPECT_EQ(CWnd::FromHandlePermanent(window), &other);
    other.DestroyWindow();
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    tessel::testing::advanceClock(1000);
}

TEST(Afx, DefaultCloseDestroysAndTemporariesOwnNothing) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    HWND window = wnd.m_hWnd;
    CWnd* temporary = CWnd::FromHandle(window);
    EXPECT_EQ(temporary, &wnd);  // the permanent object, not a wrapper
    HWND plain = CreateWindowExW(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 5, 5, nullptr,
                                 nullptr, nullptr, nullptr);
    CWnd* wrapper = CWnd::FromHandle(plain);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    CWnd::DeleteTempMap();  // dropping the wrapper leaves the window alone
    EXPECT_TRUE(IsWindow(plain));
    DestroyWindow(plain);
    wnd.SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(AfxRegisterWndClass(CS_DBLCLKS, nullptr, nullptr, nullptr),
              AfxRegisterWndClass(CS_DBLCLKS, nullptr, nullptr, nullptr));
}

TEST(Afx, ModuleStateDecidesWhichApplicationIsCurrent) {
    CWinApp hostApp(L"host");
    EXPECT_EQ(AfxGetApp(), &hostApp);
    static AFX_MODULE_STATE library(TRUE, AfxWndProc, 0x0A00);
    {
        AFX_MANAGE_STATE(&library);
        CWinApp libraryApp(L"library");
        EXPECT_EQ(AfxGetApp(), &libraryApp);
        EXPECT_TRUE(AfxWinInit(reinterpret_cast<HINSTANCE>(0x1234), nullptr, nullptr, 0));
        EXPECT_EQ(AfxGetInstanceHandle(), reinterpret_cast<HINSTANCE>(0x1234));
        AFX_EXTENSION_MODULE extension;
        AfxInitExtensionModule(extension, reinterpret_cast<HMODULE>(0x1234));
        new CDynLinkLibrary(extension);
        EXPECT_EQ(AfxGetAppModuleState()->m_libraries.size(), 1u);
        AfxTermExtensionModule(extension, TRUE);
        EXPECT_TRUE(AfxGetAppModuleState()->m_libraries.empty());
        AfxWinTerm();
    }
    EXPECT_EQ(AfxGetApp(), &hostApp);
}

// An object that deletes itself from inside its own click handler, as a
// closing button might: the window goes with it and nothing dangles.
class SelfDeleting : public CWnd {
public:
    static inline int alive = 0;
    SelfDeleting() { ++alive; }
    ~SelfDeleting() override { --alive; }

protected:
    void OnLButtonDown(UINT, CPoint) { delete this; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfDeleting, CWnd)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

TEST(Afx, AnObjectDeletedInItsOwnHandlerTakesItsWindow) {
    CWnd top;
    ASSERT_TRUE(
        top.CreateEx(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
    auto* victim = new SelfDeleting;
    ASSERT_TRUE(victim->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top.m_hWnd,
                                 nullptr));
    HWND window = victim->m_hWnd;
    SetCursorPos(10, 10);
    click();
    tessel::testing::pump();
    EXPECT_EQ(SelfDeleting::alive, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindow(top.m_hWnd));
}

}  // namespace
