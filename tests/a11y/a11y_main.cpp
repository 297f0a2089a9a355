// The accessibility suite's main: it needs a bus daemon and the registry;
// without them it reports a skip (77) instead of failing.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

#include "AccessBusEnvironment.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests) && !PrivateAccessBus::available()) {
        std::printf("skipped: dbus-daemon, %s or %s is missing\n", PrivateAccessBus::kConfig,
                    PrivateAccessBus::kRegistry);
        return 77;
    }
    // A gallery that died must fail the write to it, not end the whole run.
    std::signal(SIGPIPE, SIG_IGN);
    ::testing::AddGlobalTestEnvironment(new AccessBusEnvironment);
    return RUN_ALL_TESTS();
}
