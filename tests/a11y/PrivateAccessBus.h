// An accessibility bus of the test run's own: a dbus-daemon with the
// accessibility configuration and an at-spi2-registryd on it, so a test never
// reaches the desktop's bus or anything else running on the machine.
// Invariant: while the object lives the registry owns its name on the bus;
// the destructor ends the registry, then the daemon, by process id.
//
//   if (!PrivateAccessBus::available()) return 77;
//   PrivateAccessBus bus;
//   ChildProcess app({path}, bus.environment(), {});
#pragma once

#include <dbus/dbus.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"

class PrivateAccessBus {
public:
    static constexpr const char* kConfig = "/usr/share/defaults/at-spi2/accessibility.conf";
    static constexpr const char* kRegistry = "/usr/libexec/at-spi2-registryd";
    static constexpr const char* kRegistryName = "org.a11y.atspi.Registry";

    // Whether dbus-daemon, the configuration and the registry are installed.
    static bool available();

    // Throws std::runtime_error when the daemon or the registry is not up
    // within the limit.
    explicit PrivateAccessBus(std::chrono::milliseconds limit = std::chrono::seconds(30));
    ~PrivateAccessBus();
    PrivateAccessBus(const PrivateAccessBus&) = delete;
    PrivateAccessBus& operator=(const PrivateAccessBus&) = delete;

    const std::string& address() const { return m_address; }
    pid_t daemonPid() const { return m_daemon->pid(); }
    pid_t registryPid() const { return m_registry->pid(); }
    // For a process that is to use this bus as its accessibility bus and its
    // session bus, and no display.
    std::vector<ChildProcess::Variable> environment() const;
    // A connection of the fixture's own, for calls below what libatspi offers.
    DBusConnection* connection() const { return m_connection.get(); }

private:
    struct ConnectionClose {
        void operator()(DBusConnection* connection) const;
    };

    void startDaemon(std::chrono::steady_clock::time_point deadline);
    void startRegistry(std::chrono::steady_clock::time_point deadline);

    std::string m_address;
    // Declared so that they end in reverse: connection, registry, daemon.
    std::optional<ChildProcess> m_daemon;
    std::optional<ChildProcess> m_registry;
    std::unique_ptr<DBusConnection, ConnectionClose> m_connection;
};
