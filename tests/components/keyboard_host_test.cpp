// The component host from the keyboard, among window buttons in one top
// window: Tab walks its components and then the windows, wrapping, in exact
// reverse with Shift; the button keys act on the focused component as on a
// button window, which is always fully in view; the scroll keys reach the bars.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tessel/components/YBImageButton.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/windows/YBTextButtonWnd.h>

#include "components_test.h"

namespace {

using namespace components_test;
using namespace test_support;
using Ids = std::vector<int>;

constexpr int kOkId = 105;  // captioned "&OK"

// Twelve text buttons, 101 to 112, in a host, then two button windows, 201
// and 202, in one top window.
struct Scene {
    explicit Scene(AppWnd& top) {
        host.setInitialSize(260, 100);
        EXPECT_TRUE(host.createAt(0, 0, &top));
        for (int id = 101; id <= 112; ++id) {
            const std::wstring text = id == kOkId ? L"&OK" : L"B" + std::to_wstring(id);
            host.addComponent(new YBTextButton(id, text.c_str(), font, 60, 30, &host), true, true);
        }
        EXPECT_TRUE(one.createAt(0, 120, &top) && two.createAt(100, 120, &top));
        pump();
    }
    YBComponent& component(int id) { return *host.getComponentByID(static_cast<unsigned>(id)); }

    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
    TestHost host;
    YBTextButtonWnd one{201, L"One", font, 80, 30};
    YBTextButtonWnd two{202, L"Two", font, 80, 30};
};

class KeyboardHostTest : public HostTest {
protected:
    // Enter clicks whatever has the focus: its identifier, or 0 when not exactly one command.
    int focusedId() {
        app.commands.clear();
        tapKey(VK_RETURN);
        const int id = app.commands.size() == 1 ? app.commands.front() : 0;
        app.commands.clear();
        return id;
    }
    Ids walk(int tabs, bool back = false) {
        Ids ids;
        for (int i = 0; i < tabs; ++i) {
            back ? shiftTab() : tapKey(VK_TAB);
            ids.push_back(focusedId());
        }
        return ids;
    }
};

TEST_F(KeyboardHostTest, TabVisitsEveryLiveItemOnceWrapsAndShiftTabIsTheExactReverse) {
    app.enableKeyboard();
    Scene s(app);
    app.SetFocus();
    EXPECT_EQ(walk(15),
              (Ids{101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 201, 202, 101}));
    EXPECT_EQ(walk(15, true),
              (Ids{202, 201, 112, 111, 110, 109, 108, 107, 106, 105, 104, 103, 102, 101, 202}));

    // Disabled and hidden items are never visited; one disabled while it is
    // the next, and the last window hidden, the host takes Tab round its own.
    s.component(103).enable(false, true);
    s.component(107).hide(true);
    YBComponent::disableAllWithID(110, true);
    s.one.disable(true, true);
    EXPECT_EQ(walk(11), (Ids{101, 102, 104, 105, 106, 108, 109, 111, 112, 202, 101}));
    s.component(102).enable(false, true);
    s.two.ShowWindow(SW_HIDE);
    EXPECT_EQ(walk(8), (Ids{104, 105, 106, 108, 109, 111, 112, 101}));
    EXPECT_EQ(walk(2, true), (Ids{112, 111}));
    // A host with nothing to focus is no tab stop.
    for (int id = 101; id <= 112; ++id)
        s.component(id).enable(false, true);
    s.one.disable(false, true);
    s.two.ShowWindow(SW_SHOW);
    EXPECT_EQ(walk(3), (Ids{201, 202, 201}));
}

// Space presses as the left button does; Escape, leaving or Tab cancels; a
// mnemonic clicks without moving the focus; a cleared focus takes no keys.
TEST_F(KeyboardHostTest, TheFocusedComponentTakesTheButtonKeysAndItsMnemonic) {
    app.enableKeyboard();
    Scene s(app);
    app.SetFocus();
    tapKey(VK_TAB);
    const CRect box = s.component(101).rect();
    pressKey(VK_SPACE);
    const std::vector<COLORREF> keyPressed = pixelsOf(s.host, box);
    tapKey(VK_ESCAPE);
    liftKey(VK_SPACE);
    moveTo(app, box.CenterPoint());
    press();
    EXPECT_EQ(pixelsOf(s.host, box), keyPressed);
    moveTo(app, CPoint(390, 290));
    release();
    EXPECT_TRUE(app.commands.empty());
    holdKey(VK_SPACE, 10);
    holdKey(VK_RETURN, 10);
    EXPECT_EQ(app.commands, (Ids{101, 101}));
    app.commands.clear();
    pressKey(VK_SPACE);
    tapKey(VK_TAB);
    pressKey(VK_SPACE);
    liftKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());

    altKey('O');
    EXPECT_EQ(app.commands, Ids{kOkId});
    EXPECT_EQ(focusedId(), 102);
    s.component(kOkId).enable(false, true);
    altKey('O');
    EXPECT_TRUE(app.commands.empty());

    s.host.clearComponents();
    s.host.addComponent(new YBTextButton(301, L"New", s.font, 60, 30, &s.host), true, true);
    tapKey(VK_SPACE);
    EXPECT_TRUE(app.commands.empty());
    EXPECT_EQ(walk(2), (Ids{301, 201}));
}

// End reaches both bars; Tab from there through 320 image buttons, the bar in
// units of 3 pixels: each is fully in view once focused.
TEST_F(KeyboardHostTest, TheScrollKeysReachTheBarsAndEachFocusedButtonIsFullyInView) {
    app.enableKeyboard();
    TestHost images;
    images.setFlag(YBBaseWnd::horizontalScrollBar, true);
    makeHost(images, 0, 0, 200, 300, true);
    for (int i = 0; i < 320; ++i) {
        auto* button = new YBImageButton(1000 + i, &images);
        button->setButtonText(kelp::KLString((L"Image " + std::to_wstring(i)).c_str()));
        button->setInitialSize(150 + (i % 3) * 5, 260);
        images.addComponent(button, false, false);
    }
    auto* wide = new YBComponent(1, &images);
    wide->setInitialSize(260, 10);
    images.addComponent(wide, true, true);
    ASSERT_EQ(images.vScale(), 3);
    app.SetFocus();
    tapKey(VK_TAB);
    tapKey(VK_END);
    for (const int which : {SB_VERT, SB_HORZ}) {
        const SCROLLINFO end = bar(images, which);
        EXPECT_GE(end.nPos, end.nMax - static_cast<int>(end.nPage)) << which;
    }
    const CRect client = clientRect(images);
    for (int i = 1; i < 320; ++i) {
        tapKey(VK_TAB);
        const CRect r = images.getComponentByID(1000 + i)->rect();
        CRect inside;
        inside.IntersectRect(&r, &client);
        EXPECT_EQ(inside, r) << "button " << i;
    }
    EXPECT_TRUE(app.commands.empty());
}

}  // namespace
