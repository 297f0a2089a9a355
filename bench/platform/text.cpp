// Text that is new every time: labels laid out from scratch, and child windows
// whose labels are all distinct repainted whole.
//
// scene:label_layout/n: n labels measured (GetTextExtentPoint32W), each one
// never seen before (a running number in it), so every one misses the cache.
// scene:paint_distinct_labels/n: n 12x8 children of one popup, each drawing
// its own label (clipped to the cell), all repainted. 100,000 cells of 12x8
// are a 3,000 x 3,200 surface, one popup within the 16,384-pixel side and
// 2^25-pixel limits; the repaint is synchronous (RDW_UPDATENOW). Past the
// text cache's capacity every label is laid out again on each repaint.
// The *_pango benchmarks run the same strings with the direct shaper off.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "gdi/state.h"

namespace {

constexpr int kCellWidth = 12, kCellHeight = 8, kColumns = 250;

// "Report 0000000000.pdf" counting up in place: a distinct label per call.
class LabelCounter {
public:
    const wchar_t* next() {
        for (int i = kLastDigit; i >= kFirstDigit; --i) {
            if (m_text[i] != L'9') {
                ++m_text[i];
                break;
            }
            m_text[i] = L'0';
        }
        return m_text.data();
    }
    static constexpr int kLength = 21;

private:
    static constexpr int kFirstDigit = 7, kLastDigit = 16;
    std::array<wchar_t, kLength + 1> m_text{L"Report 0000000000.pdf"};
};

HFONT labelFont() {
    static HFONT font = [] {
        LOGFONTW lf{};
        lf.lfHeight = -11;
        lf.lfWeight = FW_NORMAL;
        std::wcsncpy(lf.lfFaceName, L"Liberation Sans", LF_FACESIZE - 1);
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

void useSimpleShaping(bool allowed) {
    const tessel::gdi::GdiLock lock;
    tessel::gdi::state().text.allowSimpleShaping(allowed);
}

void labelLayout(benchmark::State& state, bool simple) {
    useSimpleShaping(simple);
    const auto n = static_cast<int>(state.range(0));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, labelFont());
    LabelCounter labels;
    SIZE size{};
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) {
            GetTextExtentPoint32W(dc, labels.next(), LabelCounter::kLength, &size);
            benchmark::DoNotOptimize(size);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    {
        const tessel::gdi::GdiLock lock;
        const tessel::gdi::TextCache& cache = tessel::gdi::state().text.cache();
        state.counters["cache_entries"] = static_cast<double>(cache.size());
        state.counters["cache_bytes_per_entry"] =
            static_cast<double>(cache.bytes()) / static_cast<double>(std::max<std::size_t>(cache.size(), 1));
    }
    useSimpleShaping(true);
    state.counters["elements"] = n;
    state.counters["seconds_per_element"] = benchmark::Counter(
        static_cast<double>(n),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

LRESULT CALLBACK labelCell(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    wchar_t label[64];
    const int length = GetWindowTextW(window, label, 64);
    HGDIOBJ old = SelectObject(dc, labelFont());
    RECT client{0, 0, kCellWidth, kCellHeight};
    DrawTextW(dc, label, length, &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(window, &paint);
    return 0;
}

struct LabelGrid {
    HWND top;
    explicit LabelGrid(int n) {
        tessel::testing::useVirtualClock();
        static const bool registered = [] {
            WNDCLASSW c{};
            c.lpfnWndProc = labelCell;
            c.lpszClassName = L"LabelCell";
            c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            return RegisterClassW(&c) != 0;
        }();
        (void)registered;
        const int rows = (n + kColumns - 1) / kColumns;
        top = CreateWindowExW(0, L"LabelCell", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                              kColumns * kCellWidth, rows * kCellHeight, nullptr, nullptr, nullptr,
                              nullptr);
        LabelCounter labels;
        for (int i = 0; i < n; ++i) {
            CreateWindowExW(0, L"LabelCell", labels.next(), WS_CHILD | WS_VISIBLE,
                            i % kColumns * kCellWidth, i / kColumns * kCellHeight, kCellWidth,
                            kCellHeight, top, nullptr, nullptr, nullptr);
        }
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        tessel::testing::pump();
    }
    ~LabelGrid() { DestroyWindow(top); }
    LabelGrid(const LabelGrid&) = delete;
    LabelGrid& operator=(const LabelGrid&) = delete;
};

void paintDistinctLabels(benchmark::State& state, bool simple) {
    useSimpleShaping(simple);
    const auto n = static_cast<int>(state.range(0));
    LabelGrid grid(n);
    for (auto _ : state) {
        // Painted at once: queued, 100,000 paints would outrun pump()'s limit.
        RedrawWindow(grid.top, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        tessel::testing::pump();
    }
    useSimpleShaping(true);
    state.counters["elements"] = n;
    state.counters["seconds_per_element"] = benchmark::Counter(
        static_cast<double>(n),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LabelLayout(benchmark::State& state) {
    labelLayout(state, true);
}
void BM_LabelLayoutPango(benchmark::State& state) {
    labelLayout(state, false);
}
void BM_PaintDistinctLabels(benchmark::State& state) {
    paintDistinctLabels(state, true);
}
void BM_PaintDistinctLabelsPango(benchmark::State& state) {
    paintDistinctLabels(state, false);
}

}  // namespace

BENCHMARK(BM_LabelLayout)->Name("scene:label_layout")->Arg(1000)->Arg(10000)->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintDistinctLabels)->Name("scene:paint_distinct_labels")->Arg(1000)->Arg(10000)
    ->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LabelLayoutPango)->Name("label_layout_pango")->Arg(1000)->Arg(10000)->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintDistinctLabelsPango)->Name("paint_distinct_labels_pango")->Arg(1000)
    ->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
