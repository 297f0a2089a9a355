// The component host at scale: 10,000 buttons of 96x24 flowed in a 1280x800
// client (a vertical bar, 13 per row, about 770 rows): a full layout, one
// pointer move routed through the window system to the components, one
// full repaint through the off-screen buffer; and the registry walk of
// enableAllWithID over 1,000,000 registered components.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <tessel/components/YBButton.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/platform/testing.h>

namespace {

constexpr int kComponents = 10000;

class Frame : public YBChildWnd {
public:
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
};

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
    Frame frame;
    Host host{RGB(255, 255, 255)};
    Scene() {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(1280, 800);
        frame.createAt(0, 0, nullptr);
        host.setFlag(YBBaseWnd::verticalScrollBar, true);
        host.setInitialSize(1280, 800);
        host.createAt(0, 0, &frame);
        for (int i = 0; i < kComponents; ++i) {
            auto* button = new BoxButton(static_cast<unsigned>(i % 100), &host);
            button->setInitialSize(96, 24);
            host.addComponent(button, false, false);
        }
        host.onLayoutComponents();
        tessel::testing::pump();
    }
};

void BM_Layout(benchmark::State& state) {
    Scene scene;
    for (auto _ : state)
        scene.host.onLayoutComponents();
    state.counters["components"] = kComponents;
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMicrosecond);

// Moves the pointer over the host to each point in turn, one per iteration.
template <std::size_t N>
void movePointer(benchmark::State& state, const POINT (&points)[N]) {
    Scene scene;
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

void BM_FullRepaint(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        InvalidateRect(scene.host.m_hWnd, nullptr, TRUE);
        UpdateWindow(scene.host.m_hWnd);
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_EnableAllWithID(benchmark::State& state) {
    std::vector<std::unique_ptr<YBComponent>> registered;
    registered.reserve(1000000);
    for (int i = 0; i < 1000000; ++i)
        registered.push_back(
            std::make_unique<YBComponent>(static_cast<unsigned>(i % 1000), nullptr));
    bool enable = false;
    for (auto _ : state) {
        YBComponent::enableAllWithID(7, enable, false);
        enable = !enable;
    }
    state.counters["registered"] = static_cast<double>(YBComponent::m_componentList.size());
}
BENCHMARK(BM_EnableAllWithID)->Unit(benchmark::kMillisecond);

}  // namespace
