// The platform's benchmarks measure the toolkit on the headless backend,
// unless TESSEL_BACKEND says otherwise; the present benchmark needs
// TESSEL_BACKEND=sdl, on the display in DISPLAY if there is one, else on
// SDL's offscreen driver.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    // The backend is chosen at the first window-system call.
    setenv("TESSEL_BACKEND", "headless", 0);
    const char* display = std::getenv("DISPLAY");
    if (std::strcmp(std::getenv("TESSEL_BACKEND"), "sdl") == 0 && (!display || !*display) &&
        !std::getenv("SDL_VIDEODRIVER"))
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
