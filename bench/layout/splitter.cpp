// A splitter of 50 panes resized by one pixel, and one of its bars dragged
// by one pixel.
#include <benchmark/benchmark.h>

#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

#include "../support/TopFrame.h"

namespace {

struct SplitterScene {
    tessel::bench::TopFrame frame;
    YBSplitterWnd splitter{0, L""};
    SplitterScene() {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(1300, 400);
        frame.createAt(0, 0, nullptr);
        splitter.setInitialSize(1300, 400);
        splitter.createAt(0, 0, &frame);
        for (int i = 0; i < 50; ++i)
            splitter.addPane(new YBChildWnd, 20, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
        tessel::testing::pump();
    }
};

void BM_SplitterResizeOnePixel50(benchmark::State& state) {
    SplitterScene scene;
    int width = 1300;
    for (auto _ : state) {
        width = width == 1300 ? 1301 : 1300;
        scene.splitter.SetWindowPos(nullptr, 0, 0, width, 400, SWP_NOMOVE | SWP_NOZORDER);
        tessel::testing::pump();
    }
}
BENCHMARK(BM_SplitterResizeOnePixel50)->Unit(benchmark::kMicrosecond);

void BM_SplitterDragOnePixel50(benchmark::State& state) {
    SplitterScene scene;
    const CRect bar = scene.splitter.getBar(24)->m_rect;
    ::SetCursorPos(bar.left + 3, 200);
    tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
    tessel::testing::pump();
    int x = bar.left + 3;
    for (auto _ : state) {
        x = x == bar.left + 3 ? bar.left + 4 : bar.left + 3;
        ::SetCursorPos(x, 200);
        tessel::testing::pump();
    }
    tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
    tessel::testing::pump();
}
BENCHMARK(BM_SplitterDragOnePixel50)->Unit(benchmark::kMicrosecond);

}  // namespace
