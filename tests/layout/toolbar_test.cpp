// The toolbar: equal slots for buttons and separators, images centred over
// their captions, a dialog frame, and entries cleared and added again.
#include <gtest/gtest.h>

#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>

#include "image_files.h"
#include "toolkit_windows.h"

namespace {

using image_files::Rgba;
using tessel::testing::pump;

constexpr COLORREF kBackground = 0xC8C8C8;

using Frame = test_support::PopupFrame;

class ToolBar : public YBToolBarWnd {
public:
    CRect rect(int i) const { return entry(i) ? entry(i)->m_rect : CRect(-1, -1, -1, -1); }
};

class ToolBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(400, 200);
        ASSERT_TRUE(frame.createAt(0, 0, nullptr));
        ASSERT_TRUE(image_files::writeImage(files.file("red.png"), "png", 32, 32,
                                            std::vector<Rgba>(32 * 32, Rgba{255, 0, 0, 255})));
        red = files.file("red.png");
    }
    COLORREF at(int x, int y) {
        pump();
        HDC dc = GetDC(toolbar);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(toolbar, dc);
        return c;
    }
    bool inkIn(const CRect& area) {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (GetRValue(at(x, y)) < 120) return true;
        return false;
    }

    image_files::TempDir files;
    std::string red;
    Frame frame;
    ToolBar toolbar;
};

// Slots are laid out again on every size and never wrap; the toolbar has a
// 3-pixel dialog frame.
TEST_F(ToolBarTest, ButtonsAndSeparatorsTakeEqualSlotsAndImagesSitOverCentredCaptions) {
    ASSERT_TRUE(toolbar.createAt(10, 10, &frame));
    CRect window;
    toolbar.GetWindowRect(&window);
    EXPECT_EQ(window.Size(), CSize(48, 32));  // the remembered size, frame included
    toolbar.setSize(300, 70, true);
    EXPECT_EQ(toolbar.size(), CSize(300 - 6, 70 - 6));

    toolbar.addButton(1, red.c_str(), L"One");
    toolbar.addSeparator();
    toolbar.addButton(3, (red + ".missing").c_str(), L"Three");
    EXPECT_EQ(toolbar.rect(0), CRect(2, 2, 50, 66));
    EXPECT_EQ(toolbar.rect(1), CRect(52, 2, 60, 66));
    EXPECT_EQ(toolbar.rect(2), CRect(102, 2, 150, 66));

    ::InvalidateRect(toolbar, nullptr, TRUE);  // adding does not repaint
    EXPECT_EQ(at(10, 2), RGB(255, 0, 0));      // image (10, 2, 42, 34)
    EXPECT_EQ(at(41, 33), RGB(255, 0, 0));
    EXPECT_EQ(at(42, 2), kBackground);
    EXPECT_TRUE(inkIn(CRect(2, 35, 50, 66)));     // caption under the image
    EXPECT_FALSE(inkIn(CRect(52, 2, 100, 66)));   // the separator's slot shows nothing
    EXPECT_TRUE(inkIn(CRect(102, 35, 150, 66)));  // a missing image still has its caption
    EXPECT_EQ(at(126, 10), kBackground);

    toolbar.clearButtons();
    ::InvalidateRect(toolbar, nullptr, TRUE);
    EXPECT_FALSE(inkIn(CRect(2, 2, 50, 66)));
    for (int i = 0; i < 10; ++i)
        toolbar.addButton(static_cast<unsigned>(i), red.c_str(), L"x");
    toolbar.setSize(120, 70, true);
    EXPECT_EQ(toolbar.rect(0), CRect(2, 2, 50, 66));
    EXPECT_EQ(toolbar.rect(9), CRect(452, 2, 500, 66));  // beyond the window, one row
}

}  // namespace
