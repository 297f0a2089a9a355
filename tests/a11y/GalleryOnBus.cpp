#include "GalleryOnBus.h"

#include <dbus/dbus.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

using namespace std::chrono_literals;

// A process ended by its id, SIGTERM first and SIGKILL after a grace. One we
// start dies with us (PR_SET_PDEATHSIG), so nothing outlives a run.
class Child {
public:
    explicit Child(pid_t pid) : m_pid(pid), m_pidFd(int(syscall(SYS_pidfd_open, pid, 0))) {}
    ~Child() {
        stop();
        if (m_pidFd >= 0) close(m_pidFd);
    }
    // argv[0], with stdin and stdout from `in` and `out` where given.
    static pid_t spawn(std::vector<std::string> argv, int in = -1, int out = -1) {
        std::vector<char*> args;
        for (std::string& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        const pid_t parent = getpid(), pid = fork();
        if (pid == 0) {  // only async-signal-safe calls until exec
            if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent ||
                (in >= 0 && dup2(in, STDIN_FILENO) < 0) ||
                (out >= 0 && dup2(out, STDOUT_FILENO) < 0))
                _exit(127);
            execv(args[0], args.data());
            _exit(127);
        }
        return pid;
    }
    pid_t pid() const { return m_pid; }
    // Whether it ended within the limit; `status` is its wait status when it was ours.
    bool ended(std::chrono::milliseconds limit) {
        pollfd exited{m_pidFd, POLLIN, 0};
        if (!m_ended && m_pidFd >= 0 && poll(&exited, 1, int(limit.count())) > 0)
            m_ended = true, waitpid(m_pid, &status, 0);
        return m_ended;
    }
    bool stop() {
        if (m_ended || m_pidFd < 0) return m_ended;
        kill(m_pid, SIGTERM);
        if (!ended(5s)) kill(m_pid, SIGKILL);
        return ended(60s);
    }
    int status = -1;

private:
    pid_t m_pid;
    int m_pidFd;
    bool m_ended = false;
};

namespace {

constexpr const char* kDaemon = "/usr/bin/dbus-daemon";
constexpr const char* kConfig = "/usr/share/defaults/at-spi2/accessibility.conf";
constexpr const char* kRegistry = "/usr/libexec/at-spi2-registryd";
constexpr const char* kRegistryName = "org.a11y.atspi.Registry";
constexpr const char* kEvents[] = {"object:state-changed", "object:bounds-changed", "focus:"};

class AccessBus : public ::testing::Environment {
public:
    void SetUp() override {
        // Known before the daemon starts, so the registry it starts finds it too.
        const std::string address = "unix:abstract=tessel-a11y-" + std::to_string(getpid());
        setenv("AT_SPI_BUS_ADDRESS", address.c_str(), 1);
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        unsetenv("DISPLAY"), unsetenv("WAYLAND_DISPLAY");
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        fcntl(ends[0], F_SETFD, FD_CLOEXEC);
        m_daemon = std::make_unique<Child>(
            Child::spawn({kDaemon, std::string("--config-file=") + kConfig, "--nofork",
                          "--address=" + address, "--print-address=" + std::to_string(ends[1])}));
        close(ends[1]);  // the daemon prints its address once it listens; its death ends the read
        char last = 0;
        while (read(ends[0], &last, 1) == 1 && last != '\n') {
        }
        close(ends[0]);
        ASSERT_EQ(last, '\n') << "dbus-daemon did not start";

        DBusError error;
        dbus_error_init(&error);
        DBusConnection* bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
        if (bus) dbus_connection_set_exit_on_disconnect(bus, false);
        // Answered once the registry it starts owns the name.
        ASSERT_TRUE(bus && dbus_bus_start_service_by_name(bus, kRegistryName, 0, nullptr, &error))
            << error.message;
        // The registry is the daemon's child, not ours; the bus knows its process id.
        DBusMessage* call = dbus_message_new_method_call(
            DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "GetConnectionUnixProcessID");
        dbus_message_append_args(call, DBUS_TYPE_STRING, &kRegistryName, DBUS_TYPE_INVALID);
        DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, call, -1, nullptr);
        dbus_uint32_t pid = 0;
        if (reply) dbus_message_get_args(reply, nullptr, DBUS_TYPE_UINT32, &pid, DBUS_TYPE_INVALID);
        dbus_message_unref(call);
        if (reply) dbus_message_unref(reply);
        dbus_connection_close(bus), dbus_connection_unref(bus);
        ASSERT_GT(pid, 0u);
        m_registry = std::make_unique<Child>(pid_t(pid));
        ASSERT_EQ(atspi_init(), 0) << "libatspi did not reach " << address;
    }
    void TearDown() override {
        atspi_exit();
        EXPECT_TRUE(!m_registry || m_registry->stop()) << "the registry still runs";
        EXPECT_TRUE(!m_daemon || m_daemon->stop()) << "the bus daemon still runs";
    }

private:
    std::unique_ptr<Child> m_daemon, m_registry;
};

