// The gallery read and operated as a screen reader does: one object per
// window, component and toolbar entry where the window system shows it,
// actions that click once, focus told once per key, states and events that
// follow the application, and errors for objects that are not there.
#include <dbus/dbus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <set>

#include "AtspiEventLog.h"
#include "GalleryOnBus.h"
#include "PrivateAccessBus.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Node = AccessibleTree::Node;
using Place = GalleryOnBus::Place;
constexpr auto kArrivalLimit = 5s;

bool has(const Node& node, AtspiStateType state) {
    return AccessibleTree::statesOf(node.object.get()) >> state & 1;
}

void expectExtentsMatch(const AccessibleTree& tree, const std::vector<Place>& places) {
    for (const Place& place : places) {
        const Node* node = tree.find(place.path());
        ASSERT_TRUE(node && node->extents) << place.path() << " is not in the tree";
        EXPECT_EQ(*node->extents, (AccessibleTree::Extents{place.x, place.y, place.cx, place.cy}))
            << place.path() << " \"" << node->name << "\"";
    }
}

// DoAction's answer; the one action is "click".
bool click(const Node& button) {
    GObjectPtr<AtspiAction> action(atspi_accessible_get_action_iface(button.object.get()));
    EXPECT_TRUE(action) << button.name << " has no action";
    if (!action) return false;
    EXPECT_EQ(atspi_action_get_n_actions(action.get(), nullptr), 1) << button.name;
    gchar* name = atspi_action_get_action_name(action.get(), 0, nullptr);
    EXPECT_STREQ(name, "click") << button.name;
    g_free(name);
    return atspi_action_do_action(action.get(), 0, nullptr);
}

