// A test with the gallery running on the private bus and found where an
// assistive technology finds it: among the desktop's children.
//
//   TEST_F(GalleryOnBus, Something) {
//       const AccessibleTree tree = readTree();
//       driver().ask("key tab");
//   }
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "AccessibleTree.h"
#include "GalleryDriver.h"

class GalleryOnBus : public ::testing::Test {
protected:
    // How long the application may take to appear once it runs its loop.
    static constexpr auto kAppearLimit = std::chrono::seconds(2);
    // Sanitizer builds run the gallery and libatspi several times slower;
    // the limits the toolkit is held to are for a normal build.
    static constexpr int kSlowdown = A11Y_SLOWDOWN;

    void SetUp() override;
    void TearDown() override;

    GalleryDriver& driver() { return *m_driver; }
    AtspiAccessible* application() const { return m_application.get(); }
    const std::string& busName() const { return m_busName; }
    AccessibleTree readTree() const { return AccessibleTree::read(m_application.get()); }

    // The host with the most components: the gallery's big one.
    static const GalleryDriver::Place& mainHost(const std::vector<GalleryDriver::Place>& places);
    static std::vector<GalleryDriver::Place> componentsOf(
        const std::vector<GalleryDriver::Place>& places, std::uint64_t host);

    std::vector<GalleryDriver::Place> m_places;  // as the gallery started

private:
    std::unique_ptr<GalleryDriver> m_driver;
    GObjectPtr<AtspiAccessible> m_application;
    std::string m_busName;
};
