// The component host from the keyboard, among window buttons in one top
// window: Tab walks its components and then the windows, wrapping, in exact
// reverse with Shift; the button keys act on the focused component as on a
// button window; the focused component is always fully in view; the scroll
// keys reach the bars; and nothing shows before a key is pressed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <tessel/components/YBImageButton.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/windows/YBTextButtonWnd.h>

#include "components_test.h"
#include "key_strokes.h"

namespace {

using namespace components_test;
using namespace test_support;

constexpr int kFirstId = 101;
constexpr int kOkId = kFirstId + 4;  // captioned "&OK"

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
struct Scene {
    explicit Scene(AppWnd& top) {
        host.setInitialSize(260, 100);
        EXPECT_TRUE(host.createAt(0, 0, &top));
        for (int id = kFirstId; id < kFirstId + 12; ++id) {
            const std::wstring text = id == kOkId ? L"&OK" : L"B" + std::to_wstring(id);
            host.addComponent(new YBTextButton(id, text.c_str(), font, 60, 30, &host), true, true);
        }
        EXPECT_TRUE(one.createAt(0, 120, &top));
        EXPECT_TRUE(two.createAt(100, 120, &top));
        pump();
    }
    YBComponent& component(int id) { return *host.getComponentByID(static_cast<unsigned>(id)); }

    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
    FocusHost host;
    YBTextButtonWnd one{201, L"One", font, 80, 30};
    YBTextButtonWnd two{202, L"Two", font, 80, 30};
};

class KeyboardHostTest : public HostTest {
protected:
    Scene& build() {
        app.enableKeyboard();
        scene = std::make_unique<Scene>(app);
        app.SetFocus();
        return *scene;
    }
    // Enter clicks whatever has the focus: its identifier, or 0 when not exactly one command.
    int focusedId() {
        app.commands.clear();
        tapKey(VK_RETURN);
        const int id = app.commands.size() == 1 ? app.commands.front() : 0;
        app.commands.clear();
        return id;
    }
    std::vector<int> walk(int tabs, bool back = false) {
        std::vector<int> ids;
        for (int i = 0; i < tabs; ++i) {
            back ? shiftTab() : tapKey(VK_TAB);
            ids.push_back(focusedId());
        }
        return ids;
    }

