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
using image_files::Rgba;

constexpr COLORREF kBack = RGB(0, 0, 128), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
                   kBlue = RGB(0, 0, 255);
using Expected = std::initializer_list<std::tuple<int, int, COLORREF>>;

class ImageButtonTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        makeHost(host, 0, 0, 300, 200);
        directory = std::filesystem::path(files.file("x")).parent_path().string();
    }
    void solid(const std::string& name, int w, int h, COLORREF c) {
        const Rgba rgba{GetRValue(c), GetGValue(c), GetBValue(c), 255};
        ASSERT_TRUE(image_files::writeImage(files.file(name), name.ends_with(".jpg") ? "jpeg" : "png",
                                            w, h, std::vector<Rgba>(w * h, rgba)));
    }
    // A button loaded from `base` in the directory, added to the host.
    YBImageButton* add(const char* base, const char* caption = "") {
        auto* button = new YBImageButton(7, directory.c_str(), base, caption, font, colours, &host);
        host.addComponent(button, true, true);
        return button;
    }
    void expectPixels(Expected expected) {
        for (const auto& [x, y, colour] : expected)
            EXPECT_EQ(pixel(host, x, y), colour) << "at " << x << "," << y;
    }

    image_files::TempDir files;
    std::string directory;
    TestHost host{kBack};
    GFont font{"Arial", 8.0, 0, 0};
    kelp::KLIntegerArray colours{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
};

// The normal image serves every enabled state without a file of its own, a
// gray copy of it the disabled one; of several extensions the last wins. A
// corrupt file counts as 0x0 and draws nothing, a missing one too.
TEST_F(ImageButtonTest, TheNormalImageServesTheStatesWithoutFilesOfTheirOwn) {
    solid("b-normal.png", 8, 6, kRed);
    ASSERT_TRUE(image_files::writeBytes(files.file("b-normal.gif"), image_files::kGif));
    solid("j-normal.png", 4, 3, RGB(255, 255, 0));
    solid("j-normal.jpg", 4, 3, kBlue);
    YBImageButton* b = add("b");
    add("j");
    EXPECT_EQ(b->size(), CSize(4, 4));  // no caption: the image and one row
    expectPixels({{0, 0, kRed}, {1, 0, kGreen}, {3, 0, kBack}});  // the GIF's first row
    EXPECT_TRUE(near(pixel(host, 5, 1), kBlue, 24));
    moveTo(host, {0, 0});
    press();
    expectPixels({{0, 0, kRed}});
    release();
    b->select(true, true);
    expectPixels({{0, 0, kRed}});
    b->disable(true, true);
    const COLORREF gray = pixel(host, 0, 0);
    EXPECT_EQ(GetRValue(gray), GetGValue(gray));
    EXPECT_EQ(GetGValue(gray), GetBValue(gray));
    EXPECT_NEAR(GetRValue(gray), 76, 2);  // red's luma

    host.clearComponents();
    ASSERT_TRUE(image_files::writeBytes(files.file("c-normal.png"), {'n', 'o', 't', '\n'}));
    solid("c-over.png", 10, 10, kGreen);
    b = add("c");
    EXPECT_EQ(b->size(), CSize(10, 11));
    expectPixels({{5, 5, kBack}});
    moveTo(host, {5, 5});
    expectPixels({{5, 5, kGreen}});
    moveTo(host, {100, 100});
    b->disable(true, true);  // a gray copy of nothing
    expectPixels({{5, 5, kBack}});
    b->setButtonImage(YBImageButton::stateOver, (directory + "/missing.png").c_str());
    EXPECT_EQ(b->size(), CSize(0, 1));
}

// Without files the caption alone makes the size; with them the largest
// image slot above the caption, each image stretched to it and centred.
TEST_F(ImageButtonTest, SizeIsTheWidestPartWithTheImageAboveTheCaption) {
    const CSize caption = test_support::screenExtent(font, L"Caption text");
    ASSERT_GT(caption.cx, 24);
    EXPECT_EQ(add("none", "Caption text")->size(), CSize(caption.cx, caption.cy + 1));
    host.clearComponents();
    solid("s-normal.png", 16, 16, kBlue);
    solid("s-over.png", 24, 20, kGreen);
    YBImageButton* b = add("s", "Caption text");
    EXPECT_EQ(b->size(), CSize(caption.cx, 20 + caption.cy + 1));
    const int left = (caption.cx - 24) / 2;
    expectPixels({{left, 0, kBlue}, {left + 23, 19, kBlue}, {left - 1, 10, kBack},
                  {left + 24, 10, kBack}, {left + 12, 20, kBack}});
    moveTo(host, {left + 5, 5});
    expectPixels({{left + 23, 19, kGreen}});
}

