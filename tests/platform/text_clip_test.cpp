#include <gtest/gtest.h>

#include <string>

#include <tessel/platform/gdi.h>

#include "gdi/state.h"
#include "text_canvas.h"

namespace {

const tessel::gdi::TextCache& textCache() {
    return tessel::gdi::state().text.cache();
}

std::wstring numberedLines(int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += (i ? L"\nLine " : L"Line ") + std::to_wstring(i) + L" of the list";
    return text;
}

std::wstring repeated(const std::wstring& piece, std::size_t length) {
    std::wstring text(length, L' ');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = piece[i % piece.size()];
    return text;
}

// A long paragraph painted through a narrow band, most of it above the
// surface: the band shows what an unclipped drawing shows there, and only the
// lines that reach the band get a coverage mask. Measuring still counts
// every line.
TEST(TextClip, OnlyLinesReachingTheClipAreRasterised) {
    const std::wstring text = numberedLines(400);
    TextCanvas band(160, 200), whole(160, 200);
    RECT r{4, -3000, 160, 200};
    IntersectClipRect(band.dc(), 0, 80, 160, 110);
    const int masksBefore = textCache().maskCount();
    DrawTextW(band.dc(), text.c_str(), -1, &r, 0);
    const int masksMade = textCache().maskCount() - masksBefore;
    EXPECT_GE(masksMade, 2);
    EXPECT_LE(masksMade, 4);

    // The reference is laid out apart (no prefix: another cache entry).
    DrawTextW(whole.dc(), text.c_str(), -1, &r, DT_NOPREFIX);
    EXPECT_GT(band.inkIn(0, 80, 160, 110), 50);
    EXPECT_TRUE(band.samePixels(whole, 80, 110));
    EXPECT_EQ(band.inkIn(0, 0, 160, 80) + band.inkIn(0, 110, 160, 200), 0);

    RECT measured{0, 0, 160, 0};
    EXPECT_EQ(DrawTextW(band.dc(), text.c_str(), -1, &measured, DT_CALCRECT),
              400 * band.tm().tmHeight);
    EXPECT_EQ(measured.bottom, 400 * band.tm().tmHeight);

    // An opaque background is painted only within the clip too.
    SetBkMode(band.dc(), OPAQUE);
    SetBkColor(band.dc(), RGB(0, 0, 255));
    DrawTextW(band.dc(), text.c_str(), -1, &r, 0);
    int blueIn = 0, blueOut = 0;
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x < band.width(); ++x)
            (y >= 80 && y < 110 ? blueIn : blueOut) += band.at(x, y) == RGB(0, 0, 255);
    EXPECT_GT(blueIn, 1000);
    EXPECT_EQ(blueOut, 0);
}

// A million-character line (millions of pixels: its whole mask would be
// 100 MB, and beyond Cairo's 32767 a side) shows its visible slice exactly as
// a short line with the same start does, near its start and far along it; and
// kept or not, it leaves the cache within its budget.
TEST(TextClip, AMillionCharacterLineShowsItsVisibleSlice) {
    const std::wstring period = L"Wide line, ";
    const std::wstring text = repeated(period, 1'000'000);
    TextCanvas nearStart(300, 24), farAlong(300, 24), reference(300, 24);
    const int periodWidth =
        reference.extent((period + period).c_str()).cx - reference.extent(period.c_str()).cx;
    ASSERT_GT(periodWidth, 20);
    const int farX = -60000 * periodWidth - 45;  // past two million pixels
    EXPECT_TRUE(TextOutW(nearStart.dc(), -45, 3, text.c_str(), static_cast<int>(text.size())));
    EXPECT_LE(textCache().bytes(), textCache().budget());
    EXPECT_TRUE(TextOutW(farAlong.dc(), farX, 3, text.c_str(), static_cast<int>(text.size())));

    EXPECT_TRUE(TextOutW(reference.dc(), -45, 3, text.c_str(), 200));
    EXPECT_GT(reference.inkCount(), 300);
    EXPECT_TRUE(nearStart.samePixels(reference, 0, 24));
    EXPECT_TRUE(farAlong.samePixels(reference, 0, 24));
}

// Many distinct strings, each with its mask, fill the cache to its budget
// and no further; the most recently used string stays cached meanwhile.
TEST(TextClip, TheCacheStaysWithinItsByteBudget) {
    // Laid out by Pango, each label keeps a wide mask: the budget is reached.
    struct PangoOnly {
        PangoOnly() { tessel::gdi::state().text.allowSimpleShaping(false); }
        ~PangoOnly() { tessel::gdi::state().text.allowSimpleShaping(true); }
    } pangoOnly;
    TextCanvas c(700, 20);

    const std::wstring keeper = L"Drawn between every other label";
    for (int i = 0; i < 1500; ++i) {
        const std::wstring label =
            L"Label " + std::to_wstring(i) + L" with words enough for a wide coverage mask";
        TextOutW(c.dc(), 0, 0, label.c_str(), static_cast<int>(label.size()));
        ASSERT_LE(textCache().bytes(), textCache().budget()) << i;
        TextOutW(c.dc(), 0, 0, keeper.c_str(), static_cast<int>(keeper.size()));
    }
    EXPECT_GT(textCache().bytes(), textCache().budget() / 2);
    const std::size_t bytes = textCache().bytes();
    TextOutW(c.dc(), 0, 0, keeper.c_str(), static_cast<int>(keeper.size()));
    EXPECT_EQ(textCache().bytes(), bytes) << "a hit adds nothing";
}

}  // namespace
