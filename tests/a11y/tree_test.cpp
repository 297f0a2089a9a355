// The gallery as a screen reader reads it: one object per window and per
// component, where the window system shows them, named without mnemonics.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "GalleryOnBus.h"

namespace {

using Clock = std::chrono::steady_clock;
using Place = GalleryDriver::Place;

// Every place the gallery lists is an object whose screen extents are the place, to the pixel.
void expectExtentsMatch(const AccessibleTree& tree, const std::vector<Place>& places) {
    for (const Place& place : places) {
        const AccessibleTree::Node* node = tree.find(place.path());
        ASSERT_NE(node, nullptr) << place.path() << " is not in the tree";
        ASSERT_TRUE(node->extents) << place.path() << " has no extents";
        EXPECT_EQ(*node->extents, (AccessibleTree::Extents{place.x, place.y, place.cx, place.cy}))
            << place.path() << " \"" << node->name << "\"";
    }
}

TEST_F(GalleryOnBus, WholeTreeReadsWithinASecondAndMatchesTheWindows) {
    // The quickest of three walks: a machine busy with other work slows a
    // walk down, never speeds it up.
    std::vector<long long> took;
    std::optional<AccessibleTree> read;
    for (int walk = 0; walk < 3 && (took.empty() || std::ranges::min(took) >= 1000 * kSlowdown);
         ++walk) {
        const Clock::time_point start = Clock::now();
        read = readTree();
        took.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    }
    const AccessibleTree& tree = *read;
    EXPECT_LT(std::ranges::min(took), 1000 * kSlowdown)
        << "reading " << tree.nodes().size() << " objects took " << ::testing::PrintToString(took)
        << " ms";

    for (const AccessibleTree::Node& node : tree.nodes()) {
        EXPECT_TRUE(node.errors.empty()) << node.path << ": " << node.errors.front();
        EXPECT_EQ(node.name.find('&'), std::string::npos)
            << node.path << " is named \"" << node.name << "\"";
    }
    expectExtentsMatch(tree, m_places);

    // The frame is the application's child; the host's children are its components, in layout
    // order.
    const AccessibleTree::Node* root = tree.find(AccessibleTree::pathOf(application()));
    ASSERT_NE(root, nullptr);
    EXPECT_NE(std::find(root->children.begin(), root->children.end(), m_places.front().path()),
              root->children.end());
    const AccessibleTree::Node* frame = tree.find(m_places.front().path());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role, ATSPI_ROLE_FRAME);
    EXPECT_EQ(frame->name, "Tessel gallery");
    EXPECT_TRUE(frame->has(ATSPI_STATE_ACTIVE));
    for (const Place& place : m_places) {
        if (place.kind != 'w') continue;
        const std::vector<Place> components = componentsOf(m_places, place.id);
        const AccessibleTree::Node* host = tree.find(place.path());
        if (!host || components.empty()) continue;
        std::vector<std::string> paths;
        for (const Place& component : components)
            paths.push_back(component.path());
        EXPECT_EQ(host->children, paths) << "children of host " << place.path();
    }
    EXPECT_EQ(tree.find(mainHost(m_places).path())->role, ATSPI_ROLE_SCROLL_PANE);
}

TEST_F(GalleryOnBus, RolesNamesAndStatesFollowTheKindOfEachObject) {
    const AccessibleTree tree = readTree();
    // Their captions carry mnemonics: "&Window button (310)", "&Grey 601".
    for (const char* name : {"Window button (310)", "Grey 601", "Toggle 621", "shared 500"}) {
        const AccessibleTree::Node* button = tree.findByName(name);
        ASSERT_NE(button, nullptr) << "no object named \"" << name << "\"";
        EXPECT_EQ(button->role, ATSPI_ROLE_PUSH_BUTTON) << name;
        EXPECT_TRUE(button->has(ATSPI_STATE_ENABLED) && button->has(ATSPI_STATE_SENSITIVE)) << name;
        EXPECT_TRUE(button->has(ATSPI_STATE_VISIBLE)) << name;
        EXPECT_FALSE(button->has(ATSPI_STATE_CHECKED)) << name;
    }
    const auto withRole = [&](AtspiRole role) {
        return std::count_if(tree.nodes().begin(), tree.nodes().end(),
                             [&](const AccessibleTree::Node& node) { return node.role == role; });
    };
    EXPECT_GE(withRole(ATSPI_ROLE_TOOL_BAR), 1);
    EXPECT_GE(withRole(ATSPI_ROLE_SPLIT_PANE), 2);
    EXPECT_GE(withRole(ATSPI_ROLE_SEPARATOR), 2);
    EXPECT_GE(withRole(ATSPI_ROLE_LABEL), 3);
    for (const AccessibleTree::Node& node : tree.nodes()) {
        if (node.role != ATSPI_ROLE_SEPARATOR) continue;
        EXPECT_TRUE(GObjectPtr<AtspiValue>(atspi_accessible_get_value_iface(node.object.get())))
            << "splitter bar " << node.path << " has no value";
    }
}

TEST_F(GalleryOnBus, ExtentsFollowTheHostWhenTheWheelScrollsIt) {
    const Place& host = mainHost(m_places);
    driver().ask("wheel w" + std::to_string(host.id) + " -360");
    const std::vector<Place> after = driver().rects();
    const std::vector<Place> before = componentsOf(m_places, host.id);
    const std::vector<Place> moved = componentsOf(after, host.id);
    ASSERT_EQ(moved.size(), before.size());
    ASSERT_LT(moved.front().y, before.front().y) << "the wheel did not scroll the host";
    expectExtentsMatch(readTree(), after);
}

}  // namespace
