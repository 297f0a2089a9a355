// The component host from the keyboard, among window buttons in one top
// window: Tab walks its components and then the windows, wrapping, in exact
// reverse with Shift; the button keys act on the focused component as on a
// button window; the focused component is always fully in view; the scroll
// keys reach the bars; and nothing shows before a key is pressed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <tessel/components/YBImageButton.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/windows/YBTextButtonWnd.h>

#include "components_test.h"
#include "key_strokes.h"

namespace {

using namespace components_test;
using tessel::testing::pump;
using test_support::altKey;
using test_support::liftKey;
using test_support::pixelsOf;
using test_support::pressKey;
using test_support::shiftTab;
using test_support::tapKey;

constexpr int kComponents = 12;
constexpr unsigned kFirstId = 101;
constexpr unsigned kOkId = kFirstId + 4;     // captioned "&OK"
constexpr COLORREF kPressedFill = 0x80FFFF;  // style 3's box

// Counts the focus messages the host window gets.
class FocusHost : public TestHost {
public:
    int focusMessages = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETFOCUS || message == WM_KILLFOCUS) ++focusMessages;
        return TestHost::WindowProc(message, wParam, lParam);
    }
};

// Twelve text buttons in a host, then two button windows, in one top window.
class KeyboardHostTest : public HostTest {
protected:
    void build(AppWnd& top, bool keyboard) {
        if (keyboard) top.enableKeyboard();
        makeHostIn(top);
        for (int i = 0; i < kComponents; ++i) {
            const std::wstring text =
                kFirstId + i == kOkId ? L"&OK" : L"B" + std::to_wstring(i + 1);
            host.addComponent(new YBTextButton(kFirstId + i, text.c_str(), font, 60, 30, &host),
                              true, true);
        }
        ASSERT_TRUE(one.createAt(0, 120, &top));
        ASSERT_TRUE(two.createAt(100, 120, &top));
        pump();
        top.SetFocus();
        top.commands.clear();
    }
    void makeHostIn(AppWnd& top) {
        host.setInitialSize(260, 100);
        ASSERT_TRUE(host.createAt(0, 0, &top));
        pump();
    }
    YBComponent* component(unsigned id) { return host.getComponentByID(id); }
    // Enter clicks whatever has the focus: its identifier, or 0 when not exactly one command.
    int focusedId() {
        app.commands.clear();
        tapKey(VK_RETURN);
        const int id = app.commands.size() == 1 ? app.commands.front() : 0;
        app.commands.clear();
        return id;
    }
    std::vector<int> walk(int tabs, bool back) {
        std::vector<int> ids;
        for (int i = 0; i < tabs; ++i) {
            back ? shiftTab() : tapKey(VK_TAB);
            ids.push_back(focusedId());
        }
        return ids;
    }

    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
    FocusHost host;
    YBTextButtonWnd one{201, L"One", font, 80, 30};
    YBTextButtonWnd two{202, L"Two", font, 80, 30};
};

TEST_F(KeyboardHostTest, TabVisitsEveryItemOnceWrapsAndShiftTabIsTheExactReverse) {
    build(app, true);
    std::vector<int> order;
    for (int i = 0; i < kComponents; ++i)
        order.push_back(static_cast<int>(kFirstId) + i);
    order.insert(order.end(), {201, 202});

    EXPECT_EQ(walk(14, false), order);
    EXPECT_TRUE(host.GetStyle() & WS_TABSTOP);
    EXPECT_EQ(walk(1, false), std::vector<int>{order.front()});
    EXPECT_EQ(host.focusMessages, 3);  // in, out, in again: none between components
    EXPECT_EQ(walk(14, true), std::vector<int>(order.rbegin(), order.rend()));
}

TEST_F(KeyboardHostTest, DisabledAndHiddenItemsAreNeverVisited) {
    build(app, true);
    component(kFirstId + 2)->enable(false, true);
    component(kFirstId + 6)->hide(true);
    YBComponent::disableAllWithID(kFirstId + 9, true);
    one.disable(true, true);
    const std::vector<int> order{101, 102, 104, 105, 106, 108, 109, 111, 112, 202};
    EXPECT_EQ(walk(10, false), order);
    EXPECT_EQ(walk(10, true), (std::vector<int>{112, 111, 109, 108, 106, 105, 104, 102, 101, 202}));

    // Disabled while it is the next one, and a window hidden: the host, the
    // only tab stop left, takes Tab round its own components.
    EXPECT_EQ(walk(2, false), (std::vector<int>{101, 102}));
    component(kFirstId + 3)->enable(false, true);
    two.ShowWindow(SW_HIDE);
    EXPECT_EQ(walk(8, false), (std::vector<int>{105, 106, 108, 109, 111, 112, 101, 102}));
    EXPECT_EQ(walk(2, true), (std::vector<int>{101, 112}));
    two.ShowWindow(SW_SHOW);

    // A host with nothing to focus is no tab stop.
    for (int i = 0; i < kComponents; ++i)
        component(kFirstId + i)->enable(false, true);
    one.disable(false, true);
    EXPECT_EQ(walk(3, false), (std::vector<int>{201, 202, 201}));
    EXPECT_FALSE(host.GetStyle() & WS_TABSTOP);
}