TEST_F(ImageButtonTest, CopiesDrawTheirOwnImages) {
    solid("k-normal.png", 6, 6, kRed);
    solid("m-normal.png", 6, 6, RGB(255, 0, 255));
    auto* original = new YBImageButton(7, directory.c_str(), "k", "", font, colours, &host);
    auto* copy = new YBImageButton(*original);
    auto* assigned = new YBImageButton(8, directory.c_str(), "m", "", font, colours, &host);
    *assigned = *copy;
    *assigned = *assigned;
    delete original;  // the copies keep images of their own
    host.addComponent(copy, true, false);
    host.addComponent(assigned, true, true);
    expectPixels({{2, 2, kRed}, {8, 2, kRed}});
    copy->disable(true, true);  // the gray copy is made from the copy's own image
    EXPECT_NE(pixel(host, 2, 2), kRed);
    expectPixels({{8, 2, kRed}});
}

// Each state has a file of its own (the selected ones named "-selected-...")
// and a caption colour of its own; selected and disabled shows the disabled
// ones, so file and colour 4 never appear.
TEST_F(ImageButtonTest, EachStateShowsItsOwnImageAndCaptionColour) {
    constexpr const char* kSuffixes[] = {
        "-disabled",          "-normal",          "-over",          "-pressed",
        "-selected-disabled", "-selected-normal", "-selected-over", "-selected-pressed"};
    kelp::KLIntegerArray captionColours(8);
    for (int state = 0; state < 8; ++state) {
        solid(std::string("e") + kSuffixes[state] + ".png", 10, 6, RGB(30 * state, 200, 60));
        captionColours[state] = static_cast<int>(RGB(250, 40 + 25 * state, 120));
    }
    colours = captionColours;
    font = GFont("Arial", 16.0, 0, 0);
    YBImageButton* b = add("e", "IIII");
    const CRect r = b->rect();
    const CPoint over = r.TopLeft() + CPoint(2, 2);
    using B = YBImageButton;
    const std::vector<std::pair<std::function<void()>, int>> steps{
        {[] {}, B::stateNormal},
        {[&] { moveTo(host, over); }, B::stateOver},
        {press, B::statePressed},
        {[&] { release(), b->select(true, true); }, B::stateSelectedOver},
        {press, B::stateSelectedPressed},
        {[&] { release(), moveTo(host, {250, 150}); }, B::stateSelectedNormal},
        {[&] { b->disable(true, true); }, B::stateDisabled},
        {[&] { b->select(false, true); }, B::stateDisabled},
        // pressed without the pointer over it
        {[&] { b->enable(true, false), b->onLeftMouseButton(1, over); }, B::statePressed}};
    for (const auto& [act, state] : steps) {
        act();
        SCOPED_TRACE(kSuffixes[state]);
        EXPECT_EQ(pixel(host, r.CenterPoint().x, r.top + 3), RGB(30 * state, 200, 60));
        int hits = 0, others = 0;  // caption pixels in the state's colour, and in any other
        for (int y = r.top + 7; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = pixel(host, x, y);
                for (int other = 0; other < 8; ++other)
                    if (c == static_cast<COLORREF>(captionColours.get(other)))
                        other == state ? ++hits : ++others;
            }
        EXPECT_GT(hits, 0);
        EXPECT_EQ(others, 0);
    }
}

// Padding is given as left, right, top, bottom: it widens and heightens the
// image slot, and the image stands at the top inset, centred between the side
// insets; the caption keeps off the bottom inset.
TEST_F(ImageButtonTest, PaddingSidesAreLeftRightTopBottom) {
    class PaddedButton : public YBImageButton {
    public:
        PaddedButton(CWnd* owner, const std::string& image, const GFont& font)
            : YBImageButton(9, owner) {
            m_padding = GPadding(1, 3, 5, 7);
            setButtonTextFont(font);
            setButtonText("Caption text");
            setButtonImage(stateNormal, image.c_str());
        }
        CSize textSize() const { return m_textSize; }
    };
    solid("p-normal.png", 10, 6, kRed);
    auto* b = new PaddedButton(&host, files.file("p-normal.png"), font);
    host.addComponent(b, true, true);
    const CSize text = b->textSize();
    ASSERT_GT(text.cx, 10 + 1 + 3);
    EXPECT_EQ(b->size(), CSize(text.cx, 6 + 5 + 7 + text.cy + 1));
    const int left = 1 + (text.cx - 3 - 14 - 1) / 2;  // the slot is 14x18 with its padding
    expectPixels({{left + 7, 4, kBack}, {left + 7, 5, kRed}, {left - 1, 10, kBack},
                  {left, 10, kRed}, {left + 13, 10, kRed}, {left + 14, 10, kBack},
                  {left + 7, 5 + 17, kRed}});
    EXPECT_NE(pixel(host, left + 7, 5 + 18), kRed);
    int inBottomInset = 0;
    for (int y = b->size().cy - 7; y < b->size().cy; ++y)
        for (int x = 0; x < text.cx; ++x)
            inBottomInset += pixel(host, x, y) != kBack;
    EXPECT_EQ(inBottomInset, 0);
}

}  // namespace
