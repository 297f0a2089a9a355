// The bridge's answers built straight from the toolkit, without a bus, and
// the notifications the toolkit raises for its windowless parts.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include <tessel/access/YBAccessServer.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/platform/testing.h>

#include "toolkit_windows.h"

namespace {

using tessel::testing::pump;
using Node = YBAccessNode;
using Values = std::vector<std::string>;
constexpr const char* kAccessible = "org.a11y.atspi.Accessible";

void flatten(DBusMessageIter& at, Values& out) {
    for (int type; (type = dbus_message_iter_get_arg_type(&at)) != DBUS_TYPE_INVALID;
         dbus_message_iter_next(&at)) {
        DBusMessageIter inner;
        DBusBasicValue v{};
        if (dbus_type_is_container(type)) {
            dbus_message_iter_recurse(&at, &inner);
            flatten(inner, out);
            continue;
        }
        dbus_message_iter_get_basic(&at, &v);
        if (type == DBUS_TYPE_STRING || type == DBUS_TYPE_OBJECT_PATH) out.emplace_back(v.str);
        if (type == DBUS_TYPE_INT32) out.push_back(std::to_string(v.i32));
        if (type == DBUS_TYPE_UINT32) out.push_back(std::to_string(v.u32));
        if (type == DBUS_TYPE_BOOLEAN) out.push_back(v.bool_val ? "true" : "false");
        if (type == DBUS_TYPE_DOUBLE) out.push_back(std::to_string(std::lround(v.dbl)));
    }
}

class BridgeAnswers : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        ASSERT_TRUE(m_frame.createAt(0, 0, nullptr));
        m_frame.MoveWindow(40, 30, 400, 300);
    }

    // Every value of the answer to `member`, depth first, as text; an error's name alone.
    Values ask(const std::string& path, const char* interface, const char* member,
               const std::function<void(YBAccessWriter&)>& append = {}) {
        YBAccessMessage call(dbus_message_new_method_call(":1.7", path.c_str(), interface, member));
        dbus_message_set_serial(call.get(), ++m_serial);  // as sending would
        if (append) {
            YBAccessWriter out(call.get());
            append(out);
        }
        YBAccessServer::Answer answer = m_server.answer(call.get());
        if (answer.then) answer.then();
        if (const char* error = dbus_message_get_error_name(answer.reply.get())) return {error};
        Values out;
        DBusMessageIter in;
        if (dbus_message_iter_init(answer.reply.get(), &in)) flatten(in, out);
        return out;
    }
    std::string property(const Node& node, const char* interface, const char* name) {
        return ask(node.path(), DBUS_INTERFACE_PROPERTIES, "Get",
                   [&](YBAccessWriter& out) {
                       out.string(std::string_view(interface)), out.string(std::string_view(name));
                   })
            .front();
    }
    std::string role(const Node& node) { return ask(node.path(), kAccessible, "GetRole").front(); }
    std::string name(const Node& node) { return property(node, kAccessible, "Name"); }
    bool has(const Node& node, int state) {
        return std::stoul(ask(node.path(), kAccessible, "GetState").front()) >> state & 1;
    }
    Values childrenOf(const Node& node) {  // the paths of the references
        Values paths = ask(node.path(), kAccessible, "GetChildren");
        std::erase_if(paths, [](const std::string& value) { return !value.starts_with('/'); });
        return paths;
    }
    Values extentsOf(const Node& node, std::uint32_t coordType = 0) {
        return ask(node.path(), "org.a11y.atspi.Component", "GetExtents",
                   [&](YBAccessWriter& out) { out.uint32(coordType); });
    }
    // `r` moved by (dx, dy), as extents read.
    static Values box(const CRect& r, int dx = 0, int dy = 0) {
        return {std::to_string(r.left + dx), std::to_string(r.top + dy), std::to_string(r.Width()),
                std::to_string(r.Height())};
    }
    std::string click(const Node& node) {
        return ask(node.path(), "org.a11y.atspi.Action", "DoAction",
                   [](YBAccessWriter& out) { out.int32(0); })
            .front();
    }

    // Made per test: one made at load would be reported as leaked.
    const GFont kFont{"Arial", 9.0, 0, 0};
    test_support::CommandFrame m_frame;
    YBAccessServer m_server{":1.7"};
    dbus_uint32_t m_serial = 0;
};

