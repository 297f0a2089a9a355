#include "YBAccessServer.h"

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstring>

#include <tessel/platform/win_user.h>

namespace {

constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kApplication = "org.a11y.atspi.Application";
constexpr const char* kComponent = "org.a11y.atspi.Component";
constexpr const char* kAction = "org.a11y.atspi.Action";
constexpr const char* kText = "org.a11y.atspi.Text";
constexpr const char* kValue = "org.a11y.atspi.Value";
constexpr const char* kCache = "org.a11y.atspi.Cache";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
constexpr const char* kIntrospectable = "org.freedesktop.DBus.Introspectable";

// Every property property() answers, by interface.
std::vector<const char*> propertyNames(std::string_view interface) {
    if (interface == kAccessible)
        return {"Name", "Description", "Parent", "ChildCount", "Locale", "AccessibleId"};
    if (interface == kApplication) return {"ToolkitName", "Version", "AtspiVersion", "Id"};
    if (interface == kAction) return {"NActions"};
    if (interface == kText) return {"CharacterCount", "CaretOffset"};
    if (interface == kValue)
        return {"MinimumValue", "MaximumValue", "CurrentValue", "MinimumIncrement", "Text"};
    return {};
}

bool is(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

const char* roleName(std::uint32_t role) {
    switch (role) {
        case YBAccessNode::roleFrame:
            return "frame";
        case YBAccessNode::roleLabel:
            return "label";
        case YBAccessNode::rolePushButton:
            return "push button";
        case YBAccessNode::roleScrollPane:
            return "scroll pane";
        case YBAccessNode::roleSeparator:
            return "separator";
        case YBAccessNode::roleSplitPane:
            return "split pane";
        case YBAccessNode::roleToolBar:
            return "tool bar";
        case YBAccessNode::roleApplication:
            return "application";
        default:
            return "panel";
    }
}

}  // namespace

YBAccessServer::YBAccessServer(std::string busName) : m_busName(std::move(busName)) {}

void YBAccessServer::embeddedIn(std::string bus, std::string path) {
    m_socketBus = std::move(bus);
    m_socketPath = std::move(path);
}

YBAccessMessage YBAccessServer::replyTo(DBusMessage* call) {
    return YBAccessMessage(dbus_message_new_method_return(call));
}

YBAccessMessage YBAccessServer::fail(DBusMessage* call, const char* error) {
    return YBAccessMessage(dbus_message_new_error(call, error, nullptr));
}

YBAccessMessage YBAccessServer::unknownMethod(DBusMessage* call) {
    return fail(call, DBUS_ERROR_UNKNOWN_METHOD);
}

YBAccessMessage YBAccessServer::invalidArgs(DBusMessage* call) {
    return fail(call, DBUS_ERROR_INVALID_ARGS);
}

YBAccessServer::Answer YBAccessServer::answer(DBusMessage* call) {
    Answer answer;
    if (dbus_message_get_type(call) != DBUS_MESSAGE_TYPE_METHOD_CALL) return answer;
    const char* path = dbus_message_get_path(call);
    const char* interface = dbus_message_get_interface(call);
    if (is(path, cachePath)) {
        if (is(interface, kCache) && dbus_message_is_method_call(call, kCache, "GetItems")) {
            answer.reply = replyTo(call);
            YBAccessWriter out(answer.reply.get());
            YBAccessWriter none(out, DBUS_TYPE_ARRAY, "((so)(so)(so)iiassusau)");
        } else if (is(interface, kIntrospectable)) {
            answer.reply = introspect(call, YBAccessNode::root());
        } else {
            answer.reply = unknownMethod(call);
        }
        return answer;
    }
    if (!path || !std::string_view(path).starts_with(YBAccessNode::pathPrefix)) return answer;
    const std::optional<YBAccessNode> node = YBAccessNode::fromPath(path);
    if (!node || !node->alive()) {
        answer.reply = fail(call, DBUS_ERROR_UNKNOWN_OBJECT);
        return answer;
    }
    if (is(interface, kProperties)) {
        answer.reply = properties(call, *node, answer);
    } else if (is(interface, kIntrospectable)) {
        answer.reply = introspect(call, *node);
    } else if (is(interface, kAccessible)) {
        answer.reply = accessible(call, *node);
    } else if (is(interface, kApplication) && node->kind() == YBAccessNode::Kind::Root) {
        answer.reply = application(call);
    } else if (is(interface, kComponent) && node->kind() != YBAccessNode::Kind::Root) {
        answer.reply = component(call, *node);
    } else if (is(interface, kAction) && node->hasAction()) {
        answer.reply = action(call, *node, answer);
    } else if (is(interface, kText) && node->hasText()) {
        answer.reply = text(call, *node);
    } else {
        answer.reply = unknownMethod(call);
    }
    if (!answer.reply) answer.reply = unknownMethod(call);
    return answer;
}

std::vector<std::string> YBAccessServer::interfaces(const YBAccessNode& node) const {
    std::vector<std::string> names{kAccessible};
    if (node.kind() == YBAccessNode::Kind::Root) {
        names.emplace_back(kApplication);
        return names;
    }
    names.emplace_back(kComponent);
    if (node.hasAction()) names.emplace_back(kAction);
    if (node.hasText()) names.emplace_back(kText);
    if (node.hasValue()) names.emplace_back(kValue);
    return names;
}

void YBAccessServer::parentReference(YBAccessWriter& out, const YBAccessNode& node) {
    if (node.kind() == YBAccessNode::Kind::Root) {
        YBAccessWriter pair(out, DBUS_TYPE_STRUCT, nullptr);
        pair.string(std::string_view(m_socketBus));
        pair.objectPath(m_socketPath);
        return;
    }
    if (const std::optional<YBAccessNode> up = node.parent())
        out.reference(m_busName, *up);
    else
        out.nullReference();
}

YBAccessMessage YBAccessServer::accessible(DBusMessage* call, const YBAccessNode& node) {
    const char* member = dbus_message_get_member(call);
    YBAccessMessage reply = replyTo(call);
    YBAccessWriter out(reply.get());
    if (is(member, "GetChildren")) {
        YBAccessWriter array(out, DBUS_TYPE_ARRAY, "(so)");
        for (const YBAccessNode& child : node.children())
            array.reference(m_busName, child);
    } else if (is(member, "GetChildAtIndex")) {
        dbus_int32_t index = 0;
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_INT32, &index, DBUS_TYPE_INVALID))
            return invalidArgs(call);
        const std::optional<YBAccessNode> child = node.childAt(index);
        if (!child) return invalidArgs(call);
        out.reference(m_busName, *child);
    } else if (is(member, "GetIndexInParent")) {
        out.int32(node.kind() == YBAccessNode::Kind::Root ? -1 : node.indexInParent());
    } else if (is(member, "GetRelationSet")) {
        YBAccessWriter none(out, DBUS_TYPE_ARRAY, "(ua(so))");
    } else if (is(member, "GetRole")) {
        out.uint32(node.role());
    } else if (is(member, "GetRoleName") || is(member, "GetLocalizedRoleName")) {
        out.string(std::string_view(roleName(node.role())));
    } else if (is(member, "GetState")) {
        out.states(node.states());
    } else if (is(member, "GetAttributes")) {
        YBAccessWriter dict(out, DBUS_TYPE_ARRAY, "{ss}");
        const auto entry = [&](std::string_view key, std::string_view value) {
            YBAccessWriter pair(dict, DBUS_TYPE_DICT_ENTRY, nullptr);
            pair.string(key);
            pair.string(value);
        };
        entry("toolkit", "Tessel");
        if (const unsigned int id = node.commandId()) entry("command-id", std::to_string(id));
    } else if (is(member, "GetApplication")) {
        out.reference(m_busName, YBAccessNode::root());
    } else if (is(member, "GetInterfaces")) {
        YBAccessWriter array(out, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING_AS_STRING);
        for (const std::string& name : interfaces(node))
            array.string(std::string_view(name));
    } else {
        return unknownMethod(call);
    }
    return reply;
}

