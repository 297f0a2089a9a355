// The gallery operated as an assistive technology does: actions that click,
// keys whose focus moves it reports once each, states that follow the
// application's own calls, and requests for objects that do not exist.
#include <gtest/gtest.h>

#include <dbus/dbus.h>

#include <algorithm>
#include <memory>
#include <set>

#include "AccessBusEnvironment.h"
#include "AtspiEventLog.h"
#include "GalleryOnBus.h"

namespace {

using namespace std::chrono_literals;

// The limit for a focus event; others only have to arrive.
constexpr auto kFocusLimit = 500ms;
constexpr auto kArrivalLimit = 5s;

std::vector<int> newSince(const std::vector<int>& before, const std::vector<int>& after) {
    return after.size() >= before.size()
               ? std::vector<int>(after.begin() + static_cast<long>(before.size()), after.end())
               : after;
}

void click(const AccessibleTree::Node& button) {
    GObjectPtr<AtspiAction> action(atspi_accessible_get_action_iface(button.object.get()));
    ASSERT_TRUE(action) << button.name << " has no action";
    GError* error = nullptr;
    EXPECT_EQ(atspi_action_get_n_actions(action.get(), &error), 1) << button.name;
    gchar* name = atspi_action_get_action_name(action.get(), 0, &error);
    EXPECT_STREQ(name, "click") << button.name;
    g_free(name);
    atspi_action_do_action(action.get(), 0, &error);
    EXPECT_EQ(error, nullptr) << button.name << ": " << error->message;
    g_clear_error(&error);
}

TEST_F(GalleryOnBus, ClickActionSendsOneCommandAndNoneWhileDisabled) {
    const AccessibleTree tree = readTree();
    const AccessibleTree::Node* window = tree.findByName("Window button (310)");
    const AccessibleTree::Node* grey = tree.findByName("Grey 601");
    const AccessibleTree::Node* toggle = tree.findByName("Toggle 621");
    const AccessibleTree::Node* shared = tree.findByName("shared 500");
    ASSERT_TRUE(window && grey && toggle && shared);

    const std::pair<const AccessibleTree::Node*, int> buttons[] = {
        {window, 310}, {grey, 601}, {toggle, 621}};
    for (const auto& [button, id] : buttons) {
        const std::vector<int> before = driver().commands();
        click(*button);
        EXPECT_EQ(newSince(before, driver().commands()), std::vector<int>{id}) << button->name;
    }
    // The gallery selects a toggle on its command.
    EXPECT_TRUE(AccessibleTree::statesOf(toggle->object.get()) >> ATSPI_STATE_CHECKED & 1);

    driver().ask("disable 500");
    const std::vector<int> before = driver().commands();
    click(*shared);
    EXPECT_EQ(driver().commands(), before) << "a disabled button sent a command";
}

TEST_F(GalleryOnBus, DisablingByIdClearsEnabledAndReportsIt) {
    const AccessibleTree tree = readTree();
    std::set<std::string> shared;
    for (const AccessibleTree::Node& node : tree.nodes())
        if (node.name == "shared 500") shared.insert(node.path);
    ASSERT_FALSE(shared.empty());
    const AccessibleTree::Node* other = tree.findByName("Grey 602");
    ASSERT_NE(other, nullptr);

    AtspiEventLog log({"object:state-changed:enabled"});
    // Every one of them says so, with the new value.
    const auto reported = [&](int value) {
        std::set<std::string> seen;
        for (const AtspiEventLog::Event& event : log.events())
            if (event.busName == busName() && event.detail1 == value && shared.contains(event.path))
                seen.insert(event.path);
        return seen == shared;
    };
    const std::pair<const char*, bool> steps[] = {{"disable 500", false}, {"enable 500", true}};
    for (const auto& [command, enabled] : steps) {
        log.clear();
        driver().ask(command);
        EXPECT_TRUE(AtspiEventLog::waitFor([&] { return reported(enabled); }, kArrivalLimit))
            << command;
        for (const std::string& path : shared) {
            const std::uint64_t states = AccessibleTree::statesOf(tree.find(path)->object.get());
            EXPECT_EQ(states >> ATSPI_STATE_ENABLED & 1, enabled) << command << " " << path;
            EXPECT_EQ(states >> ATSPI_STATE_SENSITIVE & 1, enabled) << command << " " << path;
        }
        EXPECT_TRUE(AccessibleTree::statesOf(other->object.get()) >> ATSPI_STATE_ENABLED & 1)
            << command;
    }
}

TEST_F(GalleryOnBus, EachTabReportsOneFocusWithinHalfASecond) {
    AtspiEventLog log({"object:state-changed:focused", "focus:"});
    // What the gallery said while it started is not the first key's.
    AtspiEventLog::drain(application());
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
        const auto start = std::chrono::steady_clock::now();
        driver().ask(std::string("key ") + key);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            start + kFocusLimit * kSlowdown - std::chrono::steady_clock::now());
        ASSERT_TRUE(AtspiEventLog::waitFor(
            [&] {
                return !gained("object:state-changed:focused").empty() || !gained("focus").empty();
            },
            left))
            << key << ": no focus event";
        AtspiEventLog::drain(application());
        const std::vector<std::string> changed = gained("object:state-changed:focused");
        const std::vector<std::string> focus = gained("focus");
        // One move, told once in each form the bridge uses.
        ASSERT_LE(changed.size(), 1u) << key << ": " << ::testing::PrintToString(changed);
        ASSERT_LE(focus.size(), 1u) << key << ": " << ::testing::PrintToString(focus);
        const std::string path = changed.empty() ? focus.front() : changed.front();
        if (!changed.empty() && !focus.empty()) {
            EXPECT_EQ(changed.front(), focus.front()) << key;
        }
        EXPECT_NE(path, previous) << key << " did not move the focus";