TEST_F(KeyboardHostTest, TheFocusedComponentTakesSpaceEnterEscapeAndItsMnemonic) {
    build(app, true);
    tapKey(VK_TAB);
    YBComponent* first = component(kFirstId);
    const CRect box = first->rect();

    pressKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    EXPECT_EQ(pixelsOf(host.m_hWnd, CRect(10, 5, 11, 6)), std::vector<COLORREF>{kPressedFill});
    const std::vector<COLORREF> keyPressed = pixelsOf(host.m_hWnd, box);
    tapKey(VK_ESCAPE);
    liftKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());

    // The look of a press of the left button.
    moveTo(app, box.CenterPoint());
    components_test::press();
    EXPECT_EQ(pixelsOf(host.m_hWnd, box), keyPressed);
    moveTo(app, CPoint(390, 290));  // leaving cancels
    components_test::release();
    EXPECT_TRUE(app.commands.empty());

    tapKey(VK_SPACE);
    EXPECT_EQ(app.commands, std::vector<int>{101});
    app.commands.clear();
    for (int i = 0; i < 11; ++i)
        pressKey(VK_SPACE);
    liftKey(VK_SPACE);
    EXPECT_EQ(app.commands, std::vector<int>{101});
    app.commands.clear();
    for (int i = 0; i < 11; ++i)
        pressKey(VK_RETURN);
    liftKey(VK_RETURN);
    EXPECT_EQ(app.commands, std::vector<int>{101});
    app.commands.clear();

    // Tab while pressed: cancelled, and the next component never saw the press.
    pressKey(VK_SPACE);
    tapKey(VK_TAB);
    pressKey(VK_SPACE);
    liftKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    EXPECT_FALSE(first->isPressed());
    EXPECT_FALSE(component(kFirstId + 1)->isPressed());
    EXPECT_EQ(focusedId(), 102);

    // Alt+O clicks "&OK" wherever the focus is, and moves nothing.
    altKey('O');
    EXPECT_EQ(app.commands, std::vector<int>{static_cast<int>(kOkId)});
    EXPECT_EQ(focusedId(), 102);
    component(kOkId)->enable(false, true);
    app.commands.clear();
    altKey('O');
    EXPECT_TRUE(app.commands.empty());
}

TEST_F(KeyboardHostTest, AFocusedComponentThatGoesAwayLeavesNothingBehind) {
    build(app, true);
    for (int i = 0; i < 4; ++i)
        tapKey(VK_TAB);
    const CRect fourth = component(kFirstId + 3)->rect();
    const std::vector<COLORREF> ringed = pixelsOf(host.m_hWnd, fourth);

    component(kFirstId + 3)->hide(true);
    tapKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    component(kFirstId + 3)->show(true);
    EXPECT_EQ(pixelsOf(host.m_hWnd, fourth), ringed);

    component(kFirstId + 3)->enable(false, true);
    tapKey(VK_TAB);  // on from where it was
    EXPECT_EQ(focusedId(), 105);

    host.clearComponents();
    host.addComponent(new YBTextButton(301, L"New", font, 60, 30, &host), true, true);
    pump();
    tapKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    tapKey(VK_TAB);  // the host no longer knows a focused component: it starts again
    EXPECT_EQ(focusedId(), 301);
    tapKey(VK_TAB);
    EXPECT_EQ(focusedId(), 201);
    shiftTab();
    EXPECT_EQ(focusedId(), 301);
}

TEST_F(KeyboardHostTest, NoPixelDiffersUntilAKeyIsPressed) {
    build(app, false);
    const CRect all(0, 0, 400, 300);
    const std::vector<COLORREF> plain = pixelsOf(app.m_hWnd, all);

    AppWnd keyboardApp;
    keyboardApp.setInitialSize(400, 300);
    keyboardApp.enableKeyboard();
    ASSERT_TRUE(keyboardApp.createAt(500, 100, nullptr));
    FocusHost other;
    other.setInitialSize(260, 100);
    ASSERT_TRUE(other.createAt(0, 0, &keyboardApp));
    for (int i = 0; i < kComponents; ++i) {
        const std::wstring text = kFirstId + i == kOkId ? L"&OK" : L"B" + std::to_wstring(i + 1);
        other.addComponent(new YBTextButton(kFirstId + i, text.c_str(), font, 60, 30, &other), true,
                           true);
    }
    YBTextButtonWnd otherOne{201, L"One", font, 80, 30};
    YBTextButtonWnd otherTwo{202, L"Two", font, 80, 30};
    ASSERT_TRUE(otherOne.createAt(0, 120, &keyboardApp));
    ASSERT_TRUE(otherTwo.createAt(100, 120, &keyboardApp));
    other.SetFocus();  // focused, by the program: still no ring
    const std::vector<COLORREF> keyboard = pixelsOf(keyboardApp.m_hWnd, all);

    // Only the "&OK" caption differs: its underline waits for the Alt key.
    const CRect ok = other.getComponentByID(kOkId)->rect();
    std::size_t differing = 0, outsideOk = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == keyboard[i]) continue;
        ++differing;
        const CPoint at(static_cast<int>(i % 400), static_cast<int>(i / 400));
        if (!ok.PtInRect(at)) ++outsideOk;
    }
    EXPECT_GT(differing, 0u);
    EXPECT_EQ(outsideOk, 0u);
    keyboardApp.SetFocus();  // else Alt shows the ring too
    tapKey(VK_MENU);
    EXPECT_EQ(pixelsOf(keyboardApp.m_hWnd, all), plain);
}