void readNode(Tree& tree, AtspiAccessible* object) {
    const std::string path = ATSPI_OBJECT(object)->path;
    if (tree.contains(path)) return;  // a cycle
    Node& node = tree[path];
    node.object.reset(ATSPI_ACCESSIBLE(g_object_ref(object)));
    GError* error = nullptr;
    const auto keep = [&](const char* what) {
        if (error) node.errors += std::string(what) + ": " + error->message + "; ";
        g_clear_error(&error);
    };
    gchar* name = atspi_accessible_get_name(object, &error);
    keep("name");
    node.name = name ? name : "";
    g_free(name);
    node.role = atspi_accessible_get_role(object, &error);
    keep("role");
    node.states.reset(atspi_accessible_get_state_set(object));
    if (GPtr<AtspiComponent> component{atspi_accessible_get_component_iface(object)}) {
        AtspiRect* r =
            atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, &error);
        keep("extents");
        if (r) node.extents = {r->x, r->y, r->width, r->height};
        g_free(r);
    }
    const gint count = atspi_accessible_get_child_count(object, &error);
    keep("child count");
    std::vector<GPtr<AtspiAccessible>> children;
    for (gint i = 0; i < count; ++i) {
        GPtr<AtspiAccessible> child(atspi_accessible_get_child_at_index(object, i, &error));
        keep("child");
        if (!child) continue;
        if (atspi_accessible_get_index_in_parent(child.get(), &error) != i)
            node.errors += "child " + std::to_string(i) + " gives another index; ";
        keep("index in parent");
        node.children.emplace_back(ATSPI_OBJECT(child.get())->path);
        children.push_back(std::move(child));
    }
    for (const auto& child : children)
        readNode(tree, child.get());
}

}  // namespace

const Node* findByName(const Tree& tree, const std::string& name) {
    const auto found = std::find_if(tree.begin(), tree.end(),
                                    [&](const auto& entry) { return entry.second.name == name; });
    return found == tree.end() ? nullptr : &found->second;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // A tick bounds each blocking iteration, so a condition read live is still seen soon.
    const guint tick = g_timeout_add(
        20, [](gpointer) { return gboolean(G_SOURCE_CONTINUE); }, nullptr);
    bool held = condition();
    while (!held && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        held = condition();
    }
    g_source_remove(tick);
    return held;
}

std::string GalleryOnBus::Place::path() const {
    return "/org/a11y/atspi/accessible/" + std::string(1, kind) + std::to_string(id);
}

