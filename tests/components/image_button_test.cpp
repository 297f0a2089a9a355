// The image button: state images found on disk by name, its size from the
// images and the caption, what each state draws, and copies that own their
// images.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <tessel/components/YBImageButton.h>

#include "components_test.h"
#include "image_files.h"
#include "toolkit_windows.h"

namespace {

using namespace components_test;
using image_files::Rgba;
using tessel::testing::pump;

constexpr COLORREF kBackground = RGB(0, 0, 128);
constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kYellow{255, 255, 0, 255}, kMagenta{255, 0, 255, 255};

COLORREF ref(Rgba c) {
    return RGB(c.r, c.g, c.b);
}

class ImageButtonTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        makeHost(host, 0, 0, 300, 200);
        directory = std::filesystem::path(files.file("x")).parent_path().string();
    }
    void solid(const std::string& name, int w, int h, Rgba c) {
        const std::string format = name.ends_with(".jpg") ? "jpeg" : "png";
        ASSERT_TRUE(
            image_files::writeImage(files.file(name), format, w, h, std::vector<Rgba>(w * h, c)));
    }
    // A button loaded from `base` in the directory, added first to the host.
    YBImageButton* add(const char* base, const char* caption = "") {
        auto* button = new YBImageButton(7, directory.c_str(), base, caption, font, colours, &host);
        host.addComponent(button, true, true);
        pump();
        return button;
    }
    COLORREF at(int x, int y) {
        pump();
        return pixel(host, x, y);
    }

    image_files::TempDir files;
    std::string directory;
    TestHost host{kBackground};
    GFont font{"Arial", 8.0, 0, 0};
    kelp::KLIntegerArray colours{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
};

// The normal image serves every enabled state without a file of its own,
// a gray copy of it the disabled one; of several extensions the last wins.
TEST_F(ImageButtonTest, TheNormalImageServesTheStatesWithoutFilesOfTheirOwn) {
    solid("b-normal.png", 8, 6, kRed);
    ASSERT_TRUE(image_files::writeBytes(files.file("b-normal.gif"), image_files::kGif));
    solid("j-normal.png", 4, 3, kYellow);
    solid("j-normal.jpg", 4, 3, kBlue);
    YBImageButton* b = add("b");
    add("j");
    EXPECT_EQ(b->size(), CSize(4, 4));  // no caption: the image and one row
    // The GIF's first row: red, green, blue, transparent.
    EXPECT_EQ(at(0, 0), ref(kRed));
    EXPECT_EQ(at(1, 0), ref(kGreen));
    EXPECT_EQ(at(3, 0), kBackground);
    EXPECT_TRUE(near(at(5, 1), ref(kBlue), 24)) << std::hex << at(5, 1);

    moveTo(host, {0, 0});
    press();
    EXPECT_EQ(at(0, 0), ref(kRed));
    release();
    b->select(true, true);
    EXPECT_EQ(at(0, 0), ref(kRed));
    b->disable(true, true);
    const COLORREF gray = at(0, 0);
    EXPECT_EQ(GetRValue(gray), GetGValue(gray));
    EXPECT_EQ(GetGValue(gray), GetBValue(gray));
    EXPECT_NEAR(GetRValue(gray), 76, 2);  // red's luma
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
    EXPECT_EQ(at(left, 0), ref(kBlue));
    EXPECT_EQ(at(left + 23, 19), ref(kBlue));
    EXPECT_EQ(at(left - 1, 10), kBackground);
    EXPECT_EQ(at(left + 24, 10), kBackground);
    EXPECT_EQ(at(left + 12, 20), kBackground);
    moveTo(host, {left + 5, 5});
    EXPECT_EQ(at(left + 23, 19), ref(kGreen));
}

TEST_F(ImageButtonTest, MissingAndCorruptFilesDrawNothingForTheirState) {
    ASSERT_TRUE(image_files::writeBytes(files.file("c-normal.png"), {'n', 'o', 't', '\n'}));
    solid("c-over.png", 10, 10, kGreen);
    YBImageButton* b = add("c");
    EXPECT_EQ(b->size(), CSize(10, 11));  // the corrupt image counts as 0x0
    EXPECT_EQ(at(5, 5), kBackground);
    moveTo(host, {5, 5});
    EXPECT_EQ(at(5, 5), ref(kGreen));
    moveTo(host, {100, 100});
    b->disable(true, true);  // a gray copy of nothing
    EXPECT_EQ(at(5, 5), kBackground);
    b->enable(true, true);
    b->setButtonImage(YBImageButton::stateOver, (directory + "/missing.png").c_str());
    EXPECT_EQ(b->size(), CSize(0, 1));
}

