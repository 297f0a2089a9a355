#include "PrivateAccessBus.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
}

std::string daemonPath() {
    const char* path = std::getenv("PATH");
    std::string_view directories = path && *path ? path : "/usr/bin:/bin";
    while (!directories.empty()) {
        const size_t colon = std::min(directories.find(':'), directories.size());
        const std::string candidate = std::string(directories.substr(0, colon)) + "/dbus-daemon";
        if (candidate.front() == '/' && access(candidate.c_str(), X_OK) == 0) return candidate;
        directories.remove_prefix(std::min(colon + 1, directories.size()));
    }
    return {};
}

struct Pipe {
    int read = -1, write = -1;
    Pipe() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
        read = ends[0], write = ends[1];
    }
    ~Pipe() {
        closeWrite();
        close(read);
    }
    void closeWrite() {
        if (write >= 0) close(write);
        write = -1;
    }
};

// The daemon prints its address and a newline once it listens.
std::string readLine(int fd, Clock::time_point deadline) {
    std::string line;
    char buffer[512];
    while (line.find('\n') == std::string::npos) {
        pollfd readable{fd, POLLIN, 0};
        const int ready = poll(&readable, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) throw std::runtime_error("dbus-daemon told no address in time");
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw std::runtime_error("dbus-daemon ended before telling its address");
        line.append(buffer, static_cast<size_t>(got));
    }
    return line.substr(0, line.find('\n'));
}

struct MessageUnref {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};

bool isOwnerGained(DBusMessage* message) {
    const char *name = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
    return dbus_message_is_signal(message, DBUS_INTERFACE_DBUS, "NameOwnerChanged") &&
           dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING,
                                 &oldOwner, DBUS_TYPE_STRING, &newOwner, DBUS_TYPE_INVALID) &&
           std::strcmp(name, PrivateAccessBus::kRegistryName) == 0 && *newOwner;
}

}  // namespace

bool PrivateAccessBus::available() {
    return !daemonPath().empty() && access(kConfig, R_OK) == 0 && access(kRegistry, X_OK) == 0;
}

void PrivateAccessBus::ConnectionClose::operator()(DBusConnection* connection) const {
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
}

PrivateAccessBus::PrivateAccessBus(std::chrono::milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    startDaemon(deadline);
    startRegistry(deadline);
}

PrivateAccessBus::~PrivateAccessBus() {
    m_connection.reset();
    m_registry.reset();
    m_daemon.reset();
}

std::vector<ChildProcess::Variable> PrivateAccessBus::environment() const {
    return {{"AT_SPI_BUS_ADDRESS", m_address},
            {"DBUS_SESSION_BUS_ADDRESS", m_address},
            {"DISPLAY", std::nullopt},
            {"WAYLAND_DISPLAY", std::nullopt}};
}

void PrivateAccessBus::startDaemon(Clock::time_point deadline) {
    Pipe address;
    constexpr int kAddressFd = 3;
    m_daemon.emplace(
        std::vector<std::string>{daemonPath(), std::string("--config-file=") + kConfig, "--nofork",
                                 "--print-address=" + std::to_string(kAddressFd)},
        std::vector<ChildProcess::Variable>{},
        std::vector<ChildProcess::Descriptor>{{address.write, kAddressFd}});
    // Only the daemon may hold the write end, or its death would not end the read.
    address.closeWrite();
    m_address = readLine(address.read, deadline);

    DBusError error;
    dbus_error_init(&error);
    m_connection.reset(dbus_connection_open_private(m_address.c_str(), &error));
    if (m_connection && !dbus_bus_register(m_connection.get(), &error)) m_connection.reset();
    if (!m_connection) {
        const std::string why = error.message ? error.message : "no reason given";
        dbus_error_free(&error);
        throw std::runtime_error("the private bus refused a connection: " + why);
    }
    // The test's own connection must not end the test when the bus goes first.
    dbus_connection_set_exit_on_disconnect(m_connection.get(), false);
}

void PrivateAccessBus::startRegistry(Clock::time_point deadline) {
    DBusConnection* bus = m_connection.get();
    const std::string rule = std::string("type='signal',sender='") + DBUS_SERVICE_DBUS +
                             "',member='NameOwnerChanged',arg0='" + kRegistryName + "'";
    dbus_bus_add_match(bus, rule.c_str(), nullptr);
    m_registry.emplace(std::vector<std::string>{kRegistry}, environment(),
                       std::vector<ChildProcess::Descriptor>{});
    // The match was in place before the registry started, so the signal cannot be missed.
    bool owned = false;
    while (!owned) {
        if (m_registry->waitExit(std::chrono::milliseconds(0)))
            throw std::runtime_error("at-spi2-registryd ended before taking its name");
        if (Clock::now() >= deadline)
            throw std::runtime_error("at-spi2-registryd took no name in time");
        // Woken now and then to notice a registry that died without taking the name.
        if (!dbus_connection_read_write(bus, std::clamp(millisecondsUntil(deadline), 1, 200)))
            throw std::runtime_error("the private bus closed");
        while (std::unique_ptr<DBusMessage, MessageUnref> message{dbus_connection_pop_message(bus)})
            owned = owned || isOwnerGained(message.get());
    }
    dbus_bus_remove_match(bus, rule.c_str(), nullptr);
}
