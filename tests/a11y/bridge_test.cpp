// The bridge's answers built straight from the toolkit, without a bus, and
// the notifications the toolkit raises for its windowless parts.
#include <gtest/gtest.h>

#include <dbus/dbus.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

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
constexpr const char* kAccessible = "org.a11y.atspi.Accessible";

class BridgeAnswers : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        ASSERT_TRUE(m_frame.createAt(0, 0, nullptr));
        m_frame.MoveWindow(40, 30, 400, 300);
    }

    // The reply to `member` of `interface` on `path`; `append` adds the arguments.
    YBAccessMessage ask(const std::string& path, const char* interface, const char* member,
                        const std::function<void(YBAccessWriter&)>& append = {}) {
        YBAccessMessage call(dbus_message_new_method_call(":1.7", path.c_str(), interface, member));
        dbus_message_set_serial(call.get(), ++m_serial);  // as sending would
        if (append) {
            YBAccessWriter out(call.get());
            append(out);
        }
        YBAccessServer::Answer answer = m_server.answer(call.get());
        if (answer.then) answer.then();
        return std::move(answer.reply);
    }
    std::string errorOf(const std::string& path) {
        const YBAccessMessage reply = ask(path, kAccessible, "GetRole");
        const char* name = dbus_message_get_error_name(reply.get());
        return name ? name : "";
    }
    // The reply's first value, inside its variant or array if it is one.
    template <class T>
    T first(const YBAccessMessage& reply, T none = {}) {
        DBusMessageIter in, inner;
        if (!dbus_message_iter_init(reply.get(), &in)) return none;
        if (dbus_message_iter_get_arg_type(&in) == DBUS_TYPE_VARIANT ||
            dbus_message_iter_get_arg_type(&in) == DBUS_TYPE_ARRAY) {
            dbus_message_iter_recurse(&in, &inner);
            in = inner;
        }
        if (!dbus_type_is_basic(dbus_message_iter_get_arg_type(&in))) return none;
        T value = none;
        dbus_message_iter_get_basic(&in, &value);
        return value;
    }
    std::uint32_t roleOf(const Node& node) {
        return first<dbus_uint32_t>(ask(node.path(), kAccessible, "GetRole"));
    }
    YBAccessMessage get(const Node& node, const char* interface, const char* name) {
        return ask(node.path(), DBUS_INTERFACE_PROPERTIES, "Get", [&](YBAccessWriter& out) {
            out.string(std::string_view(interface));
            out.string(std::string_view(name));
        });
    }
    std::string nameOf(const Node& node) {
        return first<const char*>(get(node, kAccessible, "Name"), "(none)");
    }
    bool has(const Node& node, int state) {
        return first<dbus_uint32_t>(ask(node.path(), kAccessible, "GetState")) >> state & 1;
    }
    // The reply's int32 and object path values, in order, from any depth.
    std::vector<std::string> flat(const YBAccessMessage& reply) {
        std::vector<std::string> out;
        DBusMessageIter in;
        if (dbus_message_iter_init(reply.get(), &in)) flatten(in, out);
        return out;
    }
    static void flatten(DBusMessageIter& at, std::vector<std::string>& out) {
        for (int type; (type = dbus_message_iter_get_arg_type(&at)) != DBUS_TYPE_INVALID;
             dbus_message_iter_next(&at)) {
            DBusMessageIter inner;
            DBusBasicValue value{};
            if (type == DBUS_TYPE_STRUCT || type == DBUS_TYPE_ARRAY) {
                dbus_message_iter_recurse(&at, &inner);
                flatten(inner, out);
            } else if (type == DBUS_TYPE_INT32 || type == DBUS_TYPE_OBJECT_PATH) {
                dbus_message_iter_get_basic(&at, &value);
                out.push_back(type == DBUS_TYPE_INT32 ? std::to_string(value.i32) : value.str);
            }
        }
    }
    // A node's children as paths.
    std::vector<std::string> childrenOf(const Node& node) {
        return flat(ask(node.path(), kAccessible, "GetChildren"));
    }
    std::vector<std::string> extentsOf(const Node& node, std::uint32_t coordType = 0) {
        return flat(ask(node.path(), "org.a11y.atspi.Component", "GetExtents",
                        [&](YBAccessWriter& out) { out.uint32(coordType); }));
    }
    // `r` moved by (dx, dy), as extents read.
    static std::vector<std::string> box(const CRect& r, int dx = 0, int dy = 0) {
        return {std::to_string(r.left + dx), std::to_string(r.top + dy), std::to_string(r.Width()),
                std::to_string(r.Height())};
    }
    YBAccessMessage doAction(const Node& node) {
        return ask(node.path(), "org.a11y.atspi.Action", "DoAction",
                   [](YBAccessWriter& out) { out.int32(0); });
    }

    const GFont kFont{"Arial", 9.0, 0,
                      0};  // per test: one made at load would be reported as leaked
    test_support::CommandFrame m_frame;
    YBAccessServer m_server{":1.7"};
    dbus_uint32_t m_serial = 0;
};

