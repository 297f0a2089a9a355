// The bridge's answers built straight from the toolkit, without a bus:
// objects that went away or never were, names without mnemonics, roles and
// the tree's order, a splitter bar moved through its value, and the
// notifications the toolkit raises for its windowless parts.
#include <gtest/gtest.h>

#include <dbus/dbus.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <tessel/access/YBAccessServer.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_events.h>

#include "toolkit_windows.h"

namespace {

using tessel::testing::pump;

class BridgeAnswers : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        ASSERT_TRUE(m_frame.createAt(0, 0, nullptr));
        m_frame.MoveWindow(40, 30, 400, 300);
    }

    // The reply to `member` of `interface` on `path`, with `append` adding the arguments.
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
        const YBAccessMessage reply = ask(path, "org.a11y.atspi.Accessible", "GetRole");
        const char* name = reply ? dbus_message_get_error_name(reply.get()) : "no reply";
        return name ? name : "";
    }
    std::uint32_t roleOf(const YBAccessNode& node) {
        const YBAccessMessage reply = ask(node.path(), "org.a11y.atspi.Accessible", "GetRole");
        dbus_uint32_t role = 0;
        EXPECT_TRUE(dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_UINT32, &role,
                                          DBUS_TYPE_INVALID));
        return role;
    }
    std::string nameOf(const YBAccessNode& node) {
        const YBAccessMessage reply =
            ask(node.path(), DBUS_INTERFACE_PROPERTIES, "Get", [](YBAccessWriter& out) {
                out.string(std::string_view("org.a11y.atspi.Accessible"));
                out.string(std::string_view("Name"));
            });
        DBusMessageIter in, value;
        if (!dbus_message_iter_init(reply.get(), &in) ||
            dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_VARIANT)
            return "(no name)";
        dbus_message_iter_recurse(&in, &value);
        const char* name = nullptr;
        dbus_message_iter_get_basic(&value, &name);
        return name;
    }
    std::vector<std::string> childrenOf(const YBAccessNode& node) {
        const YBAccessMessage reply = ask(node.path(), "org.a11y.atspi.Accessible", "GetChildren");
        std::vector<std::string> paths;
        DBusMessageIter in, array, pair;
        if (!dbus_message_iter_init(reply.get(), &in) ||
            dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_ARRAY)
            return paths;
        for (dbus_message_iter_recurse(&in, &array);
             dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_STRUCT;
             dbus_message_iter_next(&array)) {
            dbus_message_iter_recurse(&array, &pair);
            dbus_message_iter_next(&pair);
            const char* path = nullptr;
            dbus_message_iter_get_basic(&pair, &path);
            paths.emplace_back(path);
        }
        return paths;
    }
    double valueOf(const YBAccessNode& bar, const char* property) {
        const YBAccessMessage reply =
            ask(bar.path(), DBUS_INTERFACE_PROPERTIES, "Get", [&](YBAccessWriter& out) {
                out.string(std::string_view("org.a11y.atspi.Value"));
                out.string(std::string_view(property));
            });
        DBusMessageIter in, value;
        if (!dbus_message_iter_init(reply.get(), &in) ||
            dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_VARIANT)
            return -1;
        dbus_message_iter_recurse(&in, &value);
        double number = -1;
        dbus_message_iter_get_basic(&value, &number);
        return number;
    }

    const GFont kFont{"Arial", 9.0, 0, 0};  // per test: one made at load would be reported as leaked
    test_support::CommandFrame m_frame;
    YBAccessServer m_server{":1.7"};
    dbus_uint32_t m_serial = 0;
};

