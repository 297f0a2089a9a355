// Answers the accessibility protocol's method calls on the application's
// objects: one handler for every path below the accessible prefix (the root,
// windows, components, bars) and the cache path. Each answer is built from
// the live windows and components at the moment of the call; a path naming
// nothing alive gets org.freedesktop.DBus.Error.UnknownObject.
//
// Answering changes nothing; what a call asks to be done (a button's action,
// a bar's move) comes back as `then`, for the caller to run once the reply is
// on its way and the bus is no longer dispatching, since application code may
// run inside it.
//
//   YBAccessServer server(":1.42");
//   YBAccessServer::Answer answer = server.answer(call);
//   send(answer.reply); if (answer.then) answer.then();
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <tessel/platform/win_types.h>

#include "YBAccessNode.h"
#include "YBAccessWriter.h"

class YBAccessServer {
public:
    static constexpr const char* cachePath = "/org/a11y/atspi/cache";

    // `busName`: the unique name references to our objects carry.
    explicit YBAccessServer(std::string busName);

    struct Answer {
        YBAccessMessage reply;  // null: the message is not a call on our objects
        std::function<void()> then;
    };
    Answer answer(DBusMessage* call);

    const std::string& busName() const { return m_busName; }
    // What the registry embedded the root in: the root's parent.
    void embeddedIn(std::string bus, std::string path);
    std::int32_t applicationId() const { return m_applicationId; }

private:
    YBAccessMessage accessible(DBusMessage* call, const YBAccessNode& node);
    YBAccessMessage application(DBusMessage* call);
    YBAccessMessage properties(DBusMessage* call, const YBAccessNode& node, Answer& answer);
    YBAccessMessage introspect(DBusMessage* call, const YBAccessNode& node);
    // YBAccessServerControls.cpp
    YBAccessMessage component(DBusMessage* call, const YBAccessNode& node);
    YBAccessMessage action(DBusMessage* call, const YBAccessNode& node, Answer& answer);
    YBAccessMessage text(DBusMessage* call, const YBAccessNode& node);

    static YBAccessMessage replyTo(DBusMessage* call);
    static YBAccessMessage fail(DBusMessage* call, const char* error);
    static YBAccessMessage unknownMethod(DBusMessage* call);
    static YBAccessMessage invalidArgs(DBusMessage* call);
    // Appends a property as a variant; false when the node has no such property.
    bool property(YBAccessWriter& out, const YBAccessNode& node, const std::string& interface,
                  const std::string& name);
    std::vector<std::string> interfaces(const YBAccessNode& node) const;
    void parentReference(YBAccessWriter& out, const YBAccessNode& node);

    std::string m_busName;
    std::string m_socketBus;  // empty until embedded
    std::string m_socketPath = "/org/a11y/atspi/null";
    std::int32_t m_applicationId = 0;  // the registry sets it
};
