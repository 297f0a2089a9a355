// One frame of a 1280x800 scene of 1,000 labelled boxes (64x16, 20 columns by
// 50 rows, "Button N" in Arial 10 pt): filled, framed and text-centred.
// Drawn through the platform's GDI, and for comparison with plain Cairo +
// Pango, once laying each label out every frame and once with cached layouts.
#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <vector>

#include <tessel/platform/gdi.h>

namespace {

constexpr int kColumns = 20, kRows = 50, kBoxWidth = 64, kBoxHeight = 16;
constexpr int kWidth = kColumns * kBoxWidth, kHeight = kRows * kBoxHeight;
constexpr COLORREF kFill = RGB(225, 230, 240), kFrame = RGB(90, 100, 120);

RECT box(int i) {
    const int x = (i % kColumns) * kBoxWidth, y = (i / kColumns) * kBoxHeight;
    return {x, y, x + kBoxWidth, y + kBoxHeight};
}

std::wstring wideLabel(int i) {
    return L"Button " + std::to_wstring(i + 1);
}
std::string label(int i) {
    return "Button " + std::to_string(i + 1);
}

void BM_GdiScene(benchmark::State& state) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
    SelectObject(dc, bitmap);
    LOGFONTW lf{};
    lf.lfHeight = -13;  // 10 pt at 96 DPI
    std::wcscpy(lf.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&lf);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    HBRUSH fill = CreateSolidBrush(kFill), frame = CreateSolidBrush(kFrame);
    std::vector<std::wstring> labels;
    for (int i = 0; i < kColumns * kRows; ++i)
        labels.push_back(wideLabel(i));

    for (auto _ : state) {
        for (int i = 0; i < kColumns * kRows; ++i) {
            RECT r = box(i);
            FillRect(dc, &r, fill);
            FrameRect(dc, &r, frame);
            DrawTextW(dc, labels[i].c_str(), static_cast<int>(labels[i].size()), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        benchmark::DoNotOptimize(GetPixel(dc, 5, 5));
    }
    DeleteDC(dc);
    DeleteObject(bitmap);
    DeleteObject(font);
    DeleteObject(fill);
    DeleteObject(frame);
}
BENCHMARK(BM_GdiScene)->Unit(benchmark::kMillisecond);

// Plain Cairo + Pango with the same text settings as the platform.
struct CairoScene {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    PangoFontDescription* font = pango_font_description_from_string("Arial 10");
    CairoScene() {
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    }
    ~CairoScene() {
        pango_font_description_free(font);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    PangoLayout* newLayout() {
        PangoLayout* layout = pango_cairo_create_layout(cr);  // 96 DPI: the default font map's
        pango_layout_set_font_description(layout, font);
        return layout;
    }
    void drawBox(int i, PangoLayout* layout) {
        const RECT r = box(i);
        cairo_set_source_rgb(cr, 225 / 255.0, 230 / 255.0, 240 / 255.0);
        cairo_rectangle(cr, r.left, r.top, kBoxWidth, kBoxHeight);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 90 / 255.0, 100 / 255.0, 120 / 255.0);
        cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, kBoxWidth - 1, kBoxHeight - 1);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        int w, h;
        pango_layout_get_pixel_size(layout, &w, &h);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, r.left + (kBoxWidth - w) / 2, r.top + (kBoxHeight - h) / 2);
        pango_cairo_show_layout(cr, layout);
    }
};

void BM_CairoPangoScene_Relayout(benchmark::State& state) {
    CairoScene scene;
    PangoLayout* layout = scene.newLayout();
    std::vector<std::string> labels;
    for (int i = 0; i < kColumns * kRows; ++i)
        labels.push_back(label(i));
    for (auto _ : state) {
        for (int i = 0; i < kColumns * kRows; ++i) {
            pango_layout_set_text(layout, labels[i].c_str(), -1);
            scene.drawBox(i, layout);
        }
        cairo_surface_flush(scene.surface);
    }
    g_object_unref(layout);
}
BENCHMARK(BM_CairoPangoScene_Relayout)->Unit(benchmark::kMillisecond);

void BM_CairoPangoScene_CachedLayouts(benchmark::State& state) {
    CairoScene scene;
    std::vector<PangoLayout*> layouts;
    for (int i = 0; i < kColumns * kRows; ++i) {
        layouts.push_back(scene.newLayout());
        pango_layout_set_text(layouts.back(), label(i).c_str(), -1);
    }
    for (auto _ : state) {
        for (int i = 0; i < kColumns * kRows; ++i)
            scene.drawBox(i, layouts[i]);
        cairo_surface_flush(scene.surface);
    }
    for (PangoLayout* layout : layouts)
        g_object_unref(layout);
}
BENCHMARK(BM_CairoPangoScene_CachedLayouts)->Unit(benchmark::kMillisecond);

}  // namespace