TEST_F(ImageButtonTest, CopiesDrawTheirOwnImages) {
    solid("k-normal.png", 6, 6, kRed);
    solid("m-normal.png", 6, 6, kMagenta);
    auto* original = new YBImageButton(7, directory.c_str(), "k", "", font, colours, &host);
    auto* copy = new YBImageButton(*original);
    auto* assigned = new YBImageButton(8, directory.c_str(), "m", "", font, colours, &host);
    *assigned = *copy;
    *assigned = *assigned;
    delete original;  // the copies keep images of their own
    host.addComponent(copy, true, false);
    host.addComponent(assigned, true, true);
    EXPECT_EQ(at(2, 2), ref(kRed));
    EXPECT_EQ(at(8, 2), ref(kRed));
    copy->disable(true, true);  // the gray copy is made from the copy's own image
    EXPECT_NE(at(2, 2), ref(kRed));
    EXPECT_EQ(at(8, 2), ref(kRed));
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
        solid(std::string("e") + kSuffixes[state] + ".png", 10, 6,
              Rgba{static_cast<std::uint8_t>(30 * state), 200, 60, 255});
        captionColours[state] = static_cast<int>(RGB(250, 40 + 25 * state, 120));
    }
    colours = captionColours;
    font = GFont("Arial", 16.0, 0, 0);
    YBImageButton* b = add("e", "IIII");
    const CRect r = b->rect();
    const auto expectState = [&](int state) {
        SCOPED_TRACE(kSuffixes[state]);
        EXPECT_EQ(at((r.left + r.right) / 2, r.top + 3), RGB(30 * state, 200, 60));
        int hits = 0;  // caption pixels in the state's colour, and in any other
        int others = 0;
        pump();
        for (int y = r.top + 7; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = pixel(host, x, y);
                for (int other = 0; other < 8; ++other) {
                    if (c != static_cast<COLORREF>(captionColours.get(other))) continue;
                    other == state ? ++hits : ++others;
                }
            }
        }
        EXPECT_GT(hits, 0);
        EXPECT_EQ(others, 0);
    };
    const CPoint over = r.TopLeft() + CPoint(2, 2), away(250, 150);
    using B = YBImageButton;
    const std::vector<std::pair<std::function<void()>, int>> steps{
        {[] {}, B::stateNormal},
        {[&] { moveTo(host, over); }, B::stateOver},
        {press, B::statePressed},
        {[&] { release(), b->select(true, true); }, B::stateSelectedOver},
        {press, B::stateSelectedPressed},
        {[&] { release(), moveTo(host, away); }, B::stateSelectedNormal},
        {[&] { b->disable(true, true); }, B::stateDisabled},
        {[&] { b->select(false, true); }, B::stateDisabled},
        // pressed without the pointer over it
        {[&] { b->enable(true, false), b->onLeftMouseButton(1, over); }, B::statePressed}};
    for (const auto& [act, state] : steps) {
        act();
        expectState(state);
    }
}

// Padding is given as left, right, top, bottom: it widens and heightens the
// image slot, and the image stands at the top inset, centred between the side
// insets.
TEST_F(ImageButtonTest, PaddingSidesAreLeftRightTopBottom) {
    class PaddedButton : public YBImageButton {
    public:
        PaddedButton(CWnd* owner, const GPadding& padding, const std::string& image,
                     const GFont& font)
            : YBImageButton(9, owner) {
            m_padding = padding;
            setButtonTextFont(font);
            setButtonText("Caption text");
            setButtonImage(stateNormal, image.c_str());
        }
        CSize textSize() const { return m_textSize; }
    };
    solid("p-normal.png", 10, 6, kRed);
    auto* b = new PaddedButton(&host, GPadding(1, 3, 5, 7), files.file("p-normal.png"), font);
    host.addComponent(b, true, true);
    const CSize text = b->textSize();
    ASSERT_GT(text.cx, 10 + 1 + 3);
    EXPECT_EQ(b->size(), CSize(text.cx, 6 + 5 + 7 + text.cy + 1));

    // The slot, 14x18 with its padding, is what the image is stretched to.
    const int left = 1 + (text.cx - 3 - 14 - 1) / 2;
    EXPECT_EQ(at(left + 7, 4), kBackground);
    EXPECT_EQ(at(left + 7, 5), ref(kRed));
    EXPECT_EQ(at(left - 1, 10), kBackground);
    EXPECT_EQ(at(left, 10), ref(kRed));
    EXPECT_EQ(at(left + 13, 10), ref(kRed));
    EXPECT_EQ(at(left + 14, 10), kBackground);
    EXPECT_EQ(at(left + 7, 5 + 17), ref(kRed));
    EXPECT_NE(at(left + 7, 5 + 18), ref(kRed));
    int inBottomInset = 0;  // the caption keeps off it
    for (int y = b->size().cy - 7; y < b->size().cy; ++y)
        for (int x = 0; x < text.cx; ++x)
            inBottomInset += pixel(host, x, y) != kBackground;
    EXPECT_EQ(inBottomInset, 0);
}

}  // namespace