TEST_F(GalleryOnBus, TreeIsReadWithinASecondAndShowsWhatTheWindowSystemShows) {
    // The quickest of three walks: other work on the machine only slows one down.
    long long quickest = LLONG_MAX;
    std::optional<AccessibleTree> read;
    for (int walk = 0; walk < 3 && quickest >= 1000 * kSlowdown; ++walk) {
        const Clock::time_point start = Clock::now();
        read = readTree();
        quickest = std::min<long long>(
            quickest,
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    }
    const AccessibleTree& tree = *read;
    EXPECT_LT(quickest, 1000 * kSlowdown) << tree.nodes().size() << " objects";
    for (const Node& node : tree.nodes()) {
        EXPECT_TRUE(node.errors.empty()) << node.path << ": " << node.errors.front();
        EXPECT_EQ(node.name.find('&'), std::string::npos)
            << node.path << " \"" << node.name << "\"";
    }
    expectExtentsMatch(tree, m_places);

    const Node* frame = tree.find(m_places.front().path());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(tree.nodes().front().children, std::vector<std::string>{frame->path});
    EXPECT_EQ(frame->role, ATSPI_ROLE_FRAME);
    EXPECT_EQ(frame->name, "Tessel gallery");
    EXPECT_TRUE(frame->has(ATSPI_STATE_ACTIVE));
    for (const Place& place : m_places) {
        std::vector<std::string> components;
        for (const Place& component : componentsOf(m_places, place.id))
            components.push_back(component.path());
        if (!components.empty()) {
            EXPECT_EQ(tree.find(place.path())->children, components);
        }
    }
    EXPECT_EQ(tree.find(mainHost(m_places).path())->role, ATSPI_ROLE_SCROLL_PANE);

    // Two of them have a mnemonic in their captions.
    for (const char* name :
         {"Window button (310)", "Grey 601", "Toggle 621", "shared 500", "diamond"}) {
        const Node* button = tree.findByName(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->role, ATSPI_ROLE_PUSH_BUTTON) << name;
        EXPECT_TRUE(button->has(ATSPI_STATE_ENABLED) && button->has(ATSPI_STATE_SENSITIVE) &&
                    button->has(ATSPI_STATE_VISIBLE) && !button->has(ATSPI_STATE_CHECKED))
            << name;
    }
    std::map<AtspiRole, int> roles;
    for (const Node& node : tree.nodes()) {
        ++roles[node.role];
        for (const std::string& path : node.children) {
            const Node& bar = *tree.find(path);
            if (node.role != ATSPI_ROLE_SPLIT_PANE || bar.role != ATSPI_ROLE_SEPARATOR) continue;
            EXPECT_TRUE(GObjectPtr<AtspiValue>(atspi_accessible_get_value_iface(bar.object.get())))
                << "splitter bar " << path << " has no value";
        }
    }
    EXPECT_GE(roles[ATSPI_ROLE_SPLIT_PANE], 2);
    EXPECT_GE(roles[ATSPI_ROLE_SEPARATOR], 2);
    EXPECT_GE(roles[ATSPI_ROLE_LABEL], 3);
    // The toolbar's six buttons, each inside it.
    ASSERT_EQ(roles[ATSPI_ROLE_TOOL_BAR], 1);
    const Node& toolbar =
        *std::find_if(tree.nodes().begin(), tree.nodes().end(),
                      [](const Node& n) { return n.role == ATSPI_ROLE_TOOL_BAR; });
    ASSERT_EQ(toolbar.children.size(), 6u);
    for (const std::string& path : toolbar.children) {
        const Node* entry = tree.find(path);
        EXPECT_EQ(entry->role, ATSPI_ROLE_PUSH_BUTTON) << path;
        EXPECT_TRUE(entry->has(ATSPI_STATE_SHOWING)) << path;
        const auto [x, y, cx, cy] = *entry->extents;
        const auto [tx, ty, tcx, tcy] = *toolbar.extents;
        EXPECT_TRUE(cx > 0 && x >= tx && y >= ty && x + cx <= tx + tcx && y + cy <= ty + tcy)
            << path;
    }
}

TEST_F(GalleryOnBus, WheelStepMovesExtentsAndTellsOnlyWhatAReaderCanSee) {
    const Place& host = mainHost(m_places);
    const std::vector<Place> before = componentsOf(m_places, host.id);
    AtspiEventLog log({"object:bounds-changed", "object:state-changed:showing"});
    AtspiEventLog::drain(application());
    log.clear();
    ask("wheel w" + std::to_string(host.id) + " -120");
    AtspiEventLog::drain(application());
    const std::vector<Place> after = rects();
    const std::vector<Place> moved = componentsOf(after, host.id);
    ASSERT_EQ(moved.size(), before.size());
    ASSERT_LT(moved.front().y, before.front().y) << "the wheel did not scroll the host";
    expectExtentsMatch(readTree(), after);

    // Only components within the host before or after the step may be told of.
    const auto inside = [&](const Place& c) {
        return c.x < host.x + host.cx && host.x < c.x + c.cx && c.y < host.y + host.cy &&
               host.y < c.y + c.cy;
    };
    std::set<std::string> all, visible, left;
    for (size_t i = 0; i < before.size(); ++i) {
        all.insert(before[i].path());
        if (inside(before[i]) || inside(moved[i])) visible.insert(before[i].path());
        if (inside(before[i]) && !inside(moved[i])) left.insert(before[i].path());
    }
    ASSERT_LT(visible.size() * 2, before.size()) << "too few hidden components to tell";
    ASSERT_FALSE(left.empty()) << "no component left the view";
    int bounds = 0;
    for (const AtspiEventLog::Event& event : log.events()) {
        if (event.busName != busName() || !all.contains(event.path)) continue;
        EXPECT_TRUE(visible.contains(event.path)) << event.type << " of hidden " << event.path;
        bounds += event.type == "object:bounds-changed";
        if (event.type == "object:state-changed:showing" && event.detail1 == 0)
            left.erase(event.path);
    }
    EXPECT_TRUE(left.empty()) << *left.begin() << " left the view untold";
    EXPECT_GT(bounds, 0);
    EXPECT_LE(bounds, static_cast<int>(visible.size()));
}

TEST_F(GalleryOnBus, ClickSendsOneCommandAndNoneWhileDisabledByIdWhichIsTold) {
    const AccessibleTree tree = readTree();
    const std::pair<const char*, int> buttons[] = {
        {"Window button (310)", 310}, {"Grey 601", 601}, {"Toggle 621", 621}, {"diamond", 403}};
    for (const auto& [name, id] : buttons) {
        const Node* button = tree.findByName(name);
        ASSERT_NE(button, nullptr) << name;
        const size_t before = commands().size();
        EXPECT_TRUE(click(*button)) << name;
        const std::vector<int> after = commands();
        EXPECT_EQ(std::vector<int>(after.begin() + long(before), after.end()), std::vector<int>{id})
            << name;
    }
    EXPECT_TRUE(has(*tree.findByName("Toggle 621"), ATSPI_STATE_CHECKED))
        << "selected on its command";

    std::set<std::string> shared;
    for (const Node& node : tree.nodes())
        if (node.name == "shared 500") shared.insert(node.path);
    ASSERT_GT(shared.size(), 1u);
    AtspiEventLog log({"object:state-changed:enabled"});
    for (const bool enabled : {false, true}) {
        const std::string command = enabled ? "enable 500" : "disable 500";
        log.clear();
        ask(command);
        EXPECT_TRUE(AtspiEventLog::waitFor(
            [&] {
                std::set<std::string> told;
                for (const AtspiEventLog::Event& event : log.events())
                    if (event.busName == busName() && event.detail1 == enabled)
                        told.insert(event.path);
                return told == shared;
            },
            kArrivalLimit))
            << command;
        for (const std::string& path : shared) {
            EXPECT_EQ(has(*tree.find(path), ATSPI_STATE_ENABLED), enabled) << command << path;
            EXPECT_EQ(has(*tree.find(path), ATSPI_STATE_SENSITIVE), enabled) << command << path;
        }
        EXPECT_TRUE(has(*tree.findByName("Grey 602"), ATSPI_STATE_ENABLED)) << command;
        if (enabled) continue;
        const std::vector<int> before = commands();
        EXPECT_FALSE(click(*tree.find(*shared.begin())));
        EXPECT_EQ(commands(), before) << "a disabled button sent a command";
    }
}

TEST_F(GalleryOnBus, EachTabTellsOneFocusWithinHalfASecond) {
    AtspiEventLog log({"object:state-changed:focused", "focus:"});
    AtspiEventLog::drain(application());  // what it said while it started
    std::string previous;
    for (const char* key : {"tab", "tab", "tab", "tab", "tab", "shift+tab", "shift+tab"}) {
        log.clear();
        const auto gained = [&](const std::string& type) {
            std::vector<std::string> paths;
            for (const AtspiEventLog::Event& event : log.events())
                if (event.busName == busName() && event.type.starts_with(type) &&
                    (type == "focus" || event.detail1 == 1))
                    paths.push_back(event.path);
            return paths;
        };
        const Clock::time_point start = Clock::now();
        ask(std::string("key ") + key);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            start + 500ms * kSlowdown - Clock::now());
        ASSERT_TRUE(AtspiEventLog::waitFor(
            [&] { return !gained("object:state-changed:focused").empty(); }, left))
            << key << ": no focus event in time";
        AtspiEventLog::drain(application());
        // One move, told once in each form.
        const std::vector<std::string> changed = gained("object:state-changed:focused");
        ASSERT_EQ(changed.size(), 1u) << key << ": " << ::testing::PrintToString(changed);
        EXPECT_LE(gained("focus").size(), 1u) << key;
        const std::string path = changed.front();
        EXPECT_NE(path, previous) << key << " did not move the focus";
        const AccessibleTree tree = readTree();
        const Node* focused = tree.find(path);
        ASSERT_NE(focused, nullptr) << key << ": " << path;
        EXPECT_TRUE(focused->has(ATSPI_STATE_FOCUSED) && focused->has(ATSPI_STATE_FOCUSABLE))
            << key << ": " << path << " \"" << focused->name << "\"";
        if (const Node* before = tree.find(previous)) {
            EXPECT_FALSE(before->has(ATSPI_STATE_FOCUSED)) << key << ": " << previous;
        }
        previous = path;
    }
}

