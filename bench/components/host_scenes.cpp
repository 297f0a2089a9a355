// The component host's table scenes: labelled 64x16 text buttons flowed in a
// 1280x800 host, repainted whole, hovered, wheeled; the heap a text button
// holds with its eight styles; the registry walk of enableAllWithID.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <string>
#include <vector>

#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

namespace {

constexpr int kClientWidth = 1280;
constexpr int kClientHeight = 800;

class Frame : public YBChildWnd {
public:
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
};

const GFont& labelFont() {
    static const GFont font("Arial", 8.0, 0, 0);
    return font;
}

kelp::KLString label(int i) {
    return kelp::KLString(std::to_wstring(i).c_str());
}

// n labelled 64x16 text buttons flowed in a 1280x800 host with a vertical bar.
struct ButtonsHost {
    Frame frame;
    YBComponentWnd host{RGB(255, 255, 255)};

    explicit ButtonsHost(int n) {
        tessel::testing::useVirtualClock();
        const int width = kClientWidth + GetSystemMetrics(SM_CXVSCROLL);
        frame.setInitialSize(width, kClientHeight);
        frame.createAt(0, 0, nullptr);
        host.setFlag(YBBaseWnd::verticalScrollBar, true);
        host.setInitialSize(width, kClientHeight);
        host.createAt(0, 0, &frame);
        for (int i = 0; i < n; ++i)
            host.addComponent(
                new YBTextButton(static_cast<unsigned>(i), label(i), labelFont(), 64, 16, &host),
                false, false);
        host.onLayoutComponents();
        tessel::testing::pump();
    }
};

void sceneCounters(benchmark::State& state) {
    state.counters["elements"] = static_cast<double>(state.range(0));
}

void fullRepaintButtonsHost(benchmark::State& state) {
    ButtonsHost scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        InvalidateRect(scene.host.m_hWnd, nullptr, TRUE);
        UpdateWindow(scene.host.m_hWnd);
    }
    sceneCounters(state);
}
BENCHMARK(fullRepaintButtonsHost)
    ->Name("scene:full_repaint_buttons_host")
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

// Two points inside the first button, through the window system: after the
// first enter nothing changes state, so this is the routing itself.
void pointerMoveWithinButton(benchmark::State& state) {
    ButtonsHost scene(static_cast<int>(state.range(0)));
    const POINT points[] = {{20, 5}, {40, 10}};
    SetCursorPos(points[1].x, points[1].y);
    tessel::testing::pump();
    std::size_t next = 0;
    for (auto _ : state) {
        const POINT p = points[next++ % 2];
        SetCursorPos(p.x, p.y);
        tessel::testing::pump();
    }
    sceneCounters(state);
}
BENCHMARK(pointerMoveWithinButton)
    ->Name("scene:pointer_move_within_button")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

// One wheel notch, alternately down and up (the host starts one line down
// so both scroll), and the repaint it brings.
void hostWheelStep(benchmark::State& state) {
    ButtonsHost scene(static_cast<int>(state.range(0)));
    SetCursorPos(640, 400);
    tessel::testing::pump();
    tessel::sendMouseInput(MOUSEEVENTF_WHEEL, -WHEEL_DELTA);
    tessel::testing::pump();
    LONG delta = WHEEL_DELTA;
    for (auto _ : state) {
        tessel::sendMouseInput(MOUSEEVENTF_WHEEL, delta);
        tessel::testing::pump();
        delta = -delta;
    }
    sceneCounters(state);
}
BENCHMARK(hostWheelStep)
    ->Name("scene:host_wheel_step")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

long long heapInUse() {
    return static_cast<long long>(mallinfo2().uordblks);
}

// malloc's own count: the object, its style array, text, fonts and registry entry.
void heapPerComponent(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<YBTextButton>> buttons;
    buttons.reserve(static_cast<std::size_t>(n));
    const YBTextButton warm(1, L"Save", labelFont(), 64, 16, nullptr);
    double perButton = 0;
    for (auto _ : state) {
        const long long before = heapInUse();
        for (int i = 0; i < n; ++i)
            buttons.push_back(
                std::make_unique<YBTextButton>(1, L"Save", labelFont(), 64, 16, nullptr));
        perButton = static_cast<double>(heapInUse() - before) / n;
        state.PauseTiming();
        buttons.clear();
        state.ResumeTiming();
    }
    state.counters["bytes_per_element"] = perButton;
    sceneCounters(state);
}
BENCHMARK(heapPerComponent)
    ->Name("scene:heap_per_component")
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

// n registered components in ten hosts, one in a thousand with the
// identifier; every call flips them and repaints their hosts.
void enableAllWithId(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    tessel::testing::useVirtualClock();
    Frame frame;
    frame.setInitialSize(200, 200);
    frame.createAt(0, 0, nullptr);
    std::vector<std::unique_ptr<YBComponentWnd>> hosts;
    for (int h = 0; h < 10; ++h) {
        hosts.push_back(std::make_unique<YBComponentWnd>());
        hosts.back()->setInitialSize(20, 20);
        hosts.back()->createAt(0, 0, &frame);
    }
    std::vector<std::unique_ptr<YBComponent>> registered;
    registered.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        registered.push_back(std::make_unique<YBComponent>(
            static_cast<unsigned>(i % 1000), hosts[static_cast<std::size_t>(i % 10)].get()));
    tessel::testing::pump();
    bool enable = false;
    for (auto _ : state) {
        YBComponent::enableAllWithID(7, enable, true);
        enable = !enable;
    }
    tessel::testing::pump();
    sceneCounters(state);
}
BENCHMARK(enableAllWithId)
    ->Name("scene:enable_all_with_id")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
