// The accessibility suite's main: the run's private bus, with libatspi in
// this process pointed at it before anything initialises it. Without the
// bus daemon or the registry the suite reports a skip (77).
#include <atspi/atspi.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "PrivateAccessBus.h"

namespace {

std::unique_ptr<PrivateAccessBus> theBus;

class AccessBusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        try {
            theBus = std::make_unique<PrivateAccessBus>();
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        for (const auto& [name, value] : theBus->environment())
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        ASSERT_EQ(atspi_init(), 0) << "libatspi did not reach " << theBus->address();
    }
    void TearDown() override {
        atspi_exit();
        theBus.reset();
    }
};

}  // namespace

const PrivateAccessBus& PrivateAccessBus::shared() {
    if (!theBus) throw std::logic_error("the private bus is not up");
    return *theBus;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests) && !PrivateAccessBus::available()) {
        std::printf("skipped: dbus-daemon, %s or %s is missing\n", PrivateAccessBus::kConfig,
                    PrivateAccessBus::kRegistry);
        return 77;
    }
    std::signal(SIGPIPE, SIG_IGN);  // a gallery that died fails the write, not the run
    ::testing::AddGlobalTestEnvironment(new AccessBusEnvironment);
    return RUN_ALL_TESTS();
}
