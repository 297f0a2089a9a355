// A manager of 10,000 child windows (100x20 each, in a 1280x800 client with
// a vertical bar) laid out, and scrolled by one line (every window moved,
// the client repainted).
#include <benchmark/benchmark.h>

#include <tessel/layout/YBManagerWnd.h>
#include <tessel/platform/testing.h>

#include "../support/TopFrame.h"

namespace {

class Manager : public YBManagerWnd {
public:
    void fill(int count) {
        for (int i = 0; i < count; ++i) {
            auto* child = new YBChildWnd;
            child->setInitialSize(100, 20);
            createChildWnd(child, 0, 0);
        }
    }
};

struct ManagerScene {
    tessel::bench::TopFrame frame;
    Manager manager;
    ManagerScene() {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(1280, 800);
        frame.createAt(0, 0, nullptr);
        manager.setFlag(YBBaseWnd::verticalScrollBar, true);
        manager.setInitialSize(1280, 800);
        manager.createAt(0, 0, &frame);
        manager.fill(10000);
        manager.onLayoutChildren();
        tessel::testing::pump();
    }
};

void BM_ManagerLayout10000(benchmark::State& state) {
    ManagerScene scene;
    for (auto _ : state)
        scene.manager.onLayoutChildren();
}
BENCHMARK(BM_ManagerLayout10000)->Unit(benchmark::kMillisecond);

void BM_ManagerScrollOneLine10000(benchmark::State& state) {
    ManagerScene scene;
    bool down = true;
    for (auto _ : state) {
        down ? scene.manager.onScrollDown() : scene.manager.onScrollUp();
        down = !down;
        tessel::testing::pump();  // the repaint
    }
}
BENCHMARK(BM_ManagerScrollOneLine10000)->Unit(benchmark::kMillisecond);

}  // namespace
