// A test with the a11y_gallery program running on the run's private bus,
// talked to a line at a time, and found where an assistive technology finds
// it: among the desktop's children. Each test has a layout store of its own,
// so the gallery starts from its built-in layout and leaves nothing behind.
//
//   TEST_F(GalleryOnBus, Something) {
//       const AccessibleTree tree = readTree();
//       ask("key tab");
//   }
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AccessibleTree.h"
#include "ChildProcess.h"

class GalleryOnBus : public ::testing::Test {
public:
    // One line of `rects`: a window or a component and its screen rectangle.
    struct Place {
        char kind = 'w';         // 'w' window, 'c' component
        std::uint64_t id = 0;    // the window's handle or the component's accessible id
        std::uint64_t host = 0;  // a component's window
        int x = 0, y = 0, cx = 0, cy = 0;

        std::string path() const;
    };

protected:
    // Sanitizer builds run the gallery and libatspi several times slower;
    // the limits the toolkit is held to are for a normal build.
    static constexpr int kSlowdown = A11Y_SLOWDOWN;

    void SetUp() override;
    void TearDown() override;

    // The gallery's lines before "ok"; throws std::runtime_error on "error" or no answer.
    std::vector<std::string> ask(const std::string& command);
    std::vector<Place> rects();
    std::vector<int> commands();

    AtspiAccessible* application() const { return m_application.get(); }
    const std::string& busName() const { return m_busName; }
    AccessibleTree readTree() const { return AccessibleTree::read(m_application.get()); }

    // The host with the most components: the gallery's big one.
    static const Place& mainHost(const std::vector<Place>& places);
    static std::vector<Place> componentsOf(const std::vector<Place>& places, std::uint64_t host);

    std::vector<Place> m_places;  // as the gallery started

private:
    std::string m_configHome;
    int m_toGallery = -1;
    int m_fromGallery = -1;
    std::string m_received;  // read but not yet taken as lines
    std::optional<ChildProcess> m_gallery;
    GObjectPtr<AtspiAccessible> m_application;
    std::string m_busName;
};