TEST_F(BridgeAnswers, ObjectsThatWentOrNeverWereAnswerUnknownObject) {
    auto* host = new YBComponentWnd(RGB(255, 255, 255));
    ASSERT_TRUE(host->createAt(0, 0, &m_frame));
    auto* kept = new YBTextButton(1, L"Kept", kFont, 0, 0, host);
    host->addComponent(kept, true, false);
    auto* gone = new YBTextButton(2, L"Gone", kFont, 0, 0, host);
    const std::string gonePath = YBAccessNode::component(gone->accessibleId()).path();
    host->addComponent(gone, true, false);
    EXPECT_EQ(errorOf(gonePath), "");
    host->clearComponents();
    host->addComponent(kept = new YBTextButton(1, L"Kept", kFont, 0, 0, host), true, false);
    EXPECT_EQ(errorOf(gonePath), DBUS_ERROR_UNKNOWN_OBJECT) << "a deleted component";
    EXPECT_EQ(errorOf(YBAccessNode::component(kept->accessibleId()).path()), "");

    // A component no host lists is not shown, though it lives.
    YBTextButton loose(3, L"Loose", kFont, 0, 0, host);
    EXPECT_EQ(errorOf(YBAccessNode::component(loose.accessibleId()).path()),
              DBUS_ERROR_UNKNOWN_OBJECT);

    const HWND hostWindow = host->m_hWnd;
    const std::string keptPath = YBAccessNode::component(kept->accessibleId()).path();
    host->DestroyWindow();
    EXPECT_EQ(errorOf(YBAccessNode::window(hostWindow).path()), DBUS_ERROR_UNKNOWN_OBJECT);
    EXPECT_EQ(errorOf(keptPath), DBUS_ERROR_UNKNOWN_OBJECT)
        << "a component whose host window is gone";

    const std::string prefix(YBAccessNode::pathPrefix);
    for (const char* bad : {"c042", "c4294967296", "w", "w0", "b", "b12", "b12_", "b0_0", "b12_01",
                            "b_3", "root2", "C5"})
        EXPECT_EQ(errorOf(prefix + bad), DBUS_ERROR_UNKNOWN_OBJECT) << bad;
    EXPECT_EQ(errorOf(prefix + "root"), "");
    delete host;
}

TEST_F(BridgeAnswers, NamesDropMnemonicMarksAsTheCaptionIsDrawn) {
    EXPECT_EQ(YBAccessNode::stripMnemonics(L"&Save"), L"Save");
    EXPECT_EQ(YBAccessNode::stripMnemonics(L"Salt && &Pepper&"), L"Salt & Pepper");
    EXPECT_EQ(YBAccessNode::stripMnemonics(L"&&&&"), L"&&");

    YBComponentWnd host(RGB(255, 255, 255));
    ASSERT_TRUE(host.createAt(0, 0, &m_frame));
    auto* button = new YBTextButton(1, L"&Open && close", kFont, 0, 0, &host);
    auto* prefixed = new YBText(L"R&D", kFont, DT_LEFT, 0, &host);
    auto* literal = new YBText(L"R&D", kFont, DT_LEFT | DT_NOPREFIX, 0, &host);
    host.addComponent(button, false, false);
    host.addComponent(prefixed, false, false);
    host.addComponent(literal, true, false);
    EXPECT_EQ(nameOf(YBAccessNode::component(button->accessibleId())), "Open & close");
    EXPECT_EQ(nameOf(YBAccessNode::component(prefixed->accessibleId())), "RD");
    EXPECT_EQ(nameOf(YBAccessNode::component(literal->accessibleId())), "R&D")
        << "DT_NOPREFIX draws the '&'";
    m_frame.SetWindowText(L"&Files");
    EXPECT_EQ(nameOf(YBAccessNode::window(m_frame.m_hWnd)), "Files");
}