YBAccessMessage YBAccessServer::application(DBusMessage* call) {
    const char* member = dbus_message_get_member(call);
    YBAccessMessage reply = replyTo(call);
    YBAccessWriter out(reply.get());
    if (is(member, "GetLocale")) {
        const char* locale = std::setlocale(LC_MESSAGES, nullptr);
        out.string(std::string_view(locale ? locale : "C"));
    } else if (is(member, "GetApplicationBusAddress")) {
        out.string(std::string_view());  // no peer-to-peer server: the bus it is
    } else if (!is(member, "RegisterEventListener") && !is(member, "DeregisterEventListener")) {
        return unknownMethod(call);
    }
    return reply;
}

bool YBAccessServer::property(YBAccessWriter& out, const YBAccessNode& node,
                              const std::string& interface, const std::string& name) {
    const auto variant = [&](const char* signature, auto&& write) {
        YBAccessWriter value(out, DBUS_TYPE_VARIANT, signature);
        write(value);
        return true;
    };
    const std::vector<std::string> served = interfaces(node);
    if (std::find(served.begin(), served.end(), interface) == served.end()) return false;
    if (interface == kAccessible) {
        if (name == "Name")
            return variant("s",
                           [&](YBAccessWriter& v) { v.string(std::wstring_view(node.name())); });
        if (name == "Description" || name == "AccessibleId")
            return variant("s", [&](YBAccessWriter& v) { v.string(std::string_view()); });
        if (name == "Locale")
            return variant("s", [&](YBAccessWriter& v) {
                const char* locale = std::setlocale(LC_MESSAGES, nullptr);
                v.string(std::string_view(locale ? locale : "C"));
            });
        if (name == "Parent")
            return variant("(so)", [&](YBAccessWriter& v) { parentReference(v, node); });
        if (name == "ChildCount")
            return variant("i", [&](YBAccessWriter& v) {
                v.int32(static_cast<std::int32_t>(node.children().size()));
            });
        return false;
    }
    if (interface == kApplication) {
        if (name == "ToolkitName")
            return variant("s", [&](YBAccessWriter& v) { v.string(std::string_view("Tessel")); });
        if (name == "Version")
            return variant("s",
                           [&](YBAccessWriter& v) { v.string(std::string_view(TESSEL_VERSION)); });
        if (name == "AtspiVersion")
            return variant("s", [&](YBAccessWriter& v) { v.string(std::string_view("2.1")); });
        if (name == "Id") return variant("i", [&](YBAccessWriter& v) { v.int32(m_applicationId); });
        return false;
    }
    if (interface == kAction) {
        if (name == "NActions") return variant("i", [&](YBAccessWriter& v) { v.int32(1); });
        return false;
    }
    if (interface == kText) {
        if (name == "CharacterCount")
            return variant("i", [&](YBAccessWriter& v) {
                v.int32(static_cast<std::int32_t>(
                    std::min<std::size_t>(node.text().size(), INT32_MAX)));
            });
        if (name == "CaretOffset") return variant("i", [&](YBAccessWriter& v) { v.int32(0); });
        return false;
    }
    if (interface == kValue) {
        const YBAccessNode::Range range = node.value();
        const auto number = [&](double n) {
            return variant("d", [&](YBAccessWriter& v) { v.number(n); });
        };
        if (name == "MinimumValue") return number(range.least);
        if (name == "MaximumValue") return number(range.most);
        if (name == "CurrentValue") return number(range.now);
        if (name == "MinimumIncrement") return number(1.0);
        if (name == "Text")
            return variant("s", [&](YBAccessWriter& v) { v.string(std::string_view()); });
        return false;
    }
    return false;
}