TEST_F(BridgeAnswers, ObjectsThatWentOrNeverWereAnswerUnknownObject) {
    auto* host = new YBComponentWnd(RGB(255, 255, 255));
    ASSERT_TRUE(host->createAt(0, 0, &m_frame));
    auto* kept = new YBTextButton(1, L"Kept", kFont, 0, 0, host);
    host->addComponent(kept, true, false);
    const Node keptNode = Node::component(kept->accessibleId()),
               hostNode = Node::window(host->m_hWnd);
    YBTextButton loose(3, L"Loose", kFont, 0, 0, host);  // alive, but listed by no host
    EXPECT_EQ(role(keptNode), std::to_string(Node::rolePushButton));
    host->DestroyWindow();
    delete host;

    const std::string prefix(Node::pathPrefix);
    Values bad{keptNode.path(), hostNode.path(), Node::component(loose.accessibleId()).path(),
               Node::entry(m_frame.m_hWnd, 0).path()};
    for (const char* path : {"c042", "c4294967296", "w", "w0", "b", "b12", "b12_", "b0_0", "b12_01",
                             "b_3", "t0_0", "t12_x", "root2", "C5"})
        bad.push_back(prefix + path);
    for (const std::string& path : bad)
        EXPECT_EQ(ask(path, kAccessible, "GetRole"), Values{DBUS_ERROR_UNKNOWN_OBJECT}) << path;
    EXPECT_EQ(ask(prefix + "root", kAccessible, "GetRole"), Values{"75"});
}

