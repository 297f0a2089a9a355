// Coverage masks (text, rounded corners) are blended by a plain loop when the
// piece to draw is small and by pixman when it is large: both must give the
// same pixels, whatever lies underneath.
#include <gtest/gtest.h>

#include <tessel/platform/gdi.h>

#include "canvas.h"

namespace {

constexpr int kWidth = 420, kHeight = 90;

// Stripes of many colours, under antialiased text in three colours.
void paint(HDC dc, bool text = true) {
    for (int x = 0; x < kWidth; x += 6) {
        HBRUSH brush = CreateSolidBrush(RGB(x * 7 % 256, 255 - x % 256, x * 13 % 256));
        const RECT stripe{x, 0, x + 6, kHeight};
        FillRect(dc, &stripe, brush);
        DeleteObject(brush);
    }
    if (!text) return;
    HFONT font = CreateFontW(-40, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF colours[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(30, 140, 250)};
    for (int i = 0; i < 3; ++i) {
        SetTextColor(dc, colours[i]);
        RECT line{2 + i * 3, 2 + i * 21, kWidth, kHeight};
        DrawTextW(dc, L"Wavy glyphs @ 0123456789 QO&", -1, &line, DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
    SelectObject(dc, old);
    DeleteObject(font);
}

TEST(MaskBlend, SmallPiecesMatchOneLargeComposite) {
    Canvas whole(kWidth, kHeight), pieces(kWidth, kHeight), stripes(kWidth, kHeight);
    paint(whole.dc());
    paint(stripes.dc(), false);
    // Columns of 4 pixels a pixel apart (touching ones would merge): every
    // piece of a line's mask is well under the size that goes to pixman.
    HRGN columns = CreateRectRgn(0, 0, 0, 0);
    for (int x = 1; x < kWidth; x += 5) {
        HRGN column = CreateRectRgn(x, 0, x + 4, kHeight);
        CombineRgn(columns, columns, column, RGN_OR);
        DeleteObject(column);
    }
    SelectClipRgn(pieces.dc(), columns);
    DeleteObject(columns);
    paint(pieces.dc());
    int differing = 0, covered = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 1; x < kWidth; ++x) {
            if ((x - 1) % 5 == 4) continue;  // between columns
            if (whole.at(x, y) != pieces.at(x, y) && differing++ == 0)
                ADD_FAILURE() << "first difference at " << x << "," << y << ": 0x" << std::hex
                              << whole.at(x, y) << " vs 0x" << pieces.at(x, y);
            covered += whole.at(x, y) != stripes.at(x, y);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(covered, kWidth * kHeight / 20) << "the text hardly drew";
}

}  // namespace
