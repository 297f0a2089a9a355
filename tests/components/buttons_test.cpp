// The text and image buttons and the text component: what each state draws,
// sizes from the font and the images found on disk by name, copies, and image
// buttons made on worker threads while the interface thread paints.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <tessel/components/YBImageButton.h>
#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/platform/afx_app.h>

#include "components_test.h"
#include "image_files.h"

namespace {

using namespace components_test;
using test_support::screenExtent;
using B = YBImageButton;

constexpr COLORREF kBack = RGB(0, 0, 128), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
                   kBlue = RGB(0, 0, 255);

class ButtonsTest : public HostTest {
protected:
    void SetUp() override { HostTest::SetUp(), makeHost(host, 0, 0, 300, 200); }
    void solid(const std::string& name, int w, int h, COLORREF c) {
        const image_files::Rgba rgba{GetRValue(c), GetGValue(c), GetBValue(c), 255};
        const char* format = name.ends_with(".jpg") ? "jpeg" : "png";
        ASSERT_TRUE(
            image_files::writeImage(files.file(name), format, w, h, std::vector(w * h, rgba)));
    }
    // An image button loaded from `base` in the directory, added to the host.
    B* add(const char* base, const char* caption = "") {
        auto* b = new B(7, directory.c_str(), base, caption, font, colours, &host);
        return host.addComponent(b, true, true), b;
    }
    void expectPixels(std::initializer_list<std::tuple<int, int, COLORREF>> expected) {
        for (const auto& [x, y, colour] : expected)
            EXPECT_EQ(pixel(host, x, y), colour) << "at " << x << "," << y;
    }