// The error a request for the object's name is answered with; "" for an answer.
std::string errorFor(const std::string& busName, const std::string& path) {
    DBusMessage* call = dbus_message_new_method_call(busName.c_str(), path.c_str(),
                                                     DBUS_INTERFACE_PROPERTIES, "Get");
    const char* interface = "org.a11y.atspi.Accessible";
    const char* property = "Name";
    dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                             DBUS_TYPE_INVALID);
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(
        PrivateAccessBus::shared().connection(), call, 10'000, &error);
    const std::string name = dbus_error_is_set(&error) ? error.name : "";
    dbus_error_free(&error);
    dbus_message_unref(call);
    if (reply) dbus_message_unref(reply);
    return name;
}

TEST_F(GalleryOnBus, UnknownAndStaleObjectsAnswerAnErrorAndTheGalleryLivesOn) {
    // Components the gallery made and destroyed again: ids that once were.
    const AccessibleTree tree = readTree();
    ASSERT_TRUE(tree.findByName("Add components") && tree.findByName("Clear added"));
    click(*tree.findByName("Add components"));
    std::vector<std::string> paths;
    for (const Place& place : rects())
        if (std::none_of(m_places.begin(), m_places.end(),
                         [&](const Place& old) { return old.id == place.id; }))
            paths.push_back(place.path());
    ASSERT_FALSE(paths.empty()) << "adding made no components";
    EXPECT_EQ(errorFor(busName(), paths.front()), "");
    click(*tree.findByName("Clear added"));

    const Node& toolbar =
        *std::find_if(tree.nodes().begin(), tree.nodes().end(),
                      [](const Node& n) { return n.role == ATSPI_ROLE_TOOL_BAR; });
    const std::string entries = "/org/a11y/atspi/accessible/t" + toolbar.path.substr(28);
    for (const std::string bad : {"c0", "c4294967295", "c18446744073709551616", "c_1", "cabc", "c",
                                  "w0", "w1", "w99999999999999999999", "x5", "w12c3"})
        paths.push_back("/org/a11y/atspi/accessible/" + bad);
    for (const std::string bad : {"_6", "_01", "_1a", "_2147483648", ""})
        paths.push_back(entries + bad);
    for (const std::string& path : paths)
        EXPECT_EQ(errorFor(busName(), path), DBUS_ERROR_UNKNOWN_OBJECT) << path;
    EXPECT_EQ(errorFor(busName(), entries + "_5"), "");
    EXPECT_NO_THROW(commands());
}

}  // namespace