    std::unique_ptr<Scene> scene;
};

TEST_F(KeyboardHostTest, TabVisitsEveryLiveItemOnceWrapsAndShiftTabIsTheExactReverse) {
    Scene& s = build();
    std::vector<int> order;
    for (int id = kFirstId; id < kFirstId + 12; ++id)
        order.push_back(id);
    order.insert(order.end(), {201, 202});

    EXPECT_EQ(walk(14), order);
    EXPECT_EQ(walk(1), std::vector<int>{kFirstId});
    EXPECT_EQ(s.host.focusMessages, 3);  // in, out, in again: none between components
    order.insert(order.begin(), 202);  // backwards past the first: round to the last
    EXPECT_EQ(walk(15, true), std::vector<int>(order.rbegin(), order.rend()));

    // Disabled and hidden items are never visited.
    s.component(103).enable(false, true);
    s.component(107).hide(true);
    YBComponent::disableAllWithID(110, true);
    s.one.disable(true, true);
    EXPECT_EQ(walk(10), (std::vector<int>{101, 102, 104, 105, 106, 108, 109, 111, 112, 202}));

    // Disabled while it is the next one, and a window hidden: the host, the
    // only tab stop left, takes Tab round its own components.
    EXPECT_EQ(walk(1), std::vector<int>{101});
    s.component(102).enable(false, true);
    s.two.ShowWindow(SW_HIDE);
    EXPECT_EQ(walk(8), (std::vector<int>{104, 105, 106, 108, 109, 111, 112, 101}));
    EXPECT_EQ(walk(2, true), (std::vector<int>{112, 111}));

    // A host with nothing to focus is no tab stop.
    for (int id = kFirstId; id < kFirstId + 12; ++id)
        s.component(id).enable(false, true);
    s.one.disable(false, true);
    s.two.ShowWindow(SW_SHOW);
    EXPECT_EQ(walk(3), (std::vector<int>{201, 202, 201}));
}

TEST_F(KeyboardHostTest, TheFocusedComponentTakesTheButtonKeysAndItsMnemonic) {
    Scene& s = build();
    tapKey(VK_TAB);
    const CRect box = s.component(kFirstId).rect();

    pressKey(VK_SPACE);
    EXPECT_EQ(pixelsOf(s.host.m_hWnd, CRect(10, 5, 11, 6)), std::vector<COLORREF>{0x80FFFF});
    const std::vector<COLORREF> keyPressed = pixelsOf(s.host.m_hWnd, box);
    tapKey(VK_ESCAPE);
    liftKey(VK_SPACE);
    moveTo(app, box.CenterPoint());
    press();
    EXPECT_EQ(pixelsOf(s.host.m_hWnd, box), keyPressed);  // as the left button presses
    moveTo(app, CPoint(390, 290));                        // leaving cancels
    release();
    EXPECT_TRUE(app.commands.empty());

    holdKey(VK_SPACE, 10);
    holdKey(VK_RETURN, 10);
    EXPECT_EQ(app.commands, (std::vector<int>{101, 101}));
    app.commands.clear();

    // Tab while pressed: cancelled, and the next component never saw the press.
    pressKey(VK_SPACE);
    tapKey(VK_TAB);
    pressKey(VK_SPACE);
    liftKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    EXPECT_FALSE(s.component(101).isPressed() || s.component(102).isPressed());

    // Alt+O clicks "&OK" wherever the focus is, and moves nothing; not once disabled.
    altKey('O');
    EXPECT_EQ(app.commands, std::vector<int>{kOkId});
    EXPECT_EQ(focusedId(), 102);
    s.component(kOkId).enable(false, true);
    altKey('O');
    EXPECT_TRUE(app.commands.empty());
}

TEST_F(KeyboardHostTest, AFocusedComponentThatGoesAwayLeavesNothingBehind) {
    Scene& s = build();
    walk(4);
    const CRect fourth = s.component(104).rect();
    const std::vector<COLORREF> ringed = pixelsOf(s.host.m_hWnd, fourth);
    s.component(104).hide(true);
    tapKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    s.component(104).show(true);
    EXPECT_EQ(pixelsOf(s.host.m_hWnd, fourth), ringed);
    s.component(104).enable(false, true);
    EXPECT_EQ(walk(1), std::vector<int>{105});  // on from where it was

    s.host.clearComponents();
    s.host.addComponent(new YBTextButton(301, L"New", s.font, 60, 30, &s.host), true, true);
    tapKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    EXPECT_EQ(walk(2), (std::vector<int>{301, 201}));
}

TEST_F(KeyboardHostTest, NoPixelDiffersUntilAKeyIsPressed) {
    const Scene plain(app);
    const std::vector<COLORREF> before = pixelsOf(app.m_hWnd, CRect(0, 0, 400, 300));

    AppWnd other;
    other.setInitialSize(400, 300);
    other.enableKeyboard();
    ASSERT_TRUE(other.createAt(500, 100, nullptr));
    Scene keyboard(other);
    keyboard.host.SetFocus();  // by the program: still no ring
    const std::vector<COLORREF> after = pixelsOf(other.m_hWnd, CRect(0, 0, 400, 300));

    // Only the "&OK" caption differs: its underline waits for the Alt key.
    const CRect ok = keyboard.component(kOkId).rect();
    int differing = 0, outsideOk = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const CPoint at(static_cast<int>(i % 400), static_cast<int>(i / 400));
        differing += before[i] != after[i];
        outsideOk += before[i] != after[i] && !ok.PtInRect(at);
    }
    EXPECT_GT(differing, 0);
    EXPECT_EQ(outsideOk, 0);
    other.SetFocus();  // else Alt shows the ring too
    tapKey(VK_MENU);
    EXPECT_EQ(pixelsOf(other.m_hWnd, CRect(0, 0, 400, 300)), before);
}

