// The 1,000-label frame of platform/gdi.cpp (64x16 boxes, 20 columns by 50 rows,
// "Button N" in Arial 10 pt, 1280x800) drawn the way the toolkit draws:
// through an off-screen XMemDC with XDC::drawBox and XDC::drawText, next to
// the same scene drawn with the GDI calls directly.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <tessel/drawing/GFont.h>
#include <tessel/drawing/XDC.h>
#include <tessel/drawing/XMemDC.h>

namespace {

constexpr int kColumns = 20, kRows = 50, kBoxWidth = 64, kBoxHeight = 16;
constexpr COLORREF kFill = RGB(225, 230, 240), kFrame = RGB(90, 100, 120);

CRect box(int i) {
    const int x = (i % kColumns) * kBoxWidth, y = (i / kColumns) * kBoxHeight;
    return CRect(x, y, x + kBoxWidth, y + kBoxHeight);
}

struct Target {
    CDC dc;
    CBitmap bitmap;
    std::vector<kelp::KLString> labels;
    Target() {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, kColumns * kBoxWidth, kRows * kBoxHeight);
        dc.SelectObject(&bitmap);
        dc.SetBkMode(TRANSPARENT);
        for (int i = 0; i < kColumns * kRows; ++i)
            labels.emplace_back(std::wstring_view(L"Button " + std::to_wstring(i + 1)));
    }
};

void BM_DrawingLibraryScene(benchmark::State& state) {
    Target t;
    XDC target(&t.dc);
    const GFont font("Arial", 10.0, 0, RGB(0, 0, 0));
    for (auto _ : state) {
        XMemDC buffer(target);
        for (int i = 0; i < kColumns * kRows; ++i) {
            CRect r = box(i);
            buffer.drawBox(r, kFrame, 1, kFill, 0);
            buffer.drawText(t.labels[i], r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, font,
                            RGB(0, 0, 0), 4.0, nullptr);
        }
    }
    benchmark::DoNotOptimize(t.dc.GetPixel(5, 5));
}
BENCHMARK(BM_DrawingLibraryScene)->Unit(benchmark::kMillisecond);

void BM_GdiDirectScene(benchmark::State& state) {
    Target t;
    const GFont font("Arial", 10.0, 0, RGB(0, 0, 0));
    font.select(&t.dc);
    HBRUSH fill = CreateSolidBrush(kFill), frame = CreateSolidBrush(kFrame);
    for (auto _ : state) {
        for (int i = 0; i < kColumns * kRows; ++i) {
            CRect r = box(i);
            FillRect(t.dc, &r, fill);
            FrameRect(t.dc, &r, frame);
            DrawTextW(t.dc, t.labels[i], t.labels[i].length(), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    benchmark::DoNotOptimize(t.dc.GetPixel(5, 5));
    DeleteObject(fill);
    DeleteObject(frame);
}
BENCHMARK(BM_GdiDirectScene)->Unit(benchmark::kMillisecond);

}  // namespace
