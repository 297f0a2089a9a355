#include "AccessBusEnvironment.h"

#include <atspi/atspi.h>

#include <cstdlib>
#include <stdexcept>

std::unique_ptr<PrivateAccessBus> AccessBusEnvironment::s_bus;

void AccessBusEnvironment::SetUp() {
    try {
        s_bus = std::make_unique<PrivateAccessBus>();
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    // libatspi takes AT_SPI_BUS_ADDRESS before the display or the session
    // bus; the session address is set too for anything that asks it anyway.
    for (const auto& [name, value] : s_bus->environment()) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    // Without libatspi's own main loop only the interfaces an object has
    // are cached: names, roles, states and extents are read live each time.
    ASSERT_EQ(atspi_init(), 0) << "libatspi did not reach " << s_bus->address();
}

void AccessBusEnvironment::TearDown() {
    atspi_exit();
    s_bus.reset();
}

const PrivateAccessBus& AccessBusEnvironment::bus() {
    if (!s_bus) throw std::logic_error("the private bus is not up");
    return *s_bus;
}