YBAccessMessage YBAccessServer::properties(DBusMessage* call, const YBAccessNode& node,
                                           Answer& answer) {
    const char* member = dbus_message_get_member(call);
    DBusMessageIter in;
    const char* interface = nullptr;
    const char* name = nullptr;
    if (is(member, "Get")) {
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING,
                                   &name, DBUS_TYPE_INVALID))
            return invalidArgs(call);
        YBAccessMessage reply = replyTo(call);
        {
            YBAccessWriter out(reply.get());
            if (property(out, node, interface, name)) return reply;
        }
        return fail(call, DBUS_ERROR_UNKNOWN_PROPERTY);
    }
    if (is(member, "GetAll")) {
        if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID))
            return invalidArgs(call);
        YBAccessMessage reply = replyTo(call);
        {
            YBAccessWriter out(reply.get());
            YBAccessWriter dict(out, DBUS_TYPE_ARRAY, "{sv}");
            const std::vector<std::string> served = interfaces(node);
            if (std::find(served.begin(), served.end(), interface) != served.end()) {
                for (const char* each : propertyNames(interface)) {
                    YBAccessWriter entry(dict, DBUS_TYPE_DICT_ENTRY, nullptr);
                    entry.string(std::string_view(each));
                    property(entry, node, interface, each);
                }
            }
        }
        return reply;
    }
    if (is(member, "Set")) {
        if (!dbus_message_iter_init(call, &in) ||
            dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_STRING)
            return invalidArgs(call);
        dbus_message_iter_get_basic(&in, &interface);
        if (!dbus_message_iter_next(&in) || dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_STRING)
            return invalidArgs(call);
        dbus_message_iter_get_basic(&in, &name);
        DBusMessageIter value;
        if (!dbus_message_iter_next(&in) ||
            dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_VARIANT)
            return invalidArgs(call);
        dbus_message_iter_recurse(&in, &value);
        const int type = dbus_message_iter_get_arg_type(&value);
        if (is(interface, kApplication) && is(name, "Id") &&
            node.kind() == YBAccessNode::Kind::Root) {
            if (type != DBUS_TYPE_INT32) return invalidArgs(call);
            dbus_int32_t id = 0;
            dbus_message_iter_get_basic(&value, &id);
            m_applicationId = id;
            return replyTo(call);
        }
        if (is(interface, kValue) && is(name, "CurrentValue") && node.hasValue()) {
            if (type != DBUS_TYPE_DOUBLE) return invalidArgs(call);
            double position = 0;
            dbus_message_iter_get_basic(&value, &position);
            answer.then = [node, position] { node.setValue(position); };
            return replyTo(call);
        }
        return fail(call, DBUS_ERROR_PROPERTY_READ_ONLY);
    }
    return unknownMethod(call);
}

YBAccessMessage YBAccessServer::introspect(DBusMessage* call, const YBAccessNode& node) {
    if (!dbus_message_is_method_call(call, kIntrospectable, "Introspect"))
        return unknownMethod(call);
    std::string xml =
        "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\" "
        "\"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n<node>\n"
        "  <interface name=\"org.freedesktop.DBus.Introspectable\"/>\n"
        "  <interface name=\"org.freedesktop.DBus.Properties\"/>\n";
    if (is(dbus_message_get_path(call), cachePath))
        xml += "  <interface name=\"org.a11y.atspi.Cache\"/>\n";
    else
        for (const std::string& name : interfaces(node))
            xml += "  <interface name=\"" + name + "\"/>\n";
    xml += "</node>\n";
    YBAccessMessage reply = replyTo(call);
    YBAccessWriter(reply.get()).string(std::string_view(xml));
    return reply;
}