// One splitter scene: names, roles and children in layout order, then its bar's value.
TEST_F(BridgeAnswers, SplitterPanesAndComponentsAreNamedAndTheBarMovesWithinThePanesLimits) {
    YBSplitterWnd split(0, L"");
    ASSERT_TRUE(split.createAt(0, 0, &m_frame));
    split.MoveWindow(0, 0, 400, 300);
    auto* left = new YBComponentWnd(RGB(255, 255, 255));
    auto* right = new YBChildWnd;
    split.addPane(left, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    split.addPane(right, 194, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    auto* button = new YBTextButton(9, L"&Open && close", kFont, 0, 0, left);
    auto* label = new YBText(L"R&D", kFont, DT_LEFT, 0, left);
    auto* literal = new YBText(L"R&D", kFont, DT_LEFT | DT_NOPREFIX, 0, left);
    left->addComponent(button, false, false);
    left->addComponent(label, false, false);
    left->addComponent(literal, true, false);
    m_frame.SetWindowText(L"&Files");

    const Node frame = Node::window(m_frame.m_hWnd), splitter = Node::window(split.m_hWnd);
    const Node pane = Node::window(left->m_hWnd), bar = Node::bar(split.m_hWnd, 0);
    const Node parts[] = {Node::component(button->accessibleId()),
                          Node::component(label->accessibleId()),
                          Node::component(literal->accessibleId())};
    // The literal label is drawn with its '&'.
    EXPECT_EQ(
        (Values{role(frame), name(frame), role(splitter), role(bar), role(pane), role(parts[0]),
                name(parts[0]), role(parts[1]), name(parts[1]), role(parts[2]), name(parts[2])}),
        (Values{"23", "Files", "53", "50", "39", "43", "Open & close", "29", "RD", "29", "R&D"}));
    EXPECT_EQ(childrenOf(splitter),
              (Values{pane.path(), bar.path(), Node::window(right->m_hWnd).path()}));
    EXPECT_EQ(childrenOf(pane), (Values{parts[0].path(), parts[1].path(), parts[2].path()}));
    // The root lists the top-level windows though nothing named one to it.
    const Values top = childrenOf(Node::root());
    EXPECT_NE(std::find(top.begin(), top.end(), frame.path()), top.end());
    EXPECT_EQ(std::find(top.begin(), top.end(), splitter.path()), top.end());

    split.getPane(0)->minSize(50);
    split.getPane(1)->minSize(80);
    const auto value = [&](const char* which) {
        return std::stoi(property(bar, "org.a11y.atspi.Value", which));
    };
    const int least = value("MinimumValue"), most = value("MaximumValue");
    EXPECT_EQ(least, 50) << "the left pane's minimum";
    EXPECT_EQ(most, 200 + split.getPane(1)->currentSize() - 80) << "the right pane's minimum";
    const std::pair<double, int> moves[] = {
        {120, 120}, {10, least}, {1e12, most}, {-1e300, least}, {std::nan(""), least}};
    for (const auto& [asked, reached] : moves) {
        ask(bar.path(), DBUS_INTERFACE_PROPERTIES, "Set", [&](YBAccessWriter& out) {
            out.string(std::string_view("org.a11y.atspi.Value"));
            out.string(std::string_view("CurrentValue"));
            YBAccessWriter(out, DBUS_TYPE_VARIANT, "d").number(asked);
        });
        pump();
        CRect moved;  // followed, as a drag leaves it
        left->GetWindowRect(&moved);
        EXPECT_EQ(std::make_pair(value("CurrentValue"), int(moved.Width())),
                  std::make_pair(reached, reached))
            << asked;
    }
}

TEST_F(BridgeAnswers, ToolbarEntriesAreButtonsAndSeparatorsThatClickWhereTheyStand) {
    YBToolBarWnd toolbar;
    toolbar.addButton(71, L"", L"&Print");
    toolbar.addSeparator();
    toolbar.addButton(72, L"", L"Mail");
    ASSERT_TRUE(toolbar.createAt(5, 5, &m_frame));
    toolbar.MoveWindow(5, 5, 300, 80);
    const Node bar = Node::window(toolbar.m_hWnd);
    const Node print = Node::entry(toolbar.m_hWnd, 0), gap = Node::entry(toolbar.m_hWnd, 1),
               mail = Node::entry(toolbar.m_hWnd, 2);
    EXPECT_EQ(childrenOf(bar), (Values{print.path(), gap.path(), mail.path()}));
    EXPECT_EQ((Values{role(bar), role(print), name(print), role(gap), role(mail), name(mail)}),
              (Values{"63", "43", "Print", "50", "43", "Mail"}));
    for (int i = 0; i < 3; ++i) {
        CRect r = toolbar.entry(i)->m_rect;
        toolbar.ClientToScreen(&r);
        const Node entry = Node::entry(toolbar.m_hWnd, i);
        EXPECT_EQ(extentsOf(entry), box(r)) << i;
        EXPECT_TRUE(has(entry, Node::stateEnabled) && has(entry, Node::stateShowing)) << i;
    }
    EXPECT_EQ(ask(mail.path(), kAccessible, "GetIndexInParent"), Values{"2"});

    EXPECT_EQ(click(mail), "true");
    EXPECT_EQ(click(gap), DBUS_ERROR_UNKNOWN_METHOD) << "a separator has no action";
    EXPECT_EQ(ask(mail.path(), "org.a11y.atspi.Component", "GrabFocus"), Values{"true"});
    EXPECT_TRUE(has(mail, Node::stateFocused) && !has(print, Node::stateFocused) &&
                !has(bar, Node::stateFocused));
    toolbar.EnableWindow(FALSE);
    EXPECT_FALSE(has(print, Node::stateEnabled) || has(print, Node::stateSensitive));
    EXPECT_EQ(click(print), "false");
    pump();
    EXPECT_EQ(m_frame.commands, std::vector<int>{72}) << "one click, none while disabled";
    toolbar.clearButtons();
    EXPECT_EQ(role(print), DBUS_ERROR_UNKNOWN_OBJECT) << "an entry that went";
}

TEST_F(BridgeAnswers, TextAndPlacesAnswerForHostileOffsetsAndEveryCoordinateSpace) {
    YBComponentWnd host(RGB(255, 255, 255));
    ASSERT_TRUE(host.createAt(0, 0, &m_frame));
    host.MoveWindow(20, 10, 300, 200);
    auto* label = new YBText(L"Hello wide world", kFont, DT_LEFT, 0, &host);
    host.addComponent(label, true, false);
    const Node node = Node::component(label->accessibleId());
    const auto text = [&](const char* member, std::int32_t offset, std::int32_t second) {
        return ask(node.path(), "org.a11y.atspi.Text", member, [&](YBAccessWriter& out) {
            out.int32(offset);
            member == std::string("GetText") ? out.int32(second) : out.uint32(second);
        });
    };
    EXPECT_EQ(text("GetText", 6, 10), Values{"wide"});
    EXPECT_EQ(text("GetText", -5, -1), Values{"Hello wide world"});
    EXPECT_EQ(text("GetText", INT32_MAX, 2), Values{""});
    EXPECT_EQ(text("GetTextAtOffset", 8, 1), (Values{"wide", "6", "10"}));
    EXPECT_EQ(text("GetTextAtOffset", 8, 0), (Values{"d", "8", "9"}));
    EXPECT_EQ(text("GetTextAtOffset", INT32_MIN, 1), (Values{"", "16", "16"}));
    EXPECT_EQ(text("GetTextBeforeOffset", 8, 1), (Values{" ", "5", "6"}));

    // On the screen, in its frame and in its host; what stands at a point.
    const CRect r = label->rect();
    EXPECT_EQ(extentsOf(node, 0), box(r, 60, 40));
    EXPECT_EQ(extentsOf(node, 1), box(r, 20, 10));
    EXPECT_EQ(extentsOf(node, 2), box(r));
    const auto at = [&](int x, int y) {
        return ask(Node::window(m_frame.m_hWnd).path(), "org.a11y.atspi.Component",
                   "GetAccessibleAtPoint",
                   [&](YBAccessWriter& out) { out.int32(x), out.int32(y), out.uint32(0); })
            .back();
    };
    EXPECT_EQ(at(61 + r.left, 41 + r.top), node.path());
    EXPECT_EQ(at(45, 35), "/org/a11y/atspi/null") << "the frame's own client";
    EXPECT_EQ(at(INT32_MIN, INT32_MAX), "/org/a11y/atspi/null");
}

// What the toolkit told the window system's accessibility hook about
// `window`'s windowless parts since the last call: "event part, ...".
std::vector<std::tuple<DWORD, HWND, LONG>> g_seen;
std::string partsOf(HWND window, const std::map<LONG, std::string>& names = {}) {
    static const std::map<DWORD, std::string> events = {
        {EVENT_OBJECT_CREATE, "create"},   {EVENT_OBJECT_DESTROY, "destroy"},
        {EVENT_OBJECT_SHOW, "show"},       {EVENT_OBJECT_HIDE, "hide"},
        {EVENT_OBJECT_FOCUS, "focus"},     {EVENT_OBJECT_STATECHANGE, "state"},
        {EVENT_OBJECT_NAMECHANGE, "name"}, {EVENT_OBJECT_LOCATIONCHANGE, "move"}};
    pump();
    std::string parts;
    for (const auto& [event, where, child] : g_seen)
        if (where == window && child != CHILDID_SELF)
            parts += (parts.empty() ? "" : ", ") +
                     (events.contains(event) ? events.at(event) : std::to_string(event)) + " " +
                     (names.contains(child) ? names.at(child) : std::to_string(child));
    g_seen.clear();
    return parts;
}

// Only real changes, each once, naming the part.
TEST_F(BridgeAnswers, TheToolkitTellsEachChangeOfItsPartsOnce) {
    const auto record = [](HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                           DWORD) {
        if (object == OBJID_CLIENT) g_seen.emplace_back(event, window, child);
    };
    const std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, BOOL (*)(HWINEVENTHOOK)> hook(
        SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, record, 0, 0, WINEVENT_OUTOFCONTEXT),
        UnhookWinEvent);
    g_seen.clear();
    YBComponentWnd host(RGB(255, 255, 255));
    ASSERT_TRUE(host.createAt(0, 0, &m_frame));
    host.MoveWindow(0, 0, 300, 200);
    auto* a = new YBTextButton(500, L"A", kFont, 0, 0, &host);
    auto* b = new YBTextButton(500, L"B", kFont, 0, 0, &host);
    auto* label = new YBText(L"Label", kFont, DT_LEFT, 0, &host);
    const std::map<LONG, std::string> names = {{LONG(a->accessibleId()), "A"},
                                               {LONG(b->accessibleId()), "B"},
                                               {LONG(label->accessibleId()), "L"}};
    host.addComponent(a, false, false);
    host.addComponent(b, false, false);
    host.addComponent(label, true, false);
    const std::string added = partsOf(host.m_hWnd, names) + ", ";
    for (const std::string seen : {"create A, ", "create B, ", "move B, "})  // B was placed after A
        EXPECT_EQ(added.find(seen), added.rfind(seen)) << added;
    EXPECT_NE(added.find("move B"), std::string::npos) << added;

    a->disable(true, false);
    YBComponent::disableAllWithID(500, true);  // only B changes
    a->disable(true, true);                    // nothing changes
    EXPECT_EQ(partsOf(host.m_hWnd, names), "state A, state B");
    YBComponent::enableAllWithID(500, true, true);
    b->select(true, false);
    b->hide(false);
    b->hide(false);
    b->show(false);
    EXPECT_EQ(partsOf(host.m_hWnd, names), "state A, state B, state B, hide B, show B");
    host.MoveWindow(10, 10, 300, 200);
    EXPECT_EQ(partsOf(host.m_hWnd), "") << "the components stay where they are in its client";
    a->setText(L"Renamed");
    label->text(L"Relabelled");
    label->text(L"Relabelled");
    EXPECT_EQ(partsOf(host.m_hWnd, names), "name A, name L");
    host.clearComponents();
    EXPECT_EQ(partsOf(host.m_hWnd, names), "destroy A, destroy B, destroy L");

    // A toolbar's entries are its parts 1, 2...; focus moves among them only while it has it.
    YBToolBarWnd toolbar;
    ASSERT_TRUE(toolbar.createAt(0, 0, &m_frame));
    toolbar.enableKeyboard();
    toolbar.addButton(1, L"", L"One");
    toolbar.addSeparator();
    toolbar.addButton(2, L"", L"Two");
    toolbar.focusEntry(2);
    toolbar.SetFocus();
    toolbar.focusEntry(0);
    toolbar.focusEntry(1);  // a separator takes no focus
    EXPECT_EQ(partsOf(toolbar.m_hWnd), "create 1, create 2, create 3, focus 1");
    toolbar.clearButtons();
    EXPECT_EQ(partsOf(toolbar.m_hWnd), "destroy 3, destroy 2, destroy 1");
}

}  // namespace
