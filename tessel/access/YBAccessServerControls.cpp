// The interfaces of what a node shows and does: Component, Action and Text.
#include <algorithm>
#include <climits>
#include <cstring>
#include <cwctype>

#include <tessel/platform/win_user.h>

#include "YBAccessServer.h"

namespace {

constexpr std::uint32_t kCoordScreen = 0;
constexpr std::uint32_t kCoordWindow = 1;
constexpr std::uint32_t kLayerWidget = 3;
constexpr std::uint32_t kLayerWindow = 7;

bool is(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

int saturate(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The origin of the coordinates `coordType` names, in screen coordinates:
// the screen's, the top-level window's or the parent's.
CPoint originOf(const YBAccessNode& node, std::uint32_t coordType) {
    if (coordType == kCoordScreen) return CPoint(0, 0);
    std::optional<YBAccessNode> frame = node.parent();
    if (coordType == kCoordWindow) {
        std::optional<YBAccessNode> at(node);
        while (at && at->kind() != YBAccessNode::Kind::Root) {
            frame = at;
            at = at->parent();
        }
    }
    if (!frame || frame->kind() == YBAccessNode::Kind::Root) return CPoint(0, 0);
    const CRect r = frame->screenRect();
    return CPoint(r.left, r.top);
}

// The text between two boundaries around `offset`: a character, a word
// (letters and digits), or the whole text, which is one line and one
// sentence as far as a label knows.
std::pair<int, int> unitAt(const std::wstring& text, int offset, int unit) {
    const int length = static_cast<int>(text.size());
    if (offset < 0 || offset >= length) return {length, length};
    if (unit == 0) return {offset, offset + 1};
    if (unit == 1) {
        const auto inWord = [&](int i) {
            return std::iswalnum(static_cast<wint_t>(text[static_cast<std::size_t>(i)])) != 0;
        };
        int start = offset, end = offset + 1;
        if (inWord(offset)) {
            while (start > 0 && inWord(start - 1))
                --start;
            while (end < length && inWord(end))
                ++end;
        }
        return {start, end};
    }
    return {0, length};
}

}  // namespace

YBAccessMessage YBAccessServer::component(DBusMessage* call, const YBAccessNode& node) {
    const char* member = dbus_message_get_member(call);
    YBAccessMessage reply = replyTo(call);
    YBAccessWriter out(reply.get());
    const CRect screen = node.screenRect();
    dbus_int32_t x = 0, y = 0;
    dbus_uint32_t coordType = 0;
    if (is(member, "Contains") || is(member, "GetAccessibleAtPoint")) {
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_INT32, &x, DBUS_TYPE_INT32, &y,
                                   DBUS_TYPE_UINT32, &coordType, DBUS_TYPE_INVALID))
            return invalidArgs(call);
        const CPoint origin = originOf(node, coordType);
        const CPoint screenPoint(saturate(0LL + x + origin.x), saturate(0LL + y + origin.y));
        if (is(member, "Contains")) {
            out.boolean(screen.PtInRect(screenPoint));
        } else {
            const std::optional<YBAccessNode> found = node.nodeAt(screenPoint);
            if (found && !(*found == node))
                out.reference(busName(), *found);
            else
                out.nullReference();
        }
    } else if (is(member, "GetExtents") || is(member, "GetPosition")) {
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_UINT32, &coordType, DBUS_TYPE_INVALID))
            return invalidArgs(call);
        const CPoint origin = originOf(node, coordType);
        const int left = saturate(0LL + screen.left - origin.x);
        const int top = saturate(0LL + screen.top - origin.y);
        if (is(member, "GetPosition")) {
            out.int32(left);
            out.int32(top);
        } else {
            out.rect(left, top, saturate(0LL + screen.right - screen.left),
                     saturate(0LL + screen.bottom - screen.top));
        }
    } else if (is(member, "GetSize")) {
        out.int32(saturate(0LL + screen.right - screen.left));
        out.int32(saturate(0LL + screen.bottom - screen.top));
    } else if (is(member, "GetLayer")) {
        out.uint32(node.role() == YBAccessNode::roleFrame ? kLayerWindow : kLayerWidget);
    } else if (is(member, "GetMDIZOrder")) {
        const dbus_int16_t order = 0;
        dbus_message_append_args(reply.get(), DBUS_TYPE_INT16, &order, DBUS_TYPE_INVALID);
    } else if (is(member, "GrabFocus")) {
        out.boolean(node.grabFocus());
    } else if (is(member, "GetAlpha")) {
        out.number(1.0);
    } else if (is(member, "SetExtents") || is(member, "SetPosition") || is(member, "SetSize") ||
               is(member, "ScrollTo") || is(member, "ScrollToPoint")) {
        out.boolean(false);  // the layout places things, not the reader
    } else {
        return unknownMethod(call);
    }
    return reply;
}

