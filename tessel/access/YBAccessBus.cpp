#include "YBAccessBus.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

#include <tessel/platform/win_user.h>

namespace {
YBAccessBus* theBus = nullptr;  // see the class's invariant

short pollEvents(unsigned int flags) {
    short events = 0;
    if (flags & DBUS_WATCH_READABLE) events |= POLLIN;
    if (flags & DBUS_WATCH_WRITABLE) events |= POLLOUT;
    return events;
}

unsigned int watchFlags(short revents) {
    unsigned int flags = 0;
    if (revents & POLLIN) flags |= DBUS_WATCH_READABLE;
    if (revents & POLLOUT) flags |= DBUS_WATCH_WRITABLE;
    if (revents & POLLERR) flags |= DBUS_WATCH_ERROR;
    if (revents & POLLHUP) flags |= DBUS_WATCH_HANGUP;
    return flags;
}
}  // namespace

std::unique_ptr<YBAccessBus> YBAccessBus::connect(const std::string& address) {
    if (theBus || address.empty()) return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = dbus_connection_open_private(address.c_str(), &error);
    if (!connection) {
        dbus_error_free(&error);
        return nullptr;
    }
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    if (!dbus_bus_register(connection, &error)) {
        dbus_error_free(&error);
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        return nullptr;
    }
    std::unique_ptr<YBAccessBus> bus(new YBAccessBus(connection));
    if (!bus->install()) return nullptr;
    return bus;
}

YBAccessBus::YBAccessBus(DBusConnection* connection) : m_connection(connection) {
    theBus = this;
    if (const char* name = dbus_bus_get_unique_name(connection)) m_uniqueName = name;
}

bool YBAccessBus::install() {
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) return false;
    m_wakeWatch = tessel::watchDescriptor(m_wakeFd, POLLIN, [this](short) {
        std::uint64_t count = 0;
        while (::read(m_wakeFd, &count, sizeof count) > 0) {
        }
        dispatchAll();
    });
    if (!m_wakeWatch) return false;
    if (!dbus_connection_set_watch_functions(m_connection, addWatch, removeWatch, toggleWatch, this,
                                             nullptr) ||
        !dbus_connection_set_timeout_functions(m_connection, addTimeout, removeTimeout,
                                               toggleTimeout, this, nullptr))
        return false;
    dbus_connection_set_dispatch_status_function(m_connection, dispatchStatus, this, nullptr);
    if (dbus_connection_get_dispatch_status(m_connection) == DBUS_DISPATCH_DATA_REMAINS) wake();
    return true;
}

YBAccessBus::~YBAccessBus() {
    for (DBusPendingCall* pending : m_pending) {
        dbus_pending_call_cancel(pending);
        dbus_pending_call_unref(pending);
    }
    for (const auto& served : m_served)
        dbus_connection_unregister_object_path(m_connection, served->path.c_str());
    // Replacing the functions removes every watch and timeout through the old ones.
    dbus_connection_set_dispatch_status_function(m_connection, nullptr, nullptr, nullptr);
    dbus_connection_set_watch_functions(m_connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_set_timeout_functions(m_connection, nullptr, nullptr, nullptr, nullptr,
                                          nullptr);
    dbus_connection_close(m_connection);
    dbus_connection_unref(m_connection);
    for (const Watch& watch : m_watches)
        tessel::unwatchDescriptor(watch.id);
    for (const Timer& timer : m_timers)
        ::KillTimer(nullptr, timer.id);
    if (m_wakeWatch) tessel::unwatchDescriptor(m_wakeWatch);
    if (m_wakeFd >= 0) ::close(m_wakeFd);
    theBus = nullptr;
}

bool YBAccessBus::serveTree(const char* path, Handler* handler) {
    static const DBusObjectPathVTable table{nullptr, handle, nullptr, nullptr, nullptr, nullptr};
    auto served = std::make_unique<Served>(Served{this, handler, path});
    if (!dbus_connection_register_fallback(m_connection, path, &table, served.get())) return false;
    m_served.push_back(std::move(served));
    return true;
}

bool YBAccessBus::servePath(const char* path, Handler* handler) {
    static const DBusObjectPathVTable table{nullptr, handle, nullptr, nullptr, nullptr, nullptr};
    auto served = std::make_unique<Served>(Served{this, handler, path});
    if (!dbus_connection_register_object_path(m_connection, path, &table, served.get()))
        return false;
    m_served.push_back(std::move(served));
    return true;
}

DBusHandlerResult YBAccessBus::handle(DBusConnection*, DBusMessage* message, void* data) {
    auto* served = static_cast<Served*>(data);
    std::function<void()> then;
    if (!(*served->handler)(message, then)) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    if (then) served->bus->m_then.push_back(std::move(then));
    return DBUS_HANDLER_RESULT_HANDLED;
}

void YBAccessBus::send(YBAccessMessage message) {
    if (message) dbus_connection_send(m_connection, message.get(), nullptr);
}

YBAccessMessage YBAccessBus::call(YBAccessMessage message, int timeoutMs) {
    if (!message || !dbus_connection_get_is_connected(m_connection)) return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply =
        dbus_connection_send_with_reply_and_block(m_connection, message.get(), timeoutMs, &error);
    dbus_error_free(&error);
    return YBAccessMessage(reply);
}

void YBAccessBus::callLater(YBAccessMessage message, std::function<void(DBusMessage*)> done) {
    DBusPendingCall* pending = nullptr;
    if (!message ||
        !dbus_connection_send_with_reply(m_connection, message.get(), &pending,
                                         DBUS_TIMEOUT_USE_DEFAULT) ||
        !pending)
        return;
    using Done = std::function<void(DBusMessage*)>;
    auto* data = new Done(std::move(done));  // freed by libdbus with the pending call
    if (!dbus_pending_call_set_notify(pending, replied, data,
                                      [](void* d) { delete static_cast<Done*>(d); })) {
        delete data;
        dbus_pending_call_cancel(pending);
        dbus_pending_call_unref(pending);
        return;
    }
    m_pending.push_back(pending);
}

void YBAccessBus::replied(DBusPendingCall* pending, void* data) {
    if (theBus) {
        auto& pendingCalls = theBus->m_pending;
        if (const auto at = std::find(pendingCalls.begin(), pendingCalls.end(), pending);
            at != pendingCalls.end()) {
            pendingCalls.erase(at);
            dbus_pending_call_unref(pending);  // the notify holds its own until it returns
        }
    }
    DBusMessage* reply = dbus_pending_call_steal_reply(pending);
    (*static_cast<std::function<void(DBusMessage*)>*>(data))(reply);
    if (reply) dbus_message_unref(reply);
}

void YBAccessBus::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wakeFd, &one, sizeof one);
}

