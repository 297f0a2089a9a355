// An accessibility bus of the test run's own: a dbus-daemon with the
// accessibility configuration, which starts at-spi2-registryd on it, so a test
// never reaches the desktop's bus. While it lives the registry owns its name;
// the destructor ends the registry, then the daemon, by process id.
//
//   PrivateAccessBus bus;
//   ChildProcess app({path}, bus.environment(), {});
#pragma once

#include <dbus/dbus.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"

class PrivateAccessBus {
public:
    static constexpr const char* kConfig = "/usr/share/defaults/at-spi2/accessibility.conf";
    static constexpr const char* kRegistry = "/usr/libexec/at-spi2-registryd";

    // Whether dbus-daemon, the configuration and the registry are installed.
    static bool available();
    // The run's bus (a11y_main.cpp).
    static const PrivateAccessBus& shared();

    // Throws std::runtime_error when the daemon or the registry does not start.
    PrivateAccessBus();
    ~PrivateAccessBus();
    PrivateAccessBus(const PrivateAccessBus&) = delete;
    PrivateAccessBus& operator=(const PrivateAccessBus&) = delete;

    const std::string& address() const { return m_address; }
    // For a process that is to use this bus as its accessibility and session bus, and no display.
    std::vector<ChildProcess::Variable> environment() const;
    // A connection of the fixture's own, for calls below what libatspi offers.
    DBusConnection* connection() const { return m_connection.get(); }

private:
    struct ConnectionClose {
        void operator()(DBusConnection* connection) const;
    };

    std::string m_directory;  // the daemon's socket
    std::string m_address;
    pid_t m_registryPid = -1;
    std::optional<ChildProcess> m_daemon;
    std::unique_ptr<DBusConnection, ConnectionClose> m_connection;
};
