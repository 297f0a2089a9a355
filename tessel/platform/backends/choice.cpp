// The one place where a process gets its display backend.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backends/backend.h"

namespace tessel::ws {

namespace {
bool announced(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

[[maybe_unused]] const bool chooserNamed = (setBackendChooser(&chooseBackend), true);
}  // namespace

Backend* chooseBackend() {
    const char* forced = std::getenv("TESSEL_BACKEND");
    std::string failure;
    if (forced && *forced) {
        if (std::strcmp(forced, "headless") == 0) return headlessBackend();
        if (std::strcmp(forced, "sdl") != 0) {
            std::fprintf(stderr,
                         "tessel: TESSEL_BACKEND=%s is neither headless nor sdl; using headless\n",
                         forced);
            return headlessBackend();
        }
        if (Backend* sdl = sdlBackend(failure)) return sdl;
        std::fprintf(stderr,
                     "tessel: TESSEL_BACKEND=sdl, but SDL video fails (%s); using headless\n",
                     failure.c_str());
        return headlessBackend();
    }
    // A display that does not answer is no display: headless, quietly.
    if (announced("DISPLAY") || announced("WAYLAND_DISPLAY")) {
        if (Backend* sdl = sdlBackend(failure)) return sdl;
    }
    return headlessBackend();
}

}  // namespace tessel::ws