TEST_F(KeyboardHostTest, TheScrollKeysMoveTheBarsAsTheBarsOwnCodesDo) {
    app.enableKeyboard();
    TestHost host;
    host.setFlag(YBBaseWnd::verticalScrollBar, true);
    host.setFlag(YBBaseWnd::horizontalScrollBar, true);
    makeHost(host, 0, 0, 260, 100, true);
    for (int i = 0; i < 40; ++i)
        host.addComponent(new Probe(kFirstId + i, &host, CSize(i == 20 ? 400 : 50, 30)), true,
                          true);
    app.SetFocus();
    tapKey(VK_TAB);
    const SCROLLINFO start = bar(host);
    const int page = static_cast<int>(start.nPage);
    const int hEnd = bar(host, SB_HORZ).nMax - static_cast<int>(bar(host, SB_HORZ).nPage);

    // The host's own steps: a page less a line, and the end where the last row shows.
    const std::vector<std::tuple<WORD, int, int>> steps{
        {VK_NEXT, page - host.lineHeight(), 0}, {VK_DOWN, page, 0},
        {VK_UP, page - host.lineHeight(), 0},   {VK_PRIOR, start.nMin, 0},
        {VK_END, start.nMax - page, hEnd},      {VK_HOME, start.nMin, 0},
        {VK_RIGHT, start.nMin, 32},             {VK_LEFT, start.nMin, 0}};
    for (const auto& [key, v, h] : steps) {
        tapKey(key);
        EXPECT_EQ(CPoint(bar(host).nPos, bar(host, SB_HORZ).nPos), CPoint(v, h)) << key;
    }
    EXPECT_TRUE(app.commands.empty());
}

// Also where a bar counts in units of several pixels.
TEST_F(KeyboardHostTest, EachOf320ImageButtonsIsFullyInViewWhenFocused) {
    for (const auto& [hostSize, buttonSize] :
         {std::pair{CSize(200, 150), CSize(45, 36)}, std::pair{CSize(200, 300), CSize(150, 260)}}) {
        AppWnd top;
        top.setInitialSize(400, 400);
        top.enableKeyboard();
        ASSERT_TRUE(top.createAt(0, 0, nullptr));
        FocusHost images;
        images.setFlag(YBBaseWnd::verticalScrollBar, true);
        images.setFlag(YBBaseWnd::horizontalScrollBar, true);
        images.setInitialSize(hostSize.cx, hostSize.cy);
        ASSERT_TRUE(images.createAt(0, 0, &top));
        for (int i = 0; i < 320; ++i) {
            auto* button = new YBImageButton(1000 + i, &images);
            button->setButtonText(kelp::KLString((L"Image " + std::to_wstring(i)).c_str()));
            button->setInitialSize(buttonSize.cx + (i % 3) * 5, buttonSize.cy);
            images.addComponent(button, false, false);
        }
        // Too wide to fit, and no button: scrolled over, never focused.
        auto* wide = new YBComponent(1, &images);
        wide->setInitialSize(hostSize.cx + 60, 10);
        images.addComponent(wide, true, true);
        top.SetFocus();
        tapKey(VK_END);  // from the far corner
        const CRect client = clientRect(images);
        for (int i = 0; i < 320; ++i) {
            tapKey(VK_TAB);
            const CRect r = images.getComponentByID(1000 + i)->rect();
            CRect inside;
            inside.IntersectRect(&r, &client);
            EXPECT_EQ(inside, r) << "button " << i;
        }
        EXPECT_EQ(images.focusMessages, 1);
    }
}

}  // namespace