// One message at a time, and the work it asked for after it, outside the
// dispatch: that work may run application code, which may pump messages and
// so come back here.
void YBAccessBus::dispatchAll() {
    if (m_dispatching) return;  // the outer round goes on
    // Asked afresh each round: the work may have waited for a reply and
    // queued other messages meanwhile.
    while (dbus_connection_get_dispatch_status(m_connection) == DBUS_DISPATCH_DATA_REMAINS) {
        m_dispatching = true;
        dbus_connection_dispatch(m_connection);
        m_dispatching = false;
        std::vector<std::function<void()>> work;
        work.swap(m_then);
        for (const auto& step : work)
            step();
    }
}

void YBAccessBus::dispatchStatus(DBusConnection*, DBusDispatchStatus status, void* self) {
    auto* bus = static_cast<YBAccessBus*>(self);
    if (status == DBUS_DISPATCH_DATA_REMAINS && !bus->m_pumping) bus->wake();
}

dbus_bool_t YBAccessBus::addWatch(DBusWatch* watch, void* self) {
    auto* bus = static_cast<YBAccessBus*>(self);
    const int fd = dbus_watch_get_unix_fd(watch);
    const short events = pollEvents(dbus_watch_get_flags(watch));
    // Watched with its events even while disabled, since an empty set cannot be watched.
    const tessel::WaitSourceId id =
        tessel::watchDescriptor(fd, events ? events : POLLIN, [bus, watch](short revents) {
            const bool outer = !bus->m_pumping;
            bus->m_pumping = true;
            dbus_watch_handle(watch, watchFlags(revents));
            bus->dispatchAll();
            if (outer) bus->m_pumping = false;
        });
    if (!id) return FALSE;
    bus->m_watches.push_back(Watch{watch, id});
    if (!dbus_watch_get_enabled(watch)) tessel::changeWatchedEvents(id, 0);
    return TRUE;
}

void YBAccessBus::removeWatch(DBusWatch* watch, void* self) {
    auto& watches = static_cast<YBAccessBus*>(self)->m_watches;
    const auto at = std::find_if(watches.begin(), watches.end(),
                                 [&](const Watch& w) { return w.watch == watch; });
    if (at == watches.end()) return;
    tessel::unwatchDescriptor(at->id);
    watches.erase(at);
}

void YBAccessBus::toggleWatch(DBusWatch* watch, void* self) {
    static_cast<YBAccessBus*>(self)->watchChanged(watch);
}

void YBAccessBus::watchChanged(DBusWatch* watch) {
    for (const Watch& w : m_watches)
        if (w.watch == watch)
            tessel::changeWatchedEvents(
                w.id, dbus_watch_get_enabled(watch) ? pollEvents(dbus_watch_get_flags(watch)) : 0);
}

dbus_bool_t YBAccessBus::addTimeout(DBusTimeout* timeout, void* self) {
    auto* bus = static_cast<YBAccessBus*>(self);
    bus->m_timers.push_back(Timer{timeout, 0});
    bus->timeoutChanged(timeout);
    return TRUE;
}

void YBAccessBus::removeTimeout(DBusTimeout* timeout, void* self) {
    auto& timers = static_cast<YBAccessBus*>(self)->m_timers;
    const auto at = std::find_if(timers.begin(), timers.end(),
                                 [&](const Timer& t) { return t.timeout == timeout; });
    if (at == timers.end()) return;
    if (at->id) ::KillTimer(nullptr, at->id);
    timers.erase(at);
}

void YBAccessBus::toggleTimeout(DBusTimeout* timeout, void* self) {
    static_cast<YBAccessBus*>(self)->timeoutChanged(timeout);
}

void YBAccessBus::timeoutChanged(DBusTimeout* timeout) {
    for (Timer& t : m_timers) {
        if (t.timeout != timeout) continue;
        if (t.id) ::KillTimer(nullptr, t.id);
        t.id = 0;
        if (dbus_timeout_get_enabled(timeout)) {
            const int interval = std::max(dbus_timeout_get_interval(timeout), 1);
            t.id = ::SetTimer(nullptr, 0, static_cast<UINT>(interval), timerFired);
        }
    }
}

void YBAccessBus::timerFired(HWND, UINT, UINT_PTR id, DWORD) {
    if (!theBus) return;
    for (const Timer& t : theBus->m_timers) {
        if (t.id != id) continue;
        dbus_timeout_handle(t.timeout);  // may remove it: nothing of `t` after this
        theBus->dispatchAll();
        return;
    }
}
