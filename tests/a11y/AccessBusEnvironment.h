// The run's private accessibility bus, and libatspi in this process pointed
// at it before anything initialises it. The process never reaches the
// desktop's session bus: both bus addresses name the private daemon.
//
//   ::testing::AddGlobalTestEnvironment(new AccessBusEnvironment);
//   ... AccessBusEnvironment::bus().environment() ...
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "PrivateAccessBus.h"

class AccessBusEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    static const PrivateAccessBus& bus();

private:
    static std::unique_ptr<PrivateAccessBus> s_bus;
};
