#include "PrivateAccessBus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>

namespace {

constexpr const char* kDaemon = "/usr/bin/dbus-daemon";
constexpr int kStartLimitMs = 30'000;

// The daemon prints its address and a newline once it listens.
void awaitLine(int fd) {
    std::string line;
    while (line.find('\n') == std::string::npos) {
        pollfd readable{fd, POLLIN, 0};
        char buffer[512];
        const int ready = poll(&readable, 1, kStartLimitMs);
        const ssize_t got = ready > 0 ? read(fd, buffer, sizeof buffer) : -1;
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw std::runtime_error("dbus-daemon did not start");
        line.append(buffer, static_cast<size_t>(got));
    }
}

// The registry is the daemon's child, not ours; the bus knows its process id.
pid_t ownerPid(DBusConnection* bus, const char* name) {
    std::unique_ptr<DBusMessage, decltype(&dbus_message_unref)> call(
        dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS,
                                     "GetConnectionUnixProcessID"),
        &dbus_message_unref);
    if (!call || !dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID))
        return -1;
    std::unique_ptr<DBusMessage, decltype(&dbus_message_unref)> reply(
        dbus_connection_send_with_reply_and_block(bus, call.get(), kStartLimitMs, nullptr),
        &dbus_message_unref);
    dbus_uint32_t pid = 0;
    if (!reply || !dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_UINT32, &pid,
                                         DBUS_TYPE_INVALID))
        return -1;
    return static_cast<pid_t>(pid);
}

}  // namespace

bool PrivateAccessBus::available() {
    return access(kDaemon, X_OK) == 0 && access(kConfig, R_OK) == 0 && access(kRegistry, X_OK) == 0;
}

void PrivateAccessBus::ConnectionClose::operator()(DBusConnection* connection) const {
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
}

PrivateAccessBus::PrivateAccessBus() {
    std::string directory = (std::filesystem::temp_directory_path() / "a11y-bus-XXXXXX").string();
    if (!mkdtemp(directory.data())) throw std::runtime_error("mkdtemp");
    m_directory = directory;
    // Known before the daemon starts, so the registry it activates finds it too.
    m_address = "unix:path=" + directory + "/bus";
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    try {
        m_daemon.emplace(
            std::vector<std::string>{kDaemon, std::string("--config-file=") + kConfig, "--nofork",
                                     "--address=" + m_address, "--print-address=3"},
            environment(), std::vector<ChildProcess::Descriptor>{{ends[1], 3}});
        close(ends[1]);  // only the daemon holds it now: its death ends the read
        ends[1] = -1;
        awaitLine(ends[0]);
    } catch (...) {
        close(ends[0]);
        if (ends[1] >= 0) close(ends[1]);
        throw;
    }
    close(ends[0]);

    DBusError error;
    dbus_error_init(&error);
    m_connection.reset(dbus_connection_open_private(m_address.c_str(), &error));
    if (m_connection) {
        dbus_connection_set_exit_on_disconnect(m_connection.get(), false);
        // The bus starts the registry and answers once it owns its name.
        if (!dbus_bus_register(m_connection.get(), &error) ||
            !dbus_bus_start_service_by_name(m_connection.get(), "org.a11y.atspi.Registry", 0,
                                            nullptr, &error))
            m_connection.reset();
    }
    if (m_connection) m_registryPid = ownerPid(m_connection.get(), "org.a11y.atspi.Registry");
    const std::string why = dbus_error_is_set(&error) ? error.message : "no connection";
    dbus_error_free(&error);
    if (!m_connection) throw std::runtime_error("the private bus: " + why);
}

PrivateAccessBus::~PrivateAccessBus() {
    if (m_registryPid > 0) kill(m_registryPid, SIGTERM);
    m_connection.reset();
    m_daemon.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
}

std::vector<ChildProcess::Variable> PrivateAccessBus::environment() const {
    return {{"AT_SPI_BUS_ADDRESS", m_address},
            {"DBUS_SESSION_BUS_ADDRESS", m_address},
            {"DISPLAY", std::nullopt},
            {"WAYLAND_DISPLAY", std::nullopt}};
}