TEST_F(BridgeAnswers, ObjectsThatWentOrNeverWereAnswerUnknownObject) {
    auto* host = new YBComponentWnd(RGB(255, 255, 255));
    ASSERT_TRUE(host->createAt(0, 0, &m_frame));
    auto* gone = new YBTextButton(2, L"Gone", kFont, 0, 0, host);
    const std::string gonePath = Node::component(gone->accessibleId()).path();
    host->addComponent(gone, true, false);
    EXPECT_EQ(errorOf(gonePath), "");
    host->clearComponents();
    auto* kept = new YBTextButton(1, L"Kept", kFont, 0, 0, host);
    host->addComponent(kept, true, false);
    const std::string keptPath = Node::component(kept->accessibleId()).path();
    YBTextButton loose(3, L"Loose", kFont, 0, 0, host);  // alive, but listed by no host
    YBToolBarWnd toolbar;
    toolbar.addButton(7, L"", L"Print");
    ASSERT_TRUE(toolbar.createAt(0, 0, &m_frame));
    EXPECT_EQ(errorOf(Node::entry(toolbar.m_hWnd, 0).path()), "");
    toolbar.clearButtons();
    const HWND hostWindow = host->m_hWnd;
    EXPECT_EQ(errorOf(keptPath), "");
    host->DestroyWindow();
    delete host;

    const std::string prefix(Node::pathPrefix);
    std::vector<std::string> bad{gonePath,
                                 keptPath,
                                 Node::component(loose.accessibleId()).path(),
                                 Node::window(hostWindow).path(),
                                 Node::entry(toolbar.m_hWnd, 0).path(),
                                 Node::entry(m_frame.m_hWnd, 0).path()};
    for (const char* path : {"c042", "c4294967296", "w", "w0", "b", "b12", "b12_", "b0_0", "b12_01",
                             "b_3", "t0_0", "t12_x", "root2", "C5"})
        bad.push_back(prefix + path);
    for (const std::string& path : bad)
        EXPECT_EQ(errorOf(path), DBUS_ERROR_UNKNOWN_OBJECT) << path;
    EXPECT_EQ(errorOf(prefix + "root"), "");
}

