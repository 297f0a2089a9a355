// Rounded rectangles drawn from cached corner masks must match, pixel for
// pixel, the same rectangles drawn as Cairo paths.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include <tessel/platform/gdi.h>

#include "canvas.h"
#include "gdi/corner_tiles.h"
#include "gdi/gdi_lock.h"

namespace {

using tessel::gdi::CornerTiles;

struct Box {
    RECT rect;
    int cornerWidth, cornerHeight;
    int border;  // 0: null pen
    COLORREF pen, fill;
    bool nullBrush;
};

// Deterministic positions and colours.
class Dice {
public:
    int next(int bound) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((m_state >> 33) % static_cast<std::uint64_t>(bound));
    }

private:
    std::uint64_t m_state = 12345;
};

constexpr COLORREF kPalette[] = {RGB(200, 30, 40), RGB(20, 90, 220), RGB(0, 0, 0),
                                 RGB(255, 255, 255), RGB(250, 200, 10)};

// Boxes of every width 1..60 and radius 0..20 (square to elliptic, some
// with the radius past half the box), borders 0..4, spread over a surface
// of `width` x `height` and past its edges.
std::vector<Box> manyBoxes(int width, int height) {
    std::vector<Box> boxes;
    Dice dice;
    for (int w = 1; w <= 60; ++w)
        for (int radius = 0; radius <= 20; ++radius) {
            const int h = 1 + dice.next(60);
            const int x = dice.next(width + 40) - 30, y = dice.next(height + 40) - 30;
            const int border = (w + radius) % 5;
            const COLORREF pen = kPalette[dice.next(5)];
            // Every fourth box shares its border colour with its fill.
            const COLORREF fill = radius % 4 == 0 ? pen : kPalette[dice.next(5)];
            const int cornerHeight = radius % 3 == 0 ? 2 * radius : 2 * radius + dice.next(7) - 3;
            boxes.push_back({{x, y, x + w, y + h}, 2 * radius, cornerHeight, border, pen, fill,
                             radius % 7 == 6});
        }
    return boxes;
}

// What a bordered box with rounded corners does: a DC brush and an
// inside-frame pen, or no pen and the last row and column given back.
void drawBoxes(HDC dc, const std::vector<Box>& boxes) {
    for (const Box& b : boxes) {
        const int saved = SaveDC(dc);
        SetDCBrushColor(dc, b.fill);
        SelectObject(dc, GetStockObject(b.nullBrush ? NULL_BRUSH : DC_BRUSH));
        HPEN pen = b.border > 0 ? CreatePen(PS_INSIDEFRAME, b.border, b.pen) : nullptr;
        SelectObject(dc, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
        const int extra = pen ? 0 : 1;
        RoundRect(dc, b.rect.left, b.rect.top, b.rect.right + extra, b.rect.bottom + extra,
                  b.cornerWidth, b.cornerHeight);
        RestoreDC(dc, saved);
        if (pen) DeleteObject(pen);
    }
}

// Draws `boxes` with the corner cache and as paths, each after `prepare`,
// and compares the pixels.
void expectSamePixels(const std::vector<Box>& boxes, const std::function<void(HDC)>& prepare) {
    constexpr int kWidth = 320, kHeight = 240;
    Canvas tiled(kWidth, kHeight), path(kWidth, kHeight);
    CornerTiles& cache = CornerTiles::shared();
    {
        const tessel::gdi::GdiLock lock;
        cache.clear();
    }
    prepare(tiled.dc());
    drawBoxes(tiled.dc(), boxes);
    EXPECT_GT(cache.bytes(), 0u) << "the corner cache was never used";
    cache.setEnabled(false);
    prepare(path.dc());
    drawBoxes(path.dc(), boxes);
    cache.setEnabled(true);
    EXPECT_TRUE(tiled.samePixels(path));
}

TEST(RoundRectTiles, MatchPathsForEverySizeRadiusAndBorder) {
    expectSamePixels(manyBoxes(320, 240), [](HDC) {});
    // Boxes far apart and through a viewport origin.
    std::vector<Box> shifted = manyBoxes(320, 240);
    for (Box& b : shifted)
        b.rect = {b.rect.left + 1000, b.rect.top - 700, b.rect.right + 1000, b.rect.bottom - 700};
    expectSamePixels(shifted, [](HDC dc) { SetViewportOrgEx(dc, -1000, 700, nullptr); });
}

TEST(RoundRectTiles, MatchPathsUnderClipRectangleAndRegion) {
    const std::vector<Box> boxes = manyBoxes(320, 240);
    expectSamePixels(boxes, [](HDC dc) { IntersectClipRect(dc, 13, 7, 291, 203); });
    // A frame with a hole and a separate block: many clip rectangles per box.
    expectSamePixels(boxes, [](HDC dc) {
        HRGN region = CreateRectRgn(10, 10, 250, 200);
        HRGN hole = CreateRectRgn(41, 33, 177, 151);
        HRGN block = CreateRectRgn(260, 5, 317, 239);
        CombineRgn(region, region, hole, RGN_DIFF);
        CombineRgn(region, region, block, RGN_OR);
        SelectClipRgn(dc, region);
        DeleteObject(region);
        DeleteObject(hole);
        DeleteObject(block);
    });
}

TEST(RoundRectTiles, CacheStaysWithinBudgetAndServesRepeats) {
    const tessel::gdi::GdiLock lock;
    CornerTiles cache(4096);
    int renders = 0;
    const CornerTiles::Render render = [&](cairo_t* fill, cairo_t*, const RECT& box) {
        ++renders;
        cairo_rectangle(fill, box.left, box.top, box.right - box.left, box.bottom - box.top);
        cairo_fill(fill);
    };
    for (int diameter = 1; diameter <= 40; ++diameter) {
        const CornerTiles::Tiles* tiles = cache.find({diameter, diameter, 0}, render);
        ASSERT_NE(tiles, nullptr);
        EXPECT_EQ(tiles->tileWidth, (diameter + 1) / 2);
        EXPECT_LE(cache.bytes(), 4096u);
    }
    const int before = renders;
    cache.find({40, 40, 0}, render);
    EXPECT_EQ(renders, before) << "the newest set should still be cached";
    EXPECT_EQ(cache.find({CornerTiles::kMaxDiameter + 1, 4, 0}, render), nullptr);
    EXPECT_EQ(cache.find({4, 4, CornerTiles::kMaxPen + 1}, render), nullptr);
    EXPECT_EQ(cache.find({-4, 4, 1}, render), nullptr);
}

}  // namespace
