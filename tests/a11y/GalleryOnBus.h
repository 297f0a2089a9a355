// The a11y_gallery driver on the suite's private accessibility bus (a
// dbus-daemon with the accessibility configuration, which starts the
// registry; main() in GalleryOnBus.cpp), talked to a line at a time and found
// where an assistive technology finds it: among the desktop's children. Each
// test has a layout store of its own, so the gallery starts from its built-in
// layout and leaves nothing behind.
#pragma once

#include <atspi/atspi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct GUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GPtr = std::unique_ptr<T, GUnref>;

// One object as a reader reads it.
struct Node {
    GPtr<AtspiAccessible> object;
    std::string name;
    AtspiRole role = ATSPI_ROLE_INVALID;
    GPtr<AtspiStateSet> states;  // as read with the tree
    std::vector<int> extents;    // screen x, y, cx, cy; objects with the Component interface
    std::vector<std::string> children;
    std::string errors;  // what the bus refused while reading

    bool has(AtspiStateType state) const { return atspi_state_set_contains(states.get(), state); }
    bool hasNow(AtspiStateType state) const {
        return atspi_state_set_contains(
            GPtr<AtspiStateSet>(atspi_accessible_get_state_set(object.get())).get(), state);
    }
};
using Tree = std::map<std::string, Node>;  // by object path

const Node* findByName(const Tree& tree, const std::string& name);

// An event a reader hears, delivered while waitFor or drain run the main context.
struct Event {
    std::string type, path, busName;
    int detail1 = 0;
};
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);

class GalleryOnBus : public ::testing::Test {
public:
    // One line of `rects`: a window ('w') or a component ('c') and its screen rectangle.
    struct Place {
        char kind = 'w';
        std::uint64_t id = 0;    // the window's handle or the component's accessible id
        std::uint64_t host = 0;  // a component's window
        int x = 0, y = 0, cx = 0, cy = 0;
        std::string path() const;
    };

protected:
    void SetUp() override;
    void TearDown() override;

    // The gallery's lines before "ok"; throws std::runtime_error on "error" or no answer.
    std::vector<std::string> ask(const std::string& command);
    std::vector<Place> rects();
    std::vector<int> commands();
    Tree readTree() const;
    // Delivers every event the gallery sent before it answers one call: the
    // bus keeps one sender's messages in order.
    void drain() const;
    const std::string& busName() const { return m_busName; }
    // The host with the most components: the gallery's big one.
    static const Place& mainHost(const std::vector<Place>& places);
    static std::vector<Place> componentsOf(const std::vector<Place>& places, std::uint64_t host);

    std::vector<Place> m_places;  // as the gallery started
    std::vector<Event> events;    // state changes, moves and focus since SetUp or a clear

private:
    std::string m_configHome;
    int m_toGallery = -1, m_fromGallery = -1;
    std::string m_received;  // read but not yet taken as lines
    std::shared_ptr<class Child> m_gallery;
    GPtr<AtspiAccessible> m_application;
    GPtr<AtspiEventListener> m_listener;
    std::string m_busName;
};
