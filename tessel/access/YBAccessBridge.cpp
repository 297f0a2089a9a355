#include "YBAccessBridge.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "YBAccessBus.h"
#include "YBAccessEvents.h"
#include "YBAccessKeys.h"
#include "YBAccessServer.h"

namespace {

constexpr int kSessionTimeoutMs = 1000;
constexpr const char* kA11yBus = "org.a11y.Bus";
constexpr const char* kA11yBusPath = "/org/a11y/bus";

bool running = false;  // see the class's invariant

// A method call to the session bus's org.a11y.Bus that never starts it.
YBAccessMessage a11yBusCall(const char* interface, const char* member) {
    YBAccessMessage call(dbus_message_new_method_call(kA11yBus, kA11yBusPath, interface, member));
    if (call) dbus_message_set_auto_start(call.get(), FALSE);
    return call;
}

YBAccessMessage ask(DBusConnection* session, YBAccessMessage call) {
    if (!call) return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply =
        dbus_connection_send_with_reply_and_block(session, call.get(), kSessionTimeoutMs, &error);
    dbus_error_free(&error);
    return YBAccessMessage(reply);
}

bool statusSays(DBusConnection* session, const char* property) {
    YBAccessMessage call = a11yBusCall("org.freedesktop.DBus.Properties", "Get");
    if (!call) return false;
    const char* interface = "org.a11y.Status";
    dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                             DBUS_TYPE_INVALID);
    const YBAccessMessage reply = ask(session, std::move(call));
    DBusMessageIter in, value;
    if (!reply || !dbus_message_iter_init(reply.get(), &in) ||
        dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_VARIANT)
        return false;
    dbus_message_iter_recurse(&in, &value);
    if (dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_BOOLEAN) return false;
    dbus_bool_t on = FALSE;
    dbus_message_iter_get_basic(&value, &on);
    return on;
}

}  // namespace

struct YBAccessBridge::Handler {
    YBAccessBus::Handler answer;
};

std::string YBAccessBridge::wantedAddress() {
    const char* flag = std::getenv("TESSEL_A11Y");
    if (flag && std::strcmp(flag, "0") == 0) return {};
    if (const char* direct = std::getenv("AT_SPI_BUS_ADDRESS"); direct && *direct) return direct;
    const bool forced = flag && std::strcmp(flag, "1") == 0;
    // Only an existing session bus is asked: opening its address never launches one.
    const char* sessionAddress = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!sessionAddress || !*sessionAddress) return {};
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* session = dbus_connection_open_private(sessionAddress, &error);
    dbus_error_free(&error);
    if (!session) return {};
    dbus_connection_set_exit_on_disconnect(session, FALSE);
    std::string address;
    if (dbus_bus_register(session, &error) && (forced || statusSays(session, "IsEnabled") ||
                                               statusSays(session, "ScreenReaderEnabled"))) {
        const YBAccessMessage reply = ask(session, a11yBusCall(kA11yBus, "GetAddress"));
        const char* found = nullptr;
        if (reply && dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_STRING, &found,
                                           DBUS_TYPE_INVALID))
            address = found;
    }
    dbus_error_free(&error);
    dbus_connection_close(session);
    dbus_connection_unref(session);
    return address;
}

std::unique_ptr<YBAccessBridge> YBAccessBridge::startIfWanted() {
    const std::string address = wantedAddress();
    return address.empty() ? nullptr : start(address);
}

std::unique_ptr<YBAccessBridge> YBAccessBridge::start(const std::string& address) {
    if (running || address.empty()) return nullptr;
    std::unique_ptr<YBAccessBridge> bridge(new YBAccessBridge());
    if (!bridge->connect(address)) return nullptr;
    running = true;
    return bridge;
}

YBAccessBridge::YBAccessBridge() = default;

YBAccessBridge::~YBAccessBridge() {
    const bool started = m_events != nullptr;
    m_keys.reset();
    m_events.reset();
    m_bus.reset();
    if (started) running = false;
}

bool YBAccessBridge::connect(const std::string& address) {
    m_bus = YBAccessBus::connect(address);
    if (!m_bus) return false;
    m_server = std::make_unique<YBAccessServer>(m_bus->uniqueName());
    m_handler = std::make_unique<Handler>();
    m_handler->answer = [this](DBusMessage* message, std::function<void()>& then) {
        YBAccessServer::Answer answer = m_server->answer(message);
        if (!answer.reply) return false;
        m_bus->send(std::move(answer.reply));
        then = std::move(answer.then);
        return true;
    };
    const std::string tree(YBAccessNode::pathPrefix.substr(0, YBAccessNode::pathPrefix.size() - 1));
    if (!m_bus->serveTree(tree.c_str(), &m_handler->answer) ||
        !m_bus->servePath(YBAccessServer::cachePath, &m_handler->answer)) {
        m_bus.reset();
        return false;
    }
    m_events = std::make_unique<YBAccessEvents>(*m_bus);
    m_keys = std::make_unique<YBAccessKeys>(*m_bus);
    embed();
    return true;
}

const std::string& YBAccessBridge::busName() const {
    return m_bus->uniqueName();
}

// Asked without waiting: the registry may call back before it answers.
void YBAccessBridge::embed() {
    YBAccessMessage call(dbus_message_new_method_call("org.a11y.atspi.Registry",
                                                      "/org/a11y/atspi/accessible/root",
                                                      "org.a11y.atspi.Socket", "Embed"));
    if (!call) return;
    {
        YBAccessWriter out(call.get());
        out.reference(m_bus->uniqueName(), YBAccessNode::root());
    }
    m_bus->callLater(std::move(call), [this](DBusMessage* reply) {
        DBusMessageIter in, pair;
        if (!reply || dbus_message_get_type(reply) != DBUS_MESSAGE_TYPE_METHOD_RETURN ||
            !dbus_message_iter_init(reply, &in) ||
            dbus_message_iter_get_arg_type(&in) != DBUS_TYPE_STRUCT)
            return;
        dbus_message_iter_recurse(&in, &pair);
        const char* bus = nullptr;
        const char* path = nullptr;
        if (dbus_message_iter_get_arg_type(&pair) != DBUS_TYPE_STRING) return;
        dbus_message_iter_get_basic(&pair, &bus);
        if (!dbus_message_iter_next(&pair) ||
            dbus_message_iter_get_arg_type(&pair) != DBUS_TYPE_OBJECT_PATH)
            return;
        dbus_message_iter_get_basic(&pair, &path);
        m_server->embeddedIn(bus, path);
        m_embedded = true;
    });
}
