// The FLTK peer: it draws through X, so it needs a display (Xvfb will do).
#include <benchmark/benchmark.h>

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::fprintf(stderr, "bench_fltk needs an X display: run it under xvfb-run\n");
        return 1;
    }
    fl_open_display();
    FL_NORMAL_SIZE = 12;  // the others' 9 pt at 96 DPI
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