void GalleryOnBus::SetUp() {
    m_configHome = (std::filesystem::temp_directory_path() / "a11y-gallery-XXXXXX").string();
    ASSERT_TRUE(mkdtemp(m_configHome.data()));
    setenv("XDG_CONFIG_HOME", m_configHome.c_str(), 1);
    setenv("TESSEL_BACKEND", "headless", 1);
    int in[2], out[2];
    ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    m_gallery = std::make_shared<Child>(Child::spawn({A11Y_GALLERY_PATH}, in[0], out[1]));
    m_toGallery = in[1], m_fromGallery = out[0];
    close(in[0]), close(out[1]);  // only the gallery holds them: its exit ends our read

    m_places = rects();  // answered once the gallery is built and its loop runs
    ASSERT_FALSE(m_places.empty());
    const auto appeared = [&] {
        GPtr<AtspiAccessible> desktop(atspi_get_desktop(0));
        const gint count = atspi_accessible_get_child_count(desktop.get(), nullptr);
        for (gint i = 0; i < count && !m_application; ++i) {
            m_application.reset(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
            if (m_application && atspi_accessible_get_process_id(m_application.get(), nullptr) !=
                                     guint(m_gallery->pid()))
                m_application.reset();
        }
        return m_application != nullptr;
    };
    ASSERT_TRUE(waitFor(appeared, 30s)) << "the gallery is not among the desktop's children";
    m_busName = ATSPI_OBJECT(m_application.get())->app->bus_name;
    const auto record = [](AtspiEvent* event, void* log) {
        const AtspiObject* source = ATSPI_OBJECT(event->source);
        static_cast<std::vector<Event>*>(log)->push_back(
            {event->type, source->path, source->app->bus_name, event->detail1});
        g_boxed_free(ATSPI_TYPE_EVENT, event);
    };
    m_listener.reset(atspi_event_listener_new(record, &events, nullptr));
    for (const char* type : kEvents)
        ASSERT_TRUE(atspi_event_listener_register(m_listener.get(), type, nullptr)) << type;
    drain();  // what it said while it started
    events.clear();
}

void GalleryOnBus::TearDown() {
    for (const char* type : kEvents)
        atspi_event_listener_deregister(m_listener.get(), type, nullptr);
    m_application.reset();
    // A crash, or a leak a sanitizer found, shows only in how the gallery ends.
    if (m_gallery && write(m_toGallery, "quit\n", 5) == 5 && m_gallery->ended(60s)) {
        EXPECT_TRUE(WIFEXITED(m_gallery->status) && WEXITSTATUS(m_gallery->status) == 0)
            << "wait status " << m_gallery->status;
    } else {
        ADD_FAILURE() << "the gallery did not quit";
    }
    m_gallery.reset();
    close(m_toGallery), close(m_fromGallery);
    std::error_code ignored;
    std::filesystem::remove_all(m_configHome, ignored);
}

std::vector<std::string> GalleryOnBus::ask(const std::string& command) {
    const std::string line = command + "\n";
    if (write(m_toGallery, line.data(), line.size()) != ssize_t(line.size()))
        throw std::runtime_error("the gallery stopped reading");
    std::vector<std::string> lines;
    for (;;) {
        if (const size_t newline = m_received.find('\n'); newline != std::string::npos) {
            std::string got = m_received.substr(0, newline);
            m_received.erase(0, newline + 1);
            if (got == "ok") return lines;
            if (got.starts_with("error")) throw std::runtime_error(command + ": " + got);
            lines.push_back(std::move(got));
            continue;
        }
        char buffer[4096];
        const ssize_t got = read(m_fromGallery, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw std::runtime_error("no answer to " + command);
        m_received.append(buffer, size_t(got));
    }
}

std::vector<GalleryOnBus::Place> GalleryOnBus::rects() {
    std::vector<Place> places;
    std::uint64_t host = 0;
    for (const std::string& line : ask("rects")) {
        Place place;
        std::istringstream in(line);
        if (!(in >> place.kind >> place.id >> place.x >> place.y >> place.cx >> place.cy))
            throw std::runtime_error("not a rectangle line: " + line);
        if (place.kind == 'w') host = place.id;
        place.host = place.kind == 'c' ? host : 0;
        places.push_back(place);
    }
    return places;
}

std::vector<int> GalleryOnBus::commands() {
    const std::vector<std::string> lines = ask("commands");
    std::istringstream in(lines.empty() ? "" : lines.front());
    std::vector<int> ids;
    for (int id; in >> id;)
        ids.push_back(id);
    return ids;
}

Tree GalleryOnBus::readTree() const {
    Tree tree;
    readNode(tree, m_application.get());
    return tree;
}

void GalleryOnBus::drain() const {
    atspi_accessible_get_child_count(m_application.get(), nullptr);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

const GalleryOnBus::Place& GalleryOnBus::mainHost(const std::vector<Place>& places) {
    const auto count = [&](const Place& host) {
        return host.kind == 'w' ? componentsOf(places, host.id).size() : 0;
    };
    return *std::max_element(places.begin(), places.end(),
                             [&](const Place& a, const Place& b) { return count(a) < count(b); });
}

std::vector<GalleryOnBus::Place> GalleryOnBus::componentsOf(const std::vector<Place>& places,
                                                            std::uint64_t host) {
    std::vector<Place> out;
    std::copy_if(places.begin(), places.end(), std::back_inserter(out),
                 [&](const Place& place) { return place.kind == 'c' && place.host == host; });
    return out;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests) && (access(kDaemon, X_OK) != 0 || access(kConfig, R_OK) != 0 ||
                                        access(kRegistry, X_OK) != 0)) {
        std::printf("skipped: dbus-daemon, %s or %s is missing\n", kConfig, kRegistry);
        return 77;
    }
    signal(SIGPIPE, SIG_IGN);  // a gallery that died fails the write, not the run
    ::testing::AddGlobalTestEnvironment(new AccessBus);  // gtest owns it
    return RUN_ALL_TESTS();
}
