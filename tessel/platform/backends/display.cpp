#include <tessel/platform/display.h>

#include <cstring>

#include "backends/backend.h"
#include "user/window_system.h"

namespace tessel {

const char* displayBackend() {
    return ws::WindowSystem::instance().backend->name();
}

bool hasDisplay() {
    return std::strcmp(displayBackend(), "headless") != 0;
}

}  // namespace tessel