TEST_F(BridgeAnswers, RolesAndChildrenFollowTheToolkitsClassesAndLayoutOrder) {
    YBSplitterWnd split(0, L"");
    ASSERT_TRUE(split.createAt(0, 0, &m_frame));
    split.MoveWindow(0, 0, 400, 300);
    auto* left = new YBComponentWnd(RGB(255, 255, 255));
    auto* right = new YBComponentWnd(RGB(255, 255, 255));
    split.addPane(left, 150, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    split.addPane(right, 150, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    auto* label = new YBText(L"Label", kFont, DT_LEFT, 0, left);
    auto* button = new YBTextButton(9, L"Button", kFont, 0, 0, left);
    left->addComponent(label, false, false);
    left->addComponent(button, true, false);

    const YBAccessNode splitter = YBAccessNode::window(split.m_hWnd);
    EXPECT_EQ(roleOf(YBAccessNode::window(m_frame.m_hWnd)), YBAccessNode::roleFrame);
    EXPECT_EQ(roleOf(splitter), YBAccessNode::roleSplitPane);
    EXPECT_EQ(roleOf(YBAccessNode::bar(split.m_hWnd, 0)), YBAccessNode::roleSeparator);
    EXPECT_EQ(roleOf(YBAccessNode::window(left->m_hWnd)), YBAccessNode::rolePanel);
    EXPECT_EQ(roleOf(YBAccessNode::component(label->accessibleId())), YBAccessNode::roleLabel);
    EXPECT_EQ(roleOf(YBAccessNode::component(button->accessibleId())),
              YBAccessNode::rolePushButton);
    // Panes with their bar between, as they stand on the screen.
    EXPECT_EQ(childrenOf(splitter),
              (std::vector<std::string>{YBAccessNode::window(left->m_hWnd).path(),
                                        YBAccessNode::bar(split.m_hWnd, 0).path(),
                                        YBAccessNode::window(right->m_hWnd).path()}));
    EXPECT_EQ(childrenOf(YBAccessNode::window(left->m_hWnd)),
              (std::vector<std::string>{YBAccessNode::component(label->accessibleId()).path(),
                                        YBAccessNode::component(button->accessibleId()).path()}));
    EXPECT_EQ(errorOf(YBAccessNode::bar(split.m_hWnd, 1).path()), DBUS_ERROR_UNKNOWN_OBJECT)
        << "two panes, one bar";

    // A host showing a scroll bar scrolls its components.
    for (int i = 0; i < 200; ++i)
        right->addComponent(new YBTextButton(100 + i, L"Many", kFont, 0, 0, right), false, false);
    right->setFlag(YBBaseWnd::verticalScrollBar, true);
    right->onLayoutComponents();
    EXPECT_EQ(roleOf(YBAccessNode::window(right->m_hWnd)), YBAccessNode::roleScrollPane);
}

TEST_F(BridgeAnswers, SettingABarsValueMovesItWithinThePanesLimits) {
    YBSplitterWnd split(0, L"");
    ASSERT_TRUE(split.createAt(0, 0, &m_frame));
    split.MoveWindow(0, 0, 400, 300);
    auto* left = new YBChildWnd;
    auto* right = new YBChildWnd;
    split.addPane(left, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    split.addPane(right, 194, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    split.getPane(0)->minSize(50);
    split.getPane(1)->minSize(80);
    const YBAccessNode bar = YBAccessNode::bar(split.m_hWnd, 0);
    const double least = valueOf(bar, "MinimumValue");
    const double most = valueOf(bar, "MaximumValue");
    EXPECT_EQ(least, 50) << "the left pane's minimum";
    EXPECT_EQ(most, 200 + split.getPane(1)->currentSize() - 80)
        << "the right pane down to its minimum";

    const auto set = [&](double position) {
        const YBAccessMessage reply =
            ask(bar.path(), DBUS_INTERFACE_PROPERTIES, "Set", [&](YBAccessWriter& out) {
                out.string(std::string_view("org.a11y.atspi.Value"));
                out.string(std::string_view("CurrentValue"));
                YBAccessWriter variant(out, DBUS_TYPE_VARIANT, "d");
                variant.number(position);
            });
        EXPECT_EQ(dbus_message_get_type(reply.get()), DBUS_MESSAGE_TYPE_METHOD_RETURN);
        pump();
    };
    const std::tuple<double, double> moves[] = {
        {120, 120}, {10, least}, {1e12, most}, {-1e300, least}};
    for (const auto& [asked, reached] : moves) {
        set(asked);
        EXPECT_EQ(valueOf(bar, "CurrentValue"), reached) << asked;
        // The pane beside it followed, as a drag leaves it.
        CRect paneRect;
        left->GetWindowRect(&paneRect);
        m_frame.ScreenToClient(&paneRect);
        EXPECT_EQ(paneRect.Width(), reached) << asked;
    }
}

TEST_F(BridgeAnswers, TextAndPlacesAnswerForHostileOffsetsAndEveryCoordinateSpace) {
    YBComponentWnd host(RGB(255, 255, 255));
    ASSERT_TRUE(host.createAt(0, 0, &m_frame));
    host.MoveWindow(20, 10, 300, 200);
    auto* label = new YBText(L"Hello wide world", kFont, DT_LEFT, 0, &host);
    host.addComponent(label, true, false);
    const YBAccessNode node = YBAccessNode::component(label->accessibleId());
    const auto textReply = [&](const char* member, std::int32_t a, std::uint32_t b,
                               bool unsignedSecond) {
        const YBAccessMessage reply =
            ask(node.path(), "org.a11y.atspi.Text", member, [&](YBAccessWriter& out) {
                out.int32(a);
                unsignedSecond ? out.uint32(b) : out.int32(static_cast<std::int32_t>(b));
            });
        const char* text = nullptr;
        dbus_int32_t start = -1, end = -1;
        dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_STRING, &text, DBUS_TYPE_INT32,
                              &start, DBUS_TYPE_INT32, &end, DBUS_TYPE_INVALID);
        return std::tuple<std::string, int, int>(text ? text : "(none)", start, end);
    };
    EXPECT_EQ(std::get<0>(textReply("GetText", 6, 10, false)), "wide");
    EXPECT_EQ(std::get<0>(textReply("GetText", -5, static_cast<std::uint32_t>(-1), false)),
              "Hello wide world");
    EXPECT_EQ(std::get<0>(textReply("GetText", INT32_MAX, 2, false)), "");
    EXPECT_EQ(textReply("GetTextAtOffset", 8, 1, true),
              std::make_tuple(std::string("wide"), 6, 10));
    EXPECT_EQ(textReply("GetTextAtOffset", 8, 0, true), std::make_tuple(std::string("d"), 8, 9));
    EXPECT_EQ(textReply("GetTextAtOffset", INT32_MIN, 1, true),
              std::make_tuple(std::string(""), 16, 16));
    EXPECT_EQ(textReply("GetTextBeforeOffset", 8, 1, true),
              std::make_tuple(std::string(" "), 5, 6));

    // The label's place: on the screen, in its frame and in its host.
    const CRect r = label->rect();
    const auto extents = [&](std::uint32_t coordType) {
        const YBAccessMessage reply = ask(node.path(), "org.a11y.atspi.Component", "GetExtents",
                                          [&](YBAccessWriter& out) { out.uint32(coordType); });
        DBusMessageIter in, box;
        std::int32_t v[4] = {-1, -1, -1, -1};
        if (dbus_message_iter_init(reply.get(), &in) &&
            dbus_message_iter_get_arg_type(&in) == DBUS_TYPE_STRUCT) {
            dbus_message_iter_recurse(&in, &box);
            for (std::int32_t& each : v) {
                dbus_message_iter_get_basic(&box, &each);
                dbus_message_iter_next(&box);
            }
        }
        return std::vector<int>(v, v + 4);
    };
    EXPECT_EQ(extents(0),
              (std::vector<int>{40 + 20 + r.left, 30 + 10 + r.top, r.Width(), r.Height()}));
    EXPECT_EQ(extents(1), (std::vector<int>{20 + r.left, 10 + r.top, r.Width(), r.Height()}));
    EXPECT_EQ(extents(2), (std::vector<int>{r.left, r.top, r.Width(), r.Height()}));

    const auto at = [&](const YBAccessNode& where, int x, int y) {
        const YBAccessMessage reply = ask(where.path(), "org.a11y.atspi.Component",
                                          "GetAccessibleAtPoint", [&](YBAccessWriter& out) {
                                              out.int32(x);
                                              out.int32(y);
                                              out.uint32(0);
                                          });
        DBusMessageIter in, pair;
        const char* path = "";
        if (dbus_message_iter_init(reply.get(), &in) &&
            dbus_message_iter_get_arg_type(&in) == DBUS_TYPE_STRUCT) {
            dbus_message_iter_recurse(&in, &pair);
            dbus_message_iter_next(&pair);
            dbus_message_iter_get_basic(&pair, &path);
        }
        return std::string(path);
    };
    EXPECT_EQ(at(YBAccessNode::window(m_frame.m_hWnd), 60 + r.left + 1, 40 + r.top + 1),
              node.path());
    EXPECT_EQ(at(YBAccessNode::window(m_frame.m_hWnd), 45, 35), "/org/a11y/atspi/null")
        << "the frame's own client";
    EXPECT_EQ(at(YBAccessNode::window(m_frame.m_hWnd), INT32_MIN, INT32_MAX),
              "/org/a11y/atspi/null");
}

// What the toolkit tells the window system's accessibility hook about its
// windowless parts: only real changes, each once, naming the component.
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
    struct Seen {
        DWORD event;
        HWND window;
        LONG child;
        bool operator==(const Seen&) const = default;
    };
    // The events about `window`'s parts since the last call.
    std::vector<Seen> partsOf(HWND window) {
        pump();
        std::vector<Seen> parts;
        for (const Seen& seen : m_seen)
            if (seen.window == window && seen.child != CHILDID_SELF) parts.push_back(seen);
        m_seen.clear();
        return parts;
    }
    static void record(HWINEVENTHOOK, DWORD event, HWND window, LONG idObject, LONG idChild, DWORD,
                       DWORD) {
        if (s_seen && idObject == OBJID_CLIENT) s_seen->push_back(Seen{event, window, idChild});
    }
    static inline std::vector<Seen>* s_seen = nullptr;
    std::vector<Seen> m_seen;
    HWINEVENTHOOK m_hook = nullptr;
};

TEST_F(ToolkitNotifications, StateShowAddRemoveAndMovesAreReportedOncePerChange) {
    YBComponentWnd host(RGB(255, 255, 255));
    ASSERT_TRUE(host.createAt(0, 0, &m_frame));
    host.MoveWindow(0, 0, 300, 200);
    auto* a = new YBTextButton(500, L"A", kFont, 0, 0, &host);
    auto* b = new YBTextButton(500, L"B", kFont, 0, 0, &host);
    const LONG idA = static_cast<LONG>(a->accessibleId());
    const LONG idB = static_cast<LONG>(b->accessibleId());
    host.addComponent(a, false, false);
    host.addComponent(b, true, false);
    const std::vector<Seen> added = partsOf(host.m_hWnd);
    EXPECT_EQ(std::count(added.begin(), added.end(), Seen{EVENT_OBJECT_CREATE, host.m_hWnd, idA}),
              1);
    EXPECT_EQ(std::count(added.begin(), added.end(), Seen{EVENT_OBJECT_CREATE, host.m_hWnd, idB}),
              1);
    EXPECT_EQ(
        std::count(added.begin(), added.end(), Seen{EVENT_OBJECT_LOCATIONCHANGE, host.m_hWnd, idB}),
        1)
        << "B was placed after A";

    a->disable(true, false);
    YBComponent::disableAllWithID(500, true);  // only B changes
    a->disable(true, true);                    // nothing changes
    EXPECT_EQ(partsOf(host.m_hWnd),
              (std::vector<Seen>{{EVENT_OBJECT_STATECHANGE, host.m_hWnd, idA},
                                 {EVENT_OBJECT_STATECHANGE, host.m_hWnd, idB}}));
    YBComponent::enableAllWithID(500, true, true);
    b->select(true, false);
    b->hide(false);
    b->hide(false);
    b->show(false);
    EXPECT_EQ(partsOf(host.m_hWnd), (std::vector<Seen>{{EVENT_OBJECT_STATECHANGE, host.m_hWnd, idA},
                                                       {EVENT_OBJECT_STATECHANGE, host.m_hWnd, idB},
                                                       {EVENT_OBJECT_STATECHANGE, host.m_hWnd, idB},
                                                       {EVENT_OBJECT_HIDE, host.m_hWnd, idB},
                                                       {EVENT_OBJECT_SHOW, host.m_hWnd, idB}}));

    // Moving the host leaves the components where they are in its client.
    host.MoveWindow(10, 10, 300, 200);
    EXPECT_TRUE(partsOf(host.m_hWnd).empty());
    a->setText(L"Renamed");
    EXPECT_EQ(partsOf(host.m_hWnd),
              (std::vector<Seen>{{EVENT_OBJECT_NAMECHANGE, host.m_hWnd, idA}}));
    host.clearComponents();
    EXPECT_EQ(partsOf(host.m_hWnd), (std::vector<Seen>{{EVENT_OBJECT_DESTROY, host.m_hWnd, idA},
                                                       {EVENT_OBJECT_DESTROY, host.m_hWnd, idB}}));
}

}  // namespace
