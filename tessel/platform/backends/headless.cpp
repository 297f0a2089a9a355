#include <cstdio>
#include <cstdlib>

#include "backends/backend.h"
#include "user/wait_source_set.h"

namespace tessel::ws {

namespace {

class HeadlessBackend final : public Backend {
public:
    HeadlessBackend() {
        if (const char* size = std::getenv("TESSEL_SCREEN")) {
            int w = 0, h = 0;
            if (std::sscanf(size, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 16384 &&
                h <= 16384) {
                m_screen = {w, h};
            }
        }
    }
    const char* name() const override { return "headless"; }
    SIZE screenSize() const override { return m_screen; }
    void topLevelChanged(Window&) override {}
    void topLevelDestroyed(Window&) override {}
    void present(Window&, const RECT&) override {}
    // Nothing arrives from a display: the watched descriptors alone can end the wait early.
    void wait(long timeoutMs) override { WaitSourceSet::instance().wait(timeoutMs); }
    void cursorChanged(HCURSOR) override {}

private:
    SIZE m_screen{1920, 1080};
};

}  // namespace

Backend* headlessBackend() {
    static HeadlessBackend backend;
    return &backend;
}

}  // namespace tessel::ws