    image_files::TempDir files;
    const std::string directory = std::filesystem::path(files.file("x")).parent_path().string();
    TestHost host{kBack};
    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
    kelp::KLIntegerArray colours = kelp::KLIntegerArray(8);
};

// Disabled wins, then pressed, then over; selected adds four, but disabled
// and selected is never style 4.
TEST_F(ButtonsTest, TextButtonStatesDrawTheirOwnStyleAndTextColour) {
    auto* b = new YBTextButton(5, L"Go", font, 100, 40, &host);
    host.addComponent(b, true, true);
    for (int i = 0; i < 8; ++i)
        b->setStyle(i, {.font = font,
                        .fgColor = RGB(0, 255, i),
                        .bgColor = 0x101010u * (i + 1),
                        .bdColor = RGB(255, 255, 0),
                        .bdWidth = 1 + i % 3});
    b->invalidate();  // setters do not repaint
    const std::vector<std::pair<std::function<void()>, int>> steps{
        {[] {}, 1},
        {[&] { moveTo(host, CPoint(50, 20)); }, 2},
        {press, 3},
        {[&] { release(), b->select(true, true); }, 6},
        {press, 7},
        {[&] { release(), moveTo(host, CPoint(200, 150)); }, 5},
        {[&] { b->disable(true, true); }, 0}};
    for (const auto& [act, style] : steps) {
        act();
        SCOPED_TRACE(style);
        const int border = 1 + style % 3;
        EXPECT_EQ(pixel(host, border - 1, 20), RGB(255, 255, 0));
        EXPECT_EQ(pixel(host, border, 3), 0x101010u * (style + 1));
        EXPECT_TRUE(shows(host, CRect(30, 5, 70, 35), RGB(0, 255, 0)));
    }
    EXPECT_SEQ(app.commands, {5, 5});
}

// The largest text of all style fonts (style 4 keeps the default font) plus
// the padding and the widest border twice; the first look is a grey box.
TEST_F(ButtonsTest, TextButtonSizeIsTheLargestTextPlusPaddingAndTheWidestBorderTwice) {
    const GFont small("Arial", 6.0, 0, 0);
    const CSize large = screenExtent(GFont(), L"Hello");
    auto* measured = new YBTextButton(1, L"Hello", small, 0, 0, &host);
    host.addComponent(measured, true, true);
    EXPECT_EQ(measured->size(), large + CSize(16, 16));
    EXPECT_TRUE(shows(host, {0, large.cy / 2 + 8, 1, large.cy / 2 + 9}, 0x969696, 8));
    EXPECT_TRUE(shows(host, {3, large.cy / 2 + 8, 4, large.cy / 2 + 9}, 0xF0F0F0, 8));
    EXPECT_TRUE(shows(host, CRect(8, 8, 8 + large.cx, 8 + large.cy), RGB(0, 0, 0)));
    EXPECT_EQ(pixel(host, large.cx + 17, 4), kBack);
    EXPECT_EQ(YBTextButton(1, L"Hello", small, 80, 0, nullptr).size(), CSize(80, large.cy + 16));
    YBTextButtonStyle thick, out;
    thick.bdWidth = 6;
    out.bgColor = 1;
    measured->setStyle(2, thick);
    measured->setPadding(GPadding(1, 2, 3, 4));
    for (int outOfRange : {8, -1})
        measured->setStyle(outOfRange, {}), measured->getStyle(outOfRange, out);
    EXPECT_EQ(out.bgColor, 1u);
    EXPECT_EQ(measured->size(), large + CSize(15, 19));
}

// setAllStyles derives every style from one: hover lighter, pressed darker,
// disabled grey, the selected ones alike. Without shading the unselected ones
// keep the colour, the disabled one greyed, and the selected ones stay.
TEST_F(ButtonsTest, TextButtonDerivesItsStylesFromOne) {
    YBTextButton b(1, L"x", font, 50, 20, nullptr);
    YBTextButtonStyle s, got[8];
    s.bgColor = RGB(200, 0, 0);
    b.setAllStyles(s, false);
    for (int i = 0; i < 8; ++i)
        b.getStyle(i, got[i]);
    EXPECT_EQ(got[1].bgColor, s.bgColor);
    EXPECT_GT(GetRValue(got[2].bgColor), 200);
    EXPECT_LT(GetRValue(got[3].bgColor), 200);
    EXPECT_TRUE(GetRValue(got[0].bgColor) == GetGValue(got[0].bgColor));
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(got[i].bgColor, got[i - 4].bgColor) << i;
    s.bgColor = RGB(0, 0, 200);
    b.setAllUnselectedStyles(s, false);
    for (int i : {0, 3, 6})
        b.getStyle(i, got[i]);
    EXPECT_TRUE(GetBValue(got[0].bgColor) == GetGValue(got[0].bgColor));
    EXPECT_EQ(got[3].bgColor, s.bgColor);
    EXPECT_EQ(got[6].bgColor, got[2].bgColor);
}

// No fill or frame unless given.
TEST_F(ButtonsTest, TextComponentFillsAndFramesOnlyWhenGiven) {
    auto* text = new YBText(L"Label", font, DT_LEFT | DT_TOP, 0, &host);
    host.addComponent(text, true, true);
    EXPECT_EQ(text->size(), screenExtent(font, L"Label"));
    EXPECT_EQ(pixel(host, 1, 1), kBack);
    text->text(L"Title");  // the size stays
    text->bgColor(RGB(255, 255, 255));
    text->bdColor(RGB(255, 0, 0));
    text->invalidate();
    const CRect r = text->rect();  // "Label" has no descender over the frame's bottom row
    EXPECT_EQ(pixel(host, r.right - 1, r.bottom - 1), RGB(255, 0, 0));
    EXPECT_EQ(pixel(host, r.left + 1, r.bottom - 2), RGB(255, 255, 255));
    EXPECT_EQ(pixel(host, r.right, r.bottom - 1), kBack);
}

// The normal image serves the states without files, a gray copy of it the
// disabled one; the last extension wins; corrupt or missing files draw
// nothing; copies own their images.
TEST_F(ButtonsTest, ImageButtonNormalImageServesTheStatesWithoutFilesOfTheirOwn) {
    solid("b-normal.png", 8, 6, kRed);
    solid("j-normal.png", 4, 3, RGB(255, 255, 0));
    solid("j-normal.jpg", 4, 3, kBlue);
    B* b = add("b");
    EXPECT_EQ(b->size(), CSize(8, 7));  // no caption: the image and one row
    add("j");
    EXPECT_TRUE(shows(host, {9, 1, 10, 2}, kBlue, 24));
    moveTo(host, {0, 0});
    press();
    expectPixels({{0, 0, kRed}});
    release();
    b->select(true, true);
    expectPixels({{0, 0, kRed}});
    b->disable(true, true);
    const COLORREF gray = pixel(host, 0, 0);
    EXPECT_TRUE(GetRValue(gray) == GetGValue(gray) && GetGValue(gray) == GetBValue(gray));
    EXPECT_NEAR(GetRValue(gray), 76, 2);  // red's luma

    auto* copy = new B(*b);
    auto* assigned = new B(8, directory.c_str(), "j", "", font, colours, &host);
    *assigned = *copy;
    *assigned = *assigned;
    host.clearComponents();  // b goes: the copies keep images of their own
    host.addComponent(copy, true, false);
    host.addComponent(assigned, true, true);
    copy->enable(true, true);
    expectPixels({{2, 2, kRed}, {10, 2, gray}});

    ASSERT_TRUE(image_files::writeBytes(files.file("c-normal.png"), {'n', 'o', 't', '\n'}));
    solid("c-over.png", 10, 10, kGreen);
    b = add("c");
    EXPECT_EQ(b->size(), CSize(10, 11));
    const CPoint at = b->rect().TopLeft() + CPoint(5, 5);
    expectPixels({{at.x, at.y, kBack}});
    moveTo(host, at);
    expectPixels({{at.x, at.y, kGreen}});
    moveTo(host, {200, 150});
    b->disable(true, true);  // a gray copy of nothing
    expectPixels({{at.x, at.y, kBack}});
    b->setButtonImage(B::stateOver, (directory + "/missing.png").c_str());
    EXPECT_EQ(b->size(), CSize(0, 1));
}

// Padding (left, right, top, bottom) around the largest image makes the slot
// every image is stretched to, centred above the caption.
TEST_F(ButtonsTest, ImageButtonImagesStretchToThePaddedSlotAboveTheCaption) {
    class Padded : public B {
    public:
        Padded(CWnd* owner, const GFont& font) : B(9, owner) {
            m_padding = GPadding(1, 3, 5, 7);
            setButtonTextFont(font);
            setButtonText("Caption text");
        }
    };
    const CSize caption = test_support::screenExtent(font, L"Caption text");
    ASSERT_GT(caption.cx, 32);
    EXPECT_EQ(add("none", "Caption text")->size(), CSize(caption.cx, caption.cy + 1));
    host.clearComponents();
    solid("s-normal.png", 16, 16, kBlue);
    solid("s-over.png", 24, 20, kGreen);
    auto* b = new Padded(&host, font);
    b->setButtonImage(B::stateNormal, files.file("s-normal.png").c_str());
    b->setButtonImage(B::stateOver, files.file("s-over.png").c_str());
    host.addComponent(b, true, true);
    EXPECT_EQ(b->size(), CSize(caption.cx, 5 + 20 + 7 + caption.cy + 1));
    const int left = 1 + (caption.cx - 1 - 3 - 28) / 2;  // the slot is 28x32 with its padding
    expectPixels({{left + 14, 4, kBack},
                  {left, 5, kBlue},
                  {left + 27, 36, kBlue},
                  {left - 1, 20, kBack},
                  {left + 28, 20, kBack}});
    EXPECT_NE(pixel(host, left + 14, 37), kBlue);
    const std::vector<COLORREF> inset =
        pixelsOf(host, {0, b->size().cy - 7, caption.cx, b->size().cy});
    EXPECT_EQ(std::ranges::count(inset, kBack), std::ssize(inset));
    moveTo(host, {left + 5, 10});
    expectPixels({{left + 27, 36, kGreen}});
}

// Each state has a file of its own (the selected ones named "-selected-...")
// and a caption colour of its own; selected and disabled shows the disabled
// ones, so file and colour 4 never appear.
TEST_F(ButtonsTest, ImageButtonStatesShowTheirOwnImageAndCaptionColour) {
    constexpr const char* kSuffixes[] = {
        "-disabled",          "-normal",          "-over",          "-pressed",
        "-selected-disabled", "-selected-normal", "-selected-over", "-selected-pressed"};
    for (int state = 0; state < 8; ++state) {
        solid(std::string("e") + kSuffixes[state] + ".png", 10, 6, RGB(30 * state, 200, 60));
        colours[state] = static_cast<int>(RGB(250, 40 + 25 * state, 120));
    }
    font = GFont("Arial", 16.0, 0, 0);
    B* b = add("e", "IIII");
    const CRect r = b->rect();
    const CPoint over = r.TopLeft() + CPoint(2, 2);
    const std::vector<std::pair<std::function<void()>, int>> steps{
        {[] {}, B::stateNormal},
        {[&] { moveTo(host, over); }, B::stateOver},
        {press, B::statePressed},
        {[&] { release(), b->select(true, true); }, B::stateSelectedOver},
        {press, B::stateSelectedPressed},
        {[&] { release(), moveTo(host, CPoint(250, 150)); }, B::stateSelectedNormal},
        {[&] { b->disable(true, true); }, B::stateDisabled},
        {[&] { b->select(false, true); }, B::stateDisabled},
        // pressed without the pointer over it
        {[&] { b->enable(true, false), b->onLeftMouseButton(1, over); }, B::statePressed}};
    for (const auto& [act, state] : steps) {
        act();
        SCOPED_TRACE(kSuffixes[state]);
        EXPECT_EQ(pixel(host, r.CenterPoint().x, r.top + 3), RGB(30 * state, 200, 60));
        int hits = 0, others = 0;  // caption pixels in the state's colour, and in any other
        for (const COLORREF c : pixelsOf(host, {r.left, r.top + 7, r.right, r.bottom}))
            for (int other = 0; other < 8; ++other)
                if (c == static_cast<COLORREF>(colours.get(other)))
                    ++(other == state ? hits : others);
        EXPECT_GT(hits, 0);
        EXPECT_EQ(others, 0);
    }
}

TEST_F(ButtonsTest, WorkersBuildImageButtonsWhileTheInterfaceThreadPaints) {
    constexpr int kWorkers = 4, kButtonsPerWorker = 2000, kFrames = 1000;
    solid("b-normal.png", 12, 10, kRed);
    solid("b-over.png", 12, 10, kRed);  // a bitmap more to share
    // Each call brings its own font and colours, as a caller on a worker would.
    const auto make = [&](unsigned id) {
        return new YBImageButton(id, directory.c_str(), "b", "Save as", GFont("Arial", 8.0, 0, 0),
                                 kelp::KLIntegerArray(8), &host);
    };
    for (unsigned id = 1; id <= 4; ++id)
        host.addComponent(make(id), true, true);
    const CSize size = host.getComponent(0)->size();
    ASSERT_GT(size.cx, 12);  // the caption is wider than the image
    const int imageLeft = (size.cx - 12) / 2;

    CWinApp winApp(L"threads");
    std::latch start(kWorkers + 1);
    std::atomic<int> wrongSizes{0};
    std::vector<std::jthread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&] {
            start.arrive_and_wait();
            for (int i = 0; i < kButtonsPerWorker; ++i)
                wrongSizes += std::unique_ptr<YBImageButton>(make(100))->size() != size;
        });
    start.arrive_and_wait();
    const int drawsBefore = host.draws;
    for (int frame = 0; frame < kFrames; ++frame) {
        ::InvalidateRect(host, nullptr, FALSE);
        pump();
        winApp.OnIdle(0);
    }
    workers.clear();
    EXPECT_EQ(host.draws - drawsBefore, kFrames);
    EXPECT_EQ(wrongSizes.load(), 0);
    EXPECT_EQ(pixel(host, size.cx + imageLeft + 11, 9), kRed);  // the second button
    EXPECT_EQ(pixel(host, imageLeft - 1, 0), kBack);
}

}  // namespace