YBAccessMessage YBAccessServer::action(DBusMessage* call, const YBAccessNode& node,
                                       Answer& answer) {
    const char* member = dbus_message_get_member(call);
    YBAccessMessage reply = replyTo(call);
    YBAccessWriter out(reply.get());
    constexpr std::string_view kName = "click";
    constexpr std::string_view kDescription = "Clicks the button";
    if (is(member, "GetActions")) {
        YBAccessWriter array(out, DBUS_TYPE_ARRAY, "(sss)");
        YBAccessWriter entry(array, DBUS_TYPE_STRUCT, nullptr);
        entry.string(kName);
        entry.string(kDescription);
        entry.string(std::string_view());
        return reply;
    }
    dbus_int32_t index = 0;
    if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_INT32, &index, DBUS_TYPE_INVALID))
        return invalidArgs(call);
    const bool known = index == 0;
    if (is(member, "GetName") || is(member, "GetLocalizedName")) {
        out.string(known ? kName : std::string_view());
    } else if (is(member, "GetDescription")) {
        out.string(known ? kDescription : std::string_view());
    } else if (is(member, "GetKeyBinding")) {
        out.string(std::string_view());
    } else if (is(member, "DoAction")) {
        const bool enabled = node.states() & (std::uint64_t{1} << YBAccessNode::stateEnabled);
        out.boolean(known && enabled);
        if (known && enabled) answer.then = [node] { node.doAction(); };
    } else {
        return unknownMethod(call);
    }
    return reply;
}

YBAccessMessage YBAccessServer::text(DBusMessage* call, const YBAccessNode& node) {
    const char* member = dbus_message_get_member(call);
    const std::wstring content = node.text();
    const int length = static_cast<int>(std::min<std::size_t>(content.size(), INT_MAX));
    const auto slice = [&](int start, int end) {
        start = std::clamp(start, 0, length);
        end = std::clamp(end, start, length);
        return std::wstring_view(content).substr(static_cast<std::size_t>(start),
                                                 static_cast<std::size_t>(end - start));
    };
    YBAccessMessage reply = replyTo(call);
    YBAccessWriter out(reply.get());
    dbus_int32_t offset = 0, end = 0;
    dbus_uint32_t unit = 0;
    if (is(member, "GetText")) {
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_INT32, &offset, DBUS_TYPE_INT32, &end,
                                   DBUS_TYPE_INVALID))
            return invalidArgs(call);
        out.string(slice(offset, end < 0 ? length : end));
    } else if (is(member, "GetCharacterAtOffset")) {
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_INT32, &offset, DBUS_TYPE_INVALID))
            return invalidArgs(call);
        out.int32(offset >= 0 && offset < length
                      ? static_cast<std::int32_t>(content[static_cast<std::size_t>(offset)])
                      : 0);
    } else if (is(member, "GetTextAtOffset") || is(member, "GetTextBeforeOffset") ||
               is(member, "GetTextAfterOffset") || is(member, "GetStringAtOffset")) {
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_INT32, &offset, DBUS_TYPE_UINT32, &unit,
                                   DBUS_TYPE_INVALID))
            return invalidArgs(call);
        // Boundary types 0 char, 1-2 word, 3-6 sentence and line; granularities
        // 0 char, 1 word, 2 sentence, 3 line, 4 paragraph.
        const bool granularity = is(member, "GetStringAtOffset");
        const int kind = unit == 0 ? 0 : (granularity ? (unit == 1 ? 1 : 2) : (unit <= 2 ? 1 : 2));
        std::pair<int, int> range = unitAt(content, offset, kind);
        if (is(member, "GetTextBeforeOffset"))
            range = range.first > 0 ? unitAt(content, range.first - 1, kind) : std::pair{0, 0};
        else if (is(member, "GetTextAfterOffset"))
            range = unitAt(content, range.second, kind);
        out.string(slice(range.first, range.second));
        out.int32(range.first);
        out.int32(range.second);
    } else if (is(member, "GetNSelections")) {
        out.int32(0);
    } else if (is(member, "GetDefaultAttributes") || is(member, "GetDefaultAttributeSet")) {
        YBAccessWriter none(out, DBUS_TYPE_ARRAY, "{ss}");
    } else if (is(member, "GetAttributes") || is(member, "GetAttributeRun")) {
        { YBAccessWriter none(out, DBUS_TYPE_ARRAY, "{ss}"); }
        out.int32(0);
        out.int32(length);
    } else {
        return unknownMethod(call);
    }
    return reply;
}
