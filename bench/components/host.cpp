// The component host at scale: buttons flowed in a 1280x800 client with a
// vertical bar. 10,000 framed boxes of 96x24 (13 per row, about 770 rows):
// a full layout and one pointer move routed through the window system to
// the components. The full repaint through the off-screen buffer with n
// labelled 64x16 text buttons (20 per row). The registry walk of
// enableAllWithID over n registered components, up to 1,000,000.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include <tessel/components/YBButton.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/platform/testing.h>

#include "../support/TopFrame.h"
#include "../support/table.h"

namespace {

constexpr int kComponents = 10000;

class Host : public YBComponentWnd {
public:
    using YBComponentWnd::YBComponentWnd;
};

// A button that draws a framed box, as the drawn buttons do.
class BoxButton : public YBButton {
public:
    using YBButton::YBButton;
    void onDraw(XDC& dc) override {
        dc.drawBox(m_rect, RGB(90, 90, 100), 1,
                   isMouseOver() ? RGB(220, 230, 250) : RGB(245, 245, 248), 0);
    }
};

struct Scene {
    tessel::bench::TopFrame frame;
    Host host{RGB(255, 255, 255)};
    Scene() {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(1280, 800);
        frame.createAt(0, 0, nullptr);
        host.setFlag(YBBaseWnd::verticalScrollBar, true);
        host.setInitialSize(1280, 800);
        host.createAt(0, 0, &frame);
    }
    void show() {
        host.onLayoutComponents();
        tessel::testing::pump();
    }
};

struct BoxScene : Scene {
    BoxScene() {
        for (int i = 0; i < kComponents; ++i) {
            auto* button = new BoxButton(static_cast<unsigned>(i % 100), &host);
            button->setInitialSize(96, 24);
            host.addComponent(button, false, false);
        }
        show();
    }
};

struct LabelScene : Scene {
    explicit LabelScene(int count) {
        const GFont font("Arial", 9.0, 0, 0);
        for (int i = 0; i < count; ++i) {
            const std::wstring label = L"Button " + std::to_wstring(i + 1);
            host.addComponent(
                new YBTextButton(static_cast<unsigned>(i % 100),
                                 kelp::KLString(std::wstring_view(label)), font, 64, 16, &host),
                false, false);
        }
        show();
    }
};

void BM_Layout(benchmark::State& state) {
    BoxScene scene;
    for (auto _ : state)
        scene.host.onLayoutComponents();
    state.counters["components"] = kComponents;
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMicrosecond);

// Moves the pointer over the host to each point in turn, one per iteration.
template <std::size_t N>
void movePointer(benchmark::State& state, const POINT (&points)[N]) {
    BoxScene scene;
    std::size_t next = 0;
    for (auto _ : state) {
        const POINT p = points[next++ % N];
        SetCursorPos(p.x, p.y);
        tessel::testing::pump();
    }
}

// Across button borders: enter and leave on every move, and the repaint they ask for.
void BM_RoutedPointerMove(benchmark::State& state) {
    const POINT points[] = {{50, 10}, {150, 34}, {250, 58}, {640, 400}};
    movePointer(state, points);
}
BENCHMARK(BM_RoutedPointerMove)->Unit(benchmark::kMicrosecond);

// Within one button: the walk over every component without any repaint.
void BM_RoutedPointerMoveWithinAButton(benchmark::State& state) {
    const POINT points[] = {{20, 8}, {60, 16}};
    movePointer(state, points);
}
BENCHMARK(BM_RoutedPointerMoveWithinAButton)->Unit(benchmark::kMicrosecond);

void fullRepaint(benchmark::State& state) {
    LabelScene scene(tessel::bench::elements(state));
    for (auto _ : state) {
        InvalidateRect(scene.host.m_hWnd, nullptr, TRUE);
        UpdateWindow(scene.host.m_hWnd);
    }
}
BENCHMARK(fullRepaint)->Name("BM_HostFullRepaintLabelled")->Apply(tessel::bench::scaled<100>);

void enableAllWithID(benchmark::State& state) {
    const int count = tessel::bench::elements(state);
    std::vector<std::unique_ptr<YBComponent>> registered;
    registered.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        registered.push_back(
            std::make_unique<YBComponent>(static_cast<unsigned>(i % 1000), nullptr));
    bool enable = false;
    for (auto _ : state) {
        YBComponent::enableAllWithID(7, enable, false);
        enable = !enable;
    }
    state.counters["registered"] = static_cast<double>(YBComponent::m_componentList.size());
}
BENCHMARK(enableAllWithID)->Name("BM_EnableAllWithID")->Apply(tessel::bench::scaled<10000>);

}  // namespace
