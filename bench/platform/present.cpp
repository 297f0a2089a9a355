// From an invalidation to the pixels on the native window, through the SDL
// backend: InvalidateRect on a 1280x800 top-level window whose WM_PAINT fills
// what is invalid, then one pump (paint, then the next turn of the loop
// presents). The whole window, and a 100x100 part of it, which shows what
// presenting only the damage saves. Each iteration is timed on its own; the
// median is reported as `median_us`.
//
// Needs the SDL backend (TESSEL_BACKEND=sdl, see main.cpp): on the display in
// DISPLAY (a desktop or Xvfb), else on SDL's offscreen driver;
// SDL_FRAMEBUFFER_ACCELERATION=1 compares SDL's OpenGL frame buffer.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

namespace {

constexpr int kWidth = 1280, kHeight = 800;
HBRUSH g_brushes[2];
int g_frame = 0;

LRESULT CALLBACK filling(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    FillRect(dc, &ps.rcPaint, g_brushes[g_frame % 2]);  // every frame changes every pixel
    EndPaint(window, &ps);
    return 0;
}

SDL_Window* nativeTitled(const char* title) {
    for (Uint32 id = 1; id < 256; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w && std::strcmp(SDL_GetWindowTitle(w), title) == 0) return w;
    }
    return nullptr;
}

void BM_InvalidateToPresent(benchmark::State& state) {
    static const bool registered = [] {
        g_brushes[0] = CreateSolidBrush(RGB(200, 30, 30));
        g_brushes[1] = CreateSolidBrush(RGB(30, 30, 200));
        WNDCLASSW c{0, filling, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"Present"};
        return RegisterClassW(&c) != 0;
    }();
    (void)registered;
    HWND top = CreateWindowExW(0, L"Present", L"bench_present", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                               kHeight, nullptr, nullptr, nullptr, nullptr);
    tessel::testing::pump();
    SDL_Window* native = nativeTitled("bench_present");
    if (!native) {
        DestroyWindow(top);
        state.SkipWithError("no SDL window: run with TESSEL_BACKEND=sdl");
        return;
    }
    const int side = static_cast<int>(state.range(0));
    const RECT part{0, 0, side, side};
    std::vector<double> micros;
    for (auto _ : state) {
        ++g_frame;
        const auto start = std::chrono::steady_clock::now();
        InvalidateRect(top, side < kWidth ? &part : nullptr, FALSE);
        tessel::testing::pump();
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        micros.push_back(took.count());
        state.SetIterationTime(took.count() / 1e6);
    }
    // The last frame's colour must have reached the native window.
    const SDL_Surface* frameBuffer = SDL_GetWindowSurface(native);
    const Uint32 pixel = static_cast<const Uint32*>(frameBuffer->pixels)[0] & 0xFFFFFF;
    const Uint32 wanted = g_frame % 2 ? 0x1E1EC8 : 0xC81E1E;
    DestroyWindow(top);
    tessel::testing::pump();
    if (pixel != wanted) {
        state.SkipWithError("the native window does not show the last frame");
        return;
    }
    std::nth_element(micros.begin(), micros.begin() + micros.size() / 2, micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.SetLabel(SDL_GetCurrentVideoDriver());
}
BENCHMARK(BM_InvalidateToPresent)
    ->Arg(kWidth)
    ->Arg(100)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