TEST_F(BridgeAnswers, NamesRolesAndChildrenFollowTheToolkitsClassesAndLayoutOrder) {
    EXPECT_EQ(Node::stripMnemonics(L"Salt && &Pepper&"), L"Salt & Pepper");
    EXPECT_EQ(Node::stripMnemonics(L"&&&&"), L"&&");
    YBSplitterWnd split(0, L"");
    ASSERT_TRUE(split.createAt(0, 0, &m_frame));
    split.MoveWindow(0, 0, 400, 300);
    auto* left = new YBComponentWnd(RGB(255, 255, 255));
    auto* right = new YBComponentWnd(RGB(255, 255, 255));
    split.addPane(left, 150, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    split.addPane(right, 150, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    auto* button = new YBTextButton(9, L"&Open && close", kFont, 0, 0, left);
    auto* label = new YBText(L"R&D", kFont, DT_LEFT, 0, left);
    auto* literal = new YBText(L"R&D", kFont, DT_LEFT | DT_NOPREFIX, 0, left);
    left->addComponent(button, false, false);
    left->addComponent(label, false, false);
    left->addComponent(literal, true, false);
    m_frame.SetWindowText(L"&Files");

    const Node frame = Node::window(m_frame.m_hWnd), splitter = Node::window(split.m_hWnd);
    const Node pane = Node::window(left->m_hWnd), bar = Node::bar(split.m_hWnd, 0);
    const std::tuple<Node, std::uint32_t, std::string> expected[] = {
        {frame, Node::roleFrame, "Files"},
        {splitter, Node::roleSplitPane, ""},
        {bar, Node::roleSeparator, ""},
        {pane, Node::rolePanel, ""},
        {Node::component(button->accessibleId()), Node::rolePushButton, "Open & close"},
        {Node::component(label->accessibleId()), Node::roleLabel, "RD"},
        {Node::component(literal->accessibleId()), Node::roleLabel, "R&D"}};  // drawn with its '&'
    for (const auto& [node, role, name] : expected) {
        EXPECT_EQ(roleOf(node), role) << node.path();
        EXPECT_EQ(nameOf(node), name) << node.path();
    }
    EXPECT_EQ(childrenOf(splitter), (std::vector<std::string>{pane.path(), bar.path(),
                                                              Node::window(right->m_hWnd).path()}));
    EXPECT_EQ(childrenOf(pane),
              (std::vector<std::string>{Node::component(button->accessibleId()).path(),
                                        Node::component(label->accessibleId()).path(),
                                        Node::component(literal->accessibleId()).path()}));
    // The root lists the top-level windows though nothing named one to it.
    const std::vector<std::string> top = childrenOf(Node::root());
    EXPECT_NE(std::find(top.begin(), top.end(), frame.path()), top.end());
    EXPECT_EQ(std::find(top.begin(), top.end(), splitter.path()), top.end());

    // A host showing a scroll bar scrolls its components.
    for (int i = 0; i < 200; ++i)
        right->addComponent(new YBTextButton(100 + i, L"Many", kFont, 0, 0, right), false, false);
    right->setFlag(YBBaseWnd::verticalScrollBar, true);
    right->onLayoutComponents();
    EXPECT_EQ(roleOf(Node::window(right->m_hWnd)), Node::roleScrollPane);
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
    EXPECT_EQ(roleOf(bar), Node::roleToolBar);
    EXPECT_EQ(childrenOf(bar), (std::vector<std::string>{print.path(), gap.path(), mail.path()}));
    EXPECT_EQ(
        std::make_tuple(roleOf(print), nameOf(print), roleOf(gap), roleOf(mail), nameOf(mail)),
        std::make_tuple(Node::rolePushButton, std::string("Print"), Node::roleSeparator,
                        Node::rolePushButton, std::string("Mail")));
    for (int i = 0; i < 3; ++i) {
        CRect r = toolbar.entry(i)->m_rect;
        toolbar.ClientToScreen(&r);
        EXPECT_EQ(extentsOf(Node::entry(toolbar.m_hWnd, i)), box(r)) << i;
        EXPECT_TRUE(has(Node::entry(toolbar.m_hWnd, i), Node::stateEnabled) &&
                    has(Node::entry(toolbar.m_hWnd, i), Node::stateShowing))
            << i;
    }
    EXPECT_EQ(first<dbus_int32_t>(ask(mail.path(), kAccessible, "GetIndexInParent")), 2);

    EXPECT_TRUE(first<dbus_bool_t>(doAction(mail)));
    EXPECT_STREQ(dbus_message_get_error_name(doAction(gap).get()), DBUS_ERROR_UNKNOWN_METHOD);
    EXPECT_TRUE(first<dbus_bool_t>(ask(mail.path(), "org.a11y.atspi.Component", "GrabFocus")));
    EXPECT_TRUE(has(mail, Node::stateFocused) && !has(print, Node::stateFocused) &&
                !has(bar, Node::stateFocused));
    toolbar.EnableWindow(FALSE);
    EXPECT_FALSE(has(print, Node::stateEnabled) || has(print, Node::stateSensitive));
    EXPECT_FALSE(first<dbus_bool_t>(doAction(print)));
    pump();
    EXPECT_EQ(m_frame.commands, std::vector<int>{72}) << "one click, none while disabled";
}

TEST_F(BridgeAnswers, SettingABarsValueMovesItWithinThePanesLimits) {
    YBSplitterWnd split(0, L"");
    ASSERT_TRUE(split.createAt(0, 0, &m_frame));
    split.MoveWindow(0, 0, 400, 300);
    auto* left = new YBChildWnd;
    split.addPane(left, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    split.addPane(new YBChildWnd, 194, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    split.getPane(0)->minSize(50);
    split.getPane(1)->minSize(80);
    const Node bar = Node::bar(split.m_hWnd, 0);
    const auto value = [&](const char* name) {
        return first<double>(get(bar, "org.a11y.atspi.Value", name), -1);
    };
    const double least = value("MinimumValue"), most = value("MaximumValue");
    EXPECT_EQ(least, 50) << "the left pane's minimum";
    EXPECT_EQ(most, 200 + split.getPane(1)->currentSize() - 80) << "the right pane's minimum";
    const std::pair<double, double> moves[] = {
        {120, 120}, {10, least}, {1e12, most}, {-1e300, least}, {std::nan(""), least}};
    for (const auto& [asked, reached] : moves) {
        ask(bar.path(), DBUS_INTERFACE_PROPERTIES, "Set", [&](YBAccessWriter& out) {
            out.string(std::string_view("org.a11y.atspi.Value"));
            out.string(std::string_view("CurrentValue"));
            YBAccessWriter variant(out, DBUS_TYPE_VARIANT, "d");
            variant.number(asked);
        });
        pump();
        EXPECT_EQ(value("CurrentValue"), reached) << asked;
        CRect pane;  // followed, as a drag leaves it
        left->GetWindowRect(&pane);
        EXPECT_EQ(pane.Width(), reached) << asked;
    }
}

TEST_F(BridgeAnswers, TextAndPlacesAnswerForHostileOffsetsAndEveryCoordinateSpace) {
    YBComponentWnd host(RGB(255, 255, 255));
    ASSERT_TRUE(host.createAt(0, 0, &m_frame));
    host.MoveWindow(20, 10, 300, 200);
    auto* label = new YBText(L"Hello wide world", kFont, DT_LEFT, 0, &host);
    host.addComponent(label, true, false);
    const Node node = Node::component(label->accessibleId());
    const auto text = [&](const char* member, std::int32_t offset, std::int32_t second) {
        const YBAccessMessage reply =
            ask(node.path(), "org.a11y.atspi.Text", member, [&](YBAccessWriter& out) {
                out.int32(offset);
                member == std::string("GetText") ? out.int32(second) : out.uint32(second);
            });
        const char* got = "(none)";
        dbus_int32_t start = -1, end = -1;
        dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_STRING, &got, DBUS_TYPE_INT32, &start,
                              DBUS_TYPE_INT32, &end, DBUS_TYPE_INVALID);
        return std::string(got) + " " + std::to_string(start) + " " + std::to_string(end);
    };
    EXPECT_EQ(text("GetText", 6, 10), "wide -1 -1");
    EXPECT_EQ(text("GetText", -5, -1), "Hello wide world -1 -1");
    EXPECT_EQ(text("GetText", INT32_MAX, 2), " -1 -1");
    EXPECT_EQ(text("GetTextAtOffset", 8, 1), "wide 6 10");
    EXPECT_EQ(text("GetTextAtOffset", 8, 0), "d 8 9");
    EXPECT_EQ(text("GetTextAtOffset", INT32_MIN, 1), " 16 16");
    EXPECT_EQ(text("GetTextBeforeOffset", 8, 1), "  5 6");

    // On the screen, in its frame and in its host.
    const CRect r = label->rect();
    EXPECT_EQ(extentsOf(node, 0), box(r, 60, 40));
    EXPECT_EQ(extentsOf(node, 1), box(r, 20, 10));
    EXPECT_EQ(extentsOf(node, 2), box(r));
    const auto at = [&](int x, int y) {
        const std::vector<std::string> found = flat(ask(
            Node::window(m_frame.m_hWnd).path(), "org.a11y.atspi.Component", "GetAccessibleAtPoint",
            [&](YBAccessWriter& out) { out.int32(x), out.int32(y), out.uint32(0); }));
        return found.empty() ? "" : found.back();
    };
    EXPECT_EQ(at(61 + r.left, 41 + r.top), node.path());
    EXPECT_EQ(at(45, 35), "/org/a11y/atspi/null") << "the frame's own client";
    EXPECT_EQ(at(INT32_MIN, INT32_MAX), "/org/a11y/atspi/null");
}

// What the toolkit tells the window system's accessibility hook about its
// windowless parts: only real changes, each once, naming the part.
class ToolkitNotifications : public BridgeAnswers {
protected:
    void SetUp() override {
        BridgeAnswers::SetUp();
        s_seen = &m_seen;
        m_hook =
            SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, record, 0, 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_NE(m_hook, nullptr);
    }
    void TearDown() override {
        UnhookWinEvent(m_hook);
        s_seen = nullptr;
    }
    using Seen = std::pair<DWORD, LONG>;  // the event and the part's child id
    // The events about `window`'s parts since the last call.
    std::vector<Seen> partsOf(HWND window) {
        pump();
        std::vector<Seen> parts;
        for (const auto& [event, where, child] : m_seen)
            if (where == window && child != CHILDID_SELF) parts.emplace_back(event, child);
        m_seen.clear();
        return parts;
    }
    static void record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                       DWORD) {
        if (s_seen && object == OBJID_CLIENT) s_seen->emplace_back(event, window, child);
    }
    static inline std::vector<std::tuple<DWORD, HWND, LONG>>* s_seen = nullptr;
    std::vector<std::tuple<DWORD, HWND, LONG>> m_seen;
    HWINEVENTHOOK m_hook = nullptr;
};

TEST_F(ToolkitNotifications, ChangesOfPartsAreReportedOncePerChange) {
    YBComponentWnd host(RGB(255, 255, 255));
    ASSERT_TRUE(host.createAt(0, 0, &m_frame));
    host.MoveWindow(0, 0, 300, 200);
    auto* a = new YBTextButton(500, L"A", kFont, 0, 0, &host);
    auto* b = new YBTextButton(500, L"B", kFont, 0, 0, &host);
    auto* label = new YBText(L"Label", kFont, DT_LEFT, 0, &host);
    const LONG idA = LONG(a->accessibleId()), idB = LONG(b->accessibleId()),
               idL = LONG(label->accessibleId());
    host.addComponent(a, false, false);
    host.addComponent(b, false, false);
    host.addComponent(label, true, false);
    const std::vector<Seen> added = partsOf(host.m_hWnd);
    for (const Seen& seen : {Seen{EVENT_OBJECT_CREATE, idA},
                             {EVENT_OBJECT_CREATE, idB},
                             {EVENT_OBJECT_LOCATIONCHANGE, idB}})  // B was placed after A
        EXPECT_EQ(std::count(added.begin(), added.end(), seen), 1)
            << seen.first << " " << seen.second;

    a->disable(true, false);
    YBComponent::disableAllWithID(500, true);  // only B changes
    a->disable(true, true);                    // nothing changes
    EXPECT_EQ(partsOf(host.m_hWnd), (std::vector<Seen>{{EVENT_OBJECT_STATECHANGE, idA},
                                                       {EVENT_OBJECT_STATECHANGE, idB}}));
    YBComponent::enableAllWithID(500, true, true);
    b->select(true, false);
    b->hide(false);
    b->hide(false);
    b->show(false);
    EXPECT_EQ(partsOf(host.m_hWnd), (std::vector<Seen>{{EVENT_OBJECT_STATECHANGE, idA},
                                                       {EVENT_OBJECT_STATECHANGE, idB},
                                                       {EVENT_OBJECT_STATECHANGE, idB},
                                                       {EVENT_OBJECT_HIDE, idB},
                                                       {EVENT_OBJECT_SHOW, idB}}));
    // Moving the host leaves the components where they are in its client.
    host.MoveWindow(10, 10, 300, 200);
    EXPECT_TRUE(partsOf(host.m_hWnd).empty());
    a->setText(L"Renamed");
    label->text(L"Relabelled");
    label->text(L"Relabelled");
    EXPECT_EQ(partsOf(host.m_hWnd),
              (std::vector<Seen>{{EVENT_OBJECT_NAMECHANGE, idA}, {EVENT_OBJECT_NAMECHANGE, idL}}));
    host.clearComponents();
    EXPECT_EQ(partsOf(host.m_hWnd), (std::vector<Seen>{{EVENT_OBJECT_DESTROY, idA},
                                                       {EVENT_OBJECT_DESTROY, idB},
                                                       {EVENT_OBJECT_DESTROY, idL}}));

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
    EXPECT_EQ(partsOf(toolbar.m_hWnd), (std::vector<Seen>{{EVENT_OBJECT_CREATE, 1},
                                                          {EVENT_OBJECT_CREATE, 2},
                                                          {EVENT_OBJECT_CREATE, 3},
                                                          {EVENT_OBJECT_FOCUS, 1}}));
    toolbar.clearButtons();
    EXPECT_EQ(partsOf(toolbar.m_hWnd), (std::vector<Seen>{{EVENT_OBJECT_DESTROY, 3},
                                                          {EVENT_OBJECT_DESTROY, 2},
                                                          {EVENT_OBJECT_DESTROY, 1}}));
}

}  // namespace
