// The gallery read and operated as a screen reader does, over the bus: objects
// where the window system shows them, clicks, focus, states and their events.
#include <set>

#include "GalleryOnBus.h"

namespace {

using Place = GalleryOnBus::Place;
constexpr auto kArrivalLimit = 30s;  // against a hang; the events come as soon as they can

void expectExtentsMatch(const Tree& tree, const std::vector<Place>& places) {
    for (const Place& place : places)
        EXPECT_EQ(tree.contains(place.path()) ? tree.at(place.path()).extents : std::vector<int>{},
                  (std::vector<int>{place.x, place.y, place.cx, place.cy}))
            << place.path();
}

// DoAction's answer; the one action is "click".
bool click(const Node& button) {
    GPtr<AtspiAction> action(atspi_accessible_get_action_iface(button.object.get()));
    if (!action) return ADD_FAILURE() << button.name << " has no action", false;
    gchar* name = atspi_action_get_action_name(action.get(), 0, nullptr);
    EXPECT_STREQ(name, "click") << button.name;
    g_free(name);
    EXPECT_EQ(atspi_action_get_n_actions(action.get(), nullptr), 1) << button.name;
    return atspi_action_do_action(action.get(), 0, nullptr);
}

TEST_F(GalleryOnBus, TreeShowsWhatTheWindowSystemShows) {
    const Tree tree = readTree();
    std::map<AtspiRole, int> roles;
    for (const auto& [path, node] : tree) {
        EXPECT_EQ(node.name.find('&'), std::string::npos) << path << " \"" << node.name << "\"";
        ++roles[node.role];
    }
    expectExtentsMatch(tree, m_places);
    const Node& frame = tree.at(m_places[0].path());
    EXPECT_EQ(tree.at("/org/a11y/atspi/accessible/root").children, std::vector{m_places[0].path()});
    EXPECT_TRUE(frame.role == ATSPI_ROLE_FRAME && frame.name == "Tessel gallery" &&
                frame.has(ATSPI_STATE_ACTIVE));
    for (const Place& place : m_places) {
        std::vector<std::string> components;
        for (const Place& component : componentsOf(m_places, place.id))
            components.push_back(component.path());
        EXPECT_TRUE(components.empty() || tree.at(place.path()).children == components)
            << place.path();
    }
    EXPECT_EQ(tree.at(mainHost(m_places).path()).role, ATSPI_ROLE_SCROLL_PANE);
    EXPECT_GE(roles[ATSPI_ROLE_SCROLL_PANE], 2) << "the host and the controls' manager";
    EXPECT_GE(roles[ATSPI_ROLE_LABEL], 3);

    // Window and component buttons, image and text; two have a mnemonic in their captions.
    for (const char* name :
         {"Window button (310)", "Grey 601", "Toggle 621", "shared 500", "diamond"}) {
        const Node* button = findByName(tree, name);
        EXPECT_TRUE(button && button->role == ATSPI_ROLE_PUSH_BUTTON &&
                    button->has(ATSPI_STATE_ENABLED) && button->has(ATSPI_STATE_SENSITIVE) &&
                    button->has(ATSPI_STATE_VISIBLE) && !button->has(ATSPI_STATE_CHECKED))
            << name;
    }
    EXPECT_EQ(roles[ATSPI_ROLE_TOOL_BAR], 1);  // its entries: the bridge's own test
}

TEST_F(GalleryOnBus, WheelStepMovesExtentsAndTellsOnlyWhatAReaderCanSee) {
    const Place& host = mainHost(m_places);
    const std::vector<Place> before = componentsOf(m_places, host.id);
    ask("wheel w" + std::to_string(host.id) + " -120");
    drain();
    const std::vector<Place> after = rects(), moved = componentsOf(after, host.id);
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
    for (const Event& event : events) {
        if (!all.contains(event.path) ||
            (event.type != "object:bounds-changed" && event.type != "object:state-changed:showing"))
            continue;
        EXPECT_TRUE(visible.contains(event.path)) << event.type << " of hidden " << event.path;
        bounds += event.type == "object:bounds-changed";
        if (event.type == "object:state-changed:showing" && event.detail1 == 0)
            left.erase(event.path);
    }
    EXPECT_TRUE(left.empty()) << *left.begin() << " left the view untold";
    EXPECT_GT(bounds, 0);
    EXPECT_LE(bounds, int(visible.size()));
}

TEST_F(GalleryOnBus, ClickSendsOneCommandAndNoneWhileDisabledByIdWhichIsTold) {
    const Tree tree = readTree();
    for (const auto& [name, id] : {std::pair{"Window button (310)", 310},
                                   {"Grey 601", 601},
                                   {"Toggle 621", 621},
                                   {"diamond", 403}}) {
        ASSERT_TRUE(findByName(tree, name)) << name;
        const std::string before = commands();
        EXPECT_TRUE(click(*findByName(tree, name))) << name;
        EXPECT_EQ(commands(), before + std::to_string(id) + " ") << name;
    }
    EXPECT_TRUE(findByName(readTree(), "Toggle 621")->has(ATSPI_STATE_CHECKED)) << "selected";

    std::set<std::string> shared;
    for (const auto& [path, node] : tree)
        if (node.name == "shared 500") shared.insert(path);
    ASSERT_GT(shared.size(), 1u);
    for (const bool enabled : {false, true}) {
        const std::string command = enabled ? "enable 500" : "disable 500";
        events.clear();
        ask(command);
        const auto allTold = [&] {
            std::set<std::string> told;
            for (const Event& event : events)
                if (event.detail1 == enabled && event.type == "object:state-changed:enabled")
                    told.insert(event.path);
            return told == shared;
        };
        EXPECT_TRUE(waitFor(allTold, kArrivalLimit)) << command;
        const Tree now = readTree();
        for (const std::string& path : shared)
            EXPECT_TRUE(now.at(path).has(ATSPI_STATE_ENABLED) == enabled &&
                        now.at(path).has(ATSPI_STATE_SENSITIVE) == enabled)
                << command << path;
        EXPECT_TRUE(findByName(now, "Grey 602")->has(ATSPI_STATE_ENABLED)) << command;
        if (enabled) continue;
        const std::string before = commands();
        EXPECT_FALSE(click(tree.at(*shared.begin())));
        EXPECT_EQ(commands(), before) << "a disabled button sent a command";
    }
}

TEST_F(GalleryOnBus, EachTabTellsOneFocus) {
    std::string previous;
    for (const char* key : {"tab", "tab", "tab", "tab", "tab", "shift+tab", "shift+tab"}) {
        events.clear();
        const auto gained = [&](const std::string& type) {
            std::vector<std::string> paths;
            for (const Event& event : events)
                if (event.type.starts_with(type) && (type == "focus" || event.detail1 == 1))
                    paths.push_back(event.path);
            return paths;
        };
        ask(std::string("key ") + key);
        ASSERT_TRUE(
            waitFor([&] { return !gained("object:state-changed:focused").empty(); }, kArrivalLimit))
            << key << ": no focus event";
        drain();
        // One move, told once in each form.
        const std::vector<std::string> changed = gained("object:state-changed:focused");
        ASSERT_EQ(changed.size(), 1u) << key << ": " << ::testing::PrintToString(changed);
        EXPECT_LE(gained("focus").size(), 1u) << key;
        const std::string& path = changed.front();
        EXPECT_NE(path, previous) << key << " did not move the focus";
        const Tree tree = readTree();
        EXPECT_TRUE(tree.at(path).has(ATSPI_STATE_FOCUSED) &&
                    tree.at(path).has(ATSPI_STATE_FOCUSABLE))
            << key << ": " << path << " \"" << tree.at(path).name << "\"";
        EXPECT_TRUE(!tree.contains(previous) || !tree.at(previous).has(ATSPI_STATE_FOCUSED)) << key;
        previous = path;
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests) && !GalleryOnBus::Bus::installed()) {
        std::printf("skipped: dbus-daemon, at-spi2-registryd or their configuration is missing\n");
        return 77;
    }
    std::signal(SIGPIPE, SIG_IGN);  // a gallery that died fails the write, not the run
    ::testing::AddGlobalTestEnvironment(new GalleryOnBus::Bus);  // gtest owns it
    return RUN_ALL_TESTS();
}
