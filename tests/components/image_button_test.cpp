// The image button: state images found on disk by name, its size from the
// images and the caption, what each state draws, and copies that own their
// images.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include <tessel/components/YBImageButton.h>

#include "components_test.h"
#include "image_files.h"

namespace {

using namespace components_test;
using B = YBImageButton;

constexpr COLORREF kBack = RGB(0, 0, 128), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
                   kBlue = RGB(0, 0, 255);

class ImageButtonTest : public HostTest {
protected:
    void SetUp() override { HostTest::SetUp(), makeHost(host, 0, 0, 300, 200); }
    void solid(const std::string& name, int w, int h, COLORREF c) {
        const image_files::Rgba rgba{GetRValue(c), GetGValue(c), GetBValue(c), 255};
        const char* format = name.ends_with(".jpg") ? "jpeg" : "png";
        ASSERT_TRUE(
            image_files::writeImage(files.file(name), format, w, h, std::vector(w * h, rgba)));
    }
    // A button loaded from `base` in the directory, added to the host.
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
    GFont font{"Arial", 8.0, 0, 0};
    kelp::KLIntegerArray colours = kelp::KLIntegerArray(8);
};

// The normal image serves every enabled state without a file of its own, a
// gray copy of it the disabled one; of several extensions the last wins. A
// corrupt file counts as 0x0 and draws nothing, a missing one too. Copies
// and assigned buttons own their images, gray ones included.
TEST_F(ImageButtonTest, TheNormalImageServesTheStatesWithoutFilesOfTheirOwn) {
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

// Without files the caption alone makes the size. Padding, given as left,
// right, top, bottom, widens and heightens the largest image, which makes
// the slot every state's image is stretched to; the slot stands centred
// between the side insets above the caption, which keeps off the bottom inset.
TEST_F(ImageButtonTest, ImagesStretchToThePaddedSlotAboveTheCaption) {
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
TEST_F(ImageButtonTest, EachStateShowsItsOwnImageAndCaptionColour) {
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

}  // namespace
