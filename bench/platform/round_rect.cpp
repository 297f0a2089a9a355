// Rounded boxes as a button grid paints them: 1,000 boxes of 64x16 with a
// 1-pixel border and radius 5 on a 1280x800 DC, each drawn as a bordered
// box is (DC brush, inside-frame pen, SaveDC/RestoreDC around it).
//
// scene:round_boxes: from the cached corner masks.
// scene:round_boxes_path: every box a Cairo path, the corner cache off.
#include <benchmark/benchmark.h>

#include <tessel/platform/gdi.h>

#include "gdi/corner_tiles.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800, kBoxes = 1000;
constexpr int kBoxWidth = 64, kBoxHeight = 16, kRadius = 5;

class Surface {
public:
    Surface() : m_dc(CreateCompatibleDC(nullptr)) {
        m_bitmap = CreateCompatibleBitmap(m_dc, kWidth, kHeight);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Surface() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    HDC dc() const { return m_dc; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

void drawBoxes(HDC dc) {
    // 20 columns of 50 rows, 64x16 cells on a 1280x800 surface.
    for (int i = 0; i < kBoxes; ++i) {
        const int x = (i % 20) * kBoxWidth, y = (i / 20) * kBoxHeight;
        const int saved = SaveDC(dc);
        SetDCBrushColor(dc, RGB(240, 240, 244));
        SelectObject(dc, GetStockObject(DC_BRUSH));
        HPEN pen = CreatePen(PS_INSIDEFRAME, 1, RGB(90, 100, 120));
        SelectObject(dc, pen);
        RoundRect(dc, x, y, x + kBoxWidth, y + kBoxHeight, 2 * kRadius, 2 * kRadius);
        RestoreDC(dc, saved);
        DeleteObject(pen);
    }
}

void run(benchmark::State& state, bool tiles) {
    Surface surface;
    tessel::gdi::CornerTiles::shared().setEnabled(tiles);
    for (auto _ : state) {
        drawBoxes(surface.dc());
        GdiFlush();
    }
    tessel::gdi::CornerTiles::shared().setEnabled(true);
    state.SetItemsProcessed(state.iterations() * kBoxes);
}

void BM_RoundBoxes(benchmark::State& state) { run(state, true); }
void BM_RoundBoxesPath(benchmark::State& state) { run(state, false); }

BENCHMARK(BM_RoundBoxes)->Name("scene:round_boxes");
BENCHMARK(BM_RoundBoxesPath)->Name("scene:round_boxes_path");

}  // namespace