TEST_F(KeyboardHostTest, TheScrollKeysMoveTheBarsAsTheBarsOwnCodesDo) {
    app.enableKeyboard();
    host.setFlag(YBBaseWnd::verticalScrollBar, true);
    host.setFlag(YBBaseWnd::horizontalScrollBar, true);
    makeHostIn(app);
    for (int i = 0; i < 40; ++i)
        host.addComponent(new Probe(kFirstId + i, &host, CSize(i == 20 ? 400 : 50, 30)), true,
                          true);
    app.SetFocus();
    tapKey(VK_TAB);
    ASSERT_EQ(GetFocus(), host.m_hWnd);
    const SCROLLINFO start = vbar(host);
    ASSERT_EQ(start.nPos, 0);
    const int line = host.lineHeight();

    tapKey(VK_NEXT);
    EXPECT_EQ(vbar(host).nPos, static_cast<int>(start.nPage) - line);  // a page less a line
    tapKey(VK_DOWN);
    EXPECT_EQ(vbar(host).nPos, static_cast<int>(start.nPage));
    tapKey(VK_UP);
    tapKey(VK_PRIOR);
    EXPECT_EQ(vbar(host).nPos, start.nMin);
    tapKey(VK_END);
    EXPECT_EQ(vbar(host).nPos, start.nMax - static_cast<int>(start.nPage));
    EXPECT_EQ(hbar(host).nPos, hbar(host).nMax - static_cast<int>(hbar(host).nPage));
    tapKey(VK_HOME);
    EXPECT_EQ(vbar(host).nPos, start.nMin);
    EXPECT_EQ(hbar(host).nPos, 0);
    tapKey(VK_RIGHT);
    EXPECT_EQ(hbar(host).nPos, 32);
    tapKey(VK_LEFT);
    EXPECT_EQ(hbar(host).nPos, 0);
    EXPECT_TRUE(app.commands.empty());
}

// Every one of many image buttons is fully in view once Tab reaches it, on
// both axes, and also where the bar counts in units of several pixels.
TEST_F(KeyboardHostTest, EachOf320ImageButtonsIsFullyInViewWhenFocused) {
    struct Scene {
        CSize hostSize;
        CSize buttonSize;
    };
    for (const Scene scene : {Scene{{200, 150}, {45, 36}}, Scene{{200, 300}, {150, 260}}}) {
        FocusHost images;
        images.setFlag(YBBaseWnd::verticalScrollBar, true);
        images.setFlag(YBBaseWnd::horizontalScrollBar, true);
        images.setInitialSize(scene.hostSize.cx, scene.hostSize.cy);
        AppWnd top;
        top.setInitialSize(400, 400);
        top.enableKeyboard();
        ASSERT_TRUE(top.createAt(0, 0, nullptr));
        ASSERT_TRUE(images.createAt(0, 0, &top));
        for (int i = 0; i < 320; ++i) {
            auto* button = new YBImageButton(1000 + i, &images);
            button->setButtonText(L"Image " + kelp::KLString(std::to_wstring(i).c_str()));
            button->setInitialSize(scene.buttonSize.cx + (i % 3) * 5, scene.buttonSize.cy);
            images.addComponent(button, false, false);
            // Too wide to fit, and no button: scrolled to, never focused.
            if (i == 160) images.addComponent(new YBComponent(1, &images), false, false);
        }
        images.getComponent(161)->setInitialSize(scene.hostSize.cx + 60, 10);
        images.onLayoutComponents();
        top.SetFocus();
        pump();
        tapKey(VK_END);  // start from the far corner
        tapKey(VK_TAB);
        const CRect client = clientRect(images);
        int shown = 0;
        for (int i = 0; i < 320; ++i) {
            if (i) tapKey(VK_TAB);
            const CRect r = images.getComponentByID(1000 + i)->rect();
            CRect inside;
            inside.IntersectRect(&r, &client);
            shown += inside == r;
            if (inside != r) ADD_FAILURE() << "button " << i << " at " << r.left << ',' << r.top;
        }
        EXPECT_EQ(shown, 320);
        EXPECT_EQ(images.focusMessages, 1);
    }
}

}  // namespace