        const AccessibleTree tree = readTree();
        const AccessibleTree::Node* focused = tree.find(path);
        ASSERT_NE(focused, nullptr) << key << ": " << path << " is not in the tree";
        EXPECT_TRUE(focused->has(ATSPI_STATE_FOCUSED) && focused->has(ATSPI_STATE_FOCUSABLE))
            << key << ": " << path << " \"" << focused->name << "\"";
        if (const AccessibleTree::Node* before = tree.find(previous)) {
            EXPECT_FALSE(before->has(ATSPI_STATE_FOCUSED))
                << key << ": " << previous << " kept the focus";
        }
        previous = path;
    }
}

struct MessageUnref {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};

// The error name the application answers a request for the object's name with, or "" for an answer.
std::string errorFor(const std::string& busName, const std::string& path) {
    std::unique_ptr<DBusMessage, MessageUnref> call(dbus_message_new_method_call(
        busName.c_str(), path.c_str(), DBUS_INTERFACE_PROPERTIES, "Get"));
    const char* interface = "org.a11y.atspi.Accessible";
    const char* property = "Name";
    dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                             DBUS_TYPE_INVALID);
    DBusError error;
    dbus_error_init(&error);
    std::unique_ptr<DBusMessage, MessageUnref> reply(dbus_connection_send_with_reply_and_block(
        AccessBusEnvironment::bus().connection(), call.get(), 10'000, &error));
    const std::string name = dbus_error_is_set(&error) ? error.name : "";
    dbus_error_free(&error);
    return name;
}

TEST_F(GalleryOnBus, UnknownAndStaleObjectsAnswerAnErrorAndTheGalleryLivesOn) {
    // Components the gallery made and destroyed again: ids that once were.
    const AccessibleTree tree = readTree();
    const AccessibleTree::Node* add = tree.findByName("Add components");
    const AccessibleTree::Node* clear = tree.findByName("Clear added");
    ASSERT_TRUE(add && clear);
    click(*add);
    std::vector<std::string> stale;
    for (const GalleryDriver::Place& place : driver().rects())
        if (place.kind == 'c' && !std::any_of(m_places.begin(), m_places.end(),
                                              [&](const auto& old) { return old.id == place.id; }))
            stale.push_back(place.path());
    ASSERT_FALSE(stale.empty()) << "adding made no components";
    EXPECT_EQ(errorFor(busName(), stale.front()), "");
    click(*clear);

    const std::string prefix = "/org/a11y/atspi/accessible/";
    std::vector<std::string> paths = stale;
    for (const char* bad : {"c0", "c4294967295", "c18446744073709551616", "c_1", "cabc", "c", "w0",
                            "w1", "w99999999999999999999", "x5", "w12c3"})
        paths.push_back(prefix + bad);
    for (const std::string& path : paths)
        EXPECT_EQ(errorFor(busName(), path), DBUS_ERROR_UNKNOWN_OBJECT) << path;

    GError* error = nullptr;
    gchar* name = atspi_accessible_get_name(application(), &error);
    EXPECT_EQ(error, nullptr);
    g_free(name);
    g_clear_error(&error);
    EXPECT_NO_THROW(driver().commands());
}

}  // namespace
