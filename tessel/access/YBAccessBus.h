// A private connection to the accessibility bus, run by the user-interface
// thread's own message loop: libdbus's descriptors are watched by the loop's
// wait (tessel::watchDescriptor), its timeouts are platform timers, and
// messages are dispatched from there, one at a time, never from another
// thread and never inside another dispatch.
//
// Invariant: at most one bus exists at a time (timer procedures carry no
// context, so they find it through a pointer of this class's own).
//
//   auto bus = YBAccessBus::connect(address, [&](DBusMessage* m) { return handle(m); });
//   bus->send(std::move(signal));
#pragma once

#include <dbus/dbus.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tessel/platform/wait_sources.h>
#include <tessel/platform/win_types.h>

#include "YBAccessWriter.h"

class YBAccessBus {
public:
    // Given every method call on the paths served; false when it is not one
    // of ours. `then`: what to run once the message is dispatched.
    using Handler = std::function<bool(DBusMessage* message, std::function<void()>& then)>;

    // Connects privately and says Hello; null when the bus cannot be reached.
    static std::unique_ptr<YBAccessBus> connect(const std::string& address);
    // Every path below `path` (and it) goes to `handler`, which must outlive the bus.
    bool serveTree(const char* path, Handler* handler);
    bool servePath(const char* path, Handler* handler);
    ~YBAccessBus();
    YBAccessBus(const YBAccessBus&) = delete;
    YBAccessBus& operator=(const YBAccessBus&) = delete;

    const std::string& uniqueName() const { return m_uniqueName; }
    DBusConnection* connection() const { return m_connection; }
    void send(YBAccessMessage message);
    // Sends and waits up to `timeoutMs` for the reply; null on error or time-out.
    YBAccessMessage call(YBAccessMessage message, int timeoutMs);
    // Sends and hands the reply (or an error) to `done` when it arrives.
    void callLater(YBAccessMessage message, std::function<void(DBusMessage* reply)> done);

private:
    explicit YBAccessBus(DBusConnection* connection);
    bool install();
    void dispatchAll();
    void wake();

    static dbus_bool_t addWatch(DBusWatch* watch, void* self);
    static void removeWatch(DBusWatch* watch, void* self);
    static void toggleWatch(DBusWatch* watch, void* self);
    static dbus_bool_t addTimeout(DBusTimeout* timeout, void* self);
    static void removeTimeout(DBusTimeout* timeout, void* self);
    static void toggleTimeout(DBusTimeout* timeout, void* self);
    static void dispatchStatus(DBusConnection* connection, DBusDispatchStatus status, void* self);
    static void timerFired(HWND window, UINT message, UINT_PTR id, DWORD time);
    static DBusHandlerResult handle(DBusConnection* connection, DBusMessage* message, void* self);
    static void replied(DBusPendingCall* pending, void* done);

    void watchChanged(DBusWatch* watch);
    void timeoutChanged(DBusTimeout* timeout);

    DBusConnection* m_connection;
    struct Served {
        YBAccessBus* bus;
        Handler* handler;
        std::string path;
    };
    std::vector<std::unique_ptr<Served>> m_served;
    std::vector<DBusPendingCall*> m_pending;  // calls whose replies are still awaited
    std::string m_uniqueName;
    struct Watch {
        DBusWatch* watch;
        tessel::WaitSourceId id;
    };
    std::vector<Watch> m_watches;
    struct Timer {
        DBusTimeout* timeout;
        UINT_PTR id;
    };
    std::vector<Timer> m_timers;
    int m_wakeFd = -1;  // written to when messages wait for dispatching
    tessel::WaitSourceId m_wakeWatch = 0;
    bool m_dispatching = false;
    bool m_pumping = false;  // a watch or the wake is being served: it dispatches anyway
    std::vector<std::function<void()>> m_then;  // work the current message asked for
};
