// The a11y_gallery driver on the suite's private accessibility bus (a dbus-daemon
// with the accessibility configuration, which starts the registry), talked to a
// line at a time and found where a screen reader finds it, among the desktop's
// children. Each test's gallery starts from its built-in layout.
#pragma once

#include <atspi/atspi.h>
#include <dbus/dbus.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>

using namespace std::chrono_literals;

struct GUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GPtr = std::unique_ptr<T, GUnref>;

// One object as a reader reads it.
struct Node {
    GPtr<AtspiAccessible> object;
    std::string name;
    AtspiRole role = ATSPI_ROLE_INVALID;
    GPtr<AtspiStateSet> states;  // as read with the tree
    std::vector<int> extents;    // screen x, y, cx, cy; objects with the Component interface
    std::vector<std::string> children;

    bool has(AtspiStateType state) const { return atspi_state_set_contains(states.get(), state); }
};
using Tree = std::map<std::string, Node>;  // by object path

// An event a reader hears, delivered while waitFor or drain run the main context.
struct Event {
    std::string type, path;  // only the gallery sends them on this bus
    int detail1 = 0;
};

inline bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
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

class GalleryOnBus : public ::testing::Test {
public:
    // A process ended by its id: SIGTERM, then SIGKILL after a grace. One we
    // start dies with us (PR_SET_PDEATHSIG), so nothing outlives a run.
    struct Process {
        explicit Process(pid_t id) : pid(id), pidFd(int(syscall(SYS_pidfd_open, id, 0))) {}
        // argv[0], with stdin and stdout from `in` and `out` where given.
        Process(std::vector<std::string> argv, int in = -1, int out = -1)
            : Process([&] {
                  std::vector<char*> args;
                  for (std::string& arg : argv)
                      args.push_back(arg.data());
                  args.push_back(nullptr);
                  const pid_t parent = getpid(), child = fork();
                  if (child == 0) {  // only async-signal-safe calls until exec
                      if (prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && getppid() == parent &&
                          (in < 0 || dup2(in, STDIN_FILENO) >= 0) &&
                          (out < 0 || dup2(out, STDOUT_FILENO) >= 0))
                          execv(args[0], args.data());
                      _exit(127);
                  }
                  return child;
              }()) {}
        ~Process() {
            stop();
            if (pidFd >= 0) close(pidFd);
        }
        // Whether it ended within the limit; `status` is its wait status when it was ours.
        bool ended(std::chrono::milliseconds limit) {
            pollfd exited{pidFd, POLLIN, 0};
            if (!gone && pidFd >= 0 && poll(&exited, 1, int(limit.count())) > 0)
                gone = true, waitpid(pid, &status, 0);
            return gone;
        }
        bool stop() {
            if (gone || pidFd < 0) return gone;
            kill(pid, SIGTERM);
            if (!ended(5s)) kill(pid, SIGKILL);
            return ended(60s);
        }
        const pid_t pid;
        const int pidFd;
        int status = -1;
        bool gone = false;
    };

    // The suite's bus, for the whole run; libatspi in this process uses it too.
    class Bus : public ::testing::Environment {
        static constexpr const char* kConfig = "/usr/share/defaults/at-spi2/accessibility.conf";
        static constexpr const char* kRegistry = "org.a11y.atspi.Registry";

    public:
        static bool installed() {
            return access("/usr/bin/dbus-daemon", X_OK) == 0 && access(kConfig, R_OK) == 0 &&
                   access("/usr/libexec/at-spi2-registryd", X_OK) == 0;
        }
        void SetUp() override {
            // Known before the daemon starts, so the registry it starts finds it too.
            const std::string address = "unix:abstract=tessel-a11y-" + std::to_string(getpid());
            setenv("AT_SPI_BUS_ADDRESS", address.c_str(), 1);
            setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
            unsetenv("DISPLAY"), unsetenv("WAYLAND_DISPLAY");
            int ends[2];
            ASSERT_EQ(pipe(ends), 0);
            fcntl(ends[0], F_SETFD, FD_CLOEXEC);
            m_daemon = std::make_unique<Process>(std::vector<std::string>{
                "/usr/bin/dbus-daemon", std::string("--config-file=") + kConfig, "--nofork",
                "--address=" + address, "--print-address=" + std::to_string(ends[1])});
            close(ends[1]);  // it prints its address once it listens; its death ends the read
            char last = 0;
            while (read(ends[0], &last, 1) == 1 && last != '\n') {
            }
            close(ends[0]);
            ASSERT_EQ(last, '\n') << "dbus-daemon did not start";

            DBusError error;
            dbus_error_init(&error);
            DBusConnection* bus = dbus_connection_open_private(address.c_str(), &error);
            // Answered once the registry it starts owns the name.
            ASSERT_TRUE(bus && dbus_bus_register(bus, &error) &&
                        dbus_bus_start_service_by_name(bus, kRegistry, 0, nullptr, &error))
                << error.message;
            // The registry is the daemon's child, not ours; the bus knows its process id.
            DBusMessage* call =
                dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS,
                                             "GetConnectionUnixProcessID");
            dbus_message_append_args(call, DBUS_TYPE_STRING, &kRegistry, DBUS_TYPE_INVALID);
            DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, call, -1, nullptr);
            dbus_uint32_t pid = 0;
            if (reply)
                dbus_message_get_args(reply, nullptr, DBUS_TYPE_UINT32, &pid, DBUS_TYPE_INVALID);
            dbus_message_unref(call);
            if (reply) dbus_message_unref(reply);
            dbus_connection_close(bus), dbus_connection_unref(bus);
            ASSERT_GT(pid, 0u);
            m_registry = std::make_unique<Process>(pid_t(pid));
            ASSERT_EQ(atspi_init(), 0) << "libatspi did not reach " << address;
        }
        void TearDown() override {
            atspi_exit();
            EXPECT_TRUE(!m_registry || m_registry->stop()) << "the registry still runs";
            EXPECT_TRUE(!m_daemon || m_daemon->stop()) << "the bus daemon still runs";
        }

    private:
        std::unique_ptr<Process> m_daemon, m_registry;
    };

    // One line of `rects`: a window ('w') or a component ('c') and its screen rectangle.
    struct Place {
        char kind = 'w';
        std::uint64_t id = 0;  // the window's handle or the component's accessible id
        int x = 0, y = 0, cx = 0, cy = 0;
        std::string path() const {
            return "/org/a11y/atspi/accessible/" + std::string(1, kind) + std::to_string(id);
        }
    };

protected:
    void SetUp() override {
        m_configHome = (std::filesystem::temp_directory_path() / "a11y-gallery-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(m_configHome.data()));
        setenv("XDG_CONFIG_HOME", m_configHome.c_str(), 1);
        setenv("TESSEL_BACKEND", "headless", 1);
        int in[2], out[2];
        ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
        ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
        m_gallery =
            std::make_unique<Process>(std::vector<std::string>{A11Y_GALLERY_PATH}, in[0], out[1]);
        m_toGallery = in[1], m_fromGallery = out[0];
        close(in[0]), close(out[1]);  // only the gallery holds them: its exit ends our read

        m_places = rects();  // answered once the gallery is built and its loop runs
        ASSERT_FALSE(m_places.empty());
        const auto appeared = [&] {
            GPtr<AtspiAccessible> desktop(atspi_get_desktop(0));
            const gint count = atspi_accessible_get_child_count(desktop.get(), nullptr);
            for (gint i = 0; i < count && !m_application; ++i) {
                m_application.reset(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
                if (m_application && atspi_accessible_get_process_id(
                                         m_application.get(), nullptr) != guint(m_gallery->pid))
                    m_application.reset();
            }
            return m_application != nullptr;
        };
        ASSERT_TRUE(waitFor(appeared, 30s)) << "the gallery is not among the desktop's children";
        const auto record = [](AtspiEvent* event, void* log) {
            const AtspiObject* source = ATSPI_OBJECT(event->source);
            static_cast<std::vector<Event>*>(log)->push_back(
                {event->type, source->path, event->detail1});
            g_boxed_free(ATSPI_TYPE_EVENT, event);
        };
        m_listener.reset(atspi_event_listener_new(record, &events, nullptr));
        for (const char* type : kEvents)
            ASSERT_TRUE(atspi_event_listener_register(m_listener.get(), type, nullptr)) << type;
        drain();  // what it said while it started
        events.clear();
    }
    void TearDown() override {
        for (const char* type : kEvents)
            atspi_event_listener_deregister(m_listener.get(), type, nullptr);
        m_application.reset();
        // A crash, or a leak a sanitizer found, shows only in how the gallery ends.
        const bool quit =
            m_gallery && write(m_toGallery, "quit\n", 5) == 5 && m_gallery->ended(60s);
        EXPECT_TRUE(quit && WIFEXITED(m_gallery->status) && WEXITSTATUS(m_gallery->status) == 0)
            << "the gallery did not quit cleanly; wait status " << (quit ? m_gallery->status : -1);
        m_gallery.reset();
        close(m_toGallery), close(m_fromGallery);
        std::filesystem::remove_all(m_configHome);
    }

    // The gallery's lines before "ok"; throws std::runtime_error on "error" or no answer.
    std::vector<std::string> ask(const std::string& command) {
        const std::string line = command + "\n";
        if (write(m_toGallery, line.data(), line.size()) != ssize_t(line.size()))
            throw std::runtime_error("the gallery stopped reading");
        std::vector<std::string> lines;
        for (size_t newline;;) {
            while ((newline = m_received.find('\n')) != std::string::npos) {
                lines.push_back(m_received.substr(0, newline));
                m_received.erase(0, newline + 1);
                if (lines.back() == "ok") return lines.pop_back(), lines;
                if (lines.back().starts_with("error"))
                    throw std::runtime_error(command + ": " + lines.back());
            }
            char buffer[4096];
            const ssize_t got = read(m_fromGallery, buffer, sizeof buffer);
            if (got <= 0 && errno != EINTR) throw std::runtime_error("no answer to " + command);
            m_received.append(buffer, size_t(std::max<ssize_t>(got, 0)));
        }
    }
    std::vector<Place> rects() {
        std::vector<Place> places;
        for (const std::string& line : ask("rects")) {
            Place place;
            std::istringstream in(line);
            if (!(in >> place.kind >> place.id >> place.x >> place.y >> place.cx >> place.cy))
                throw std::runtime_error("not a rectangle line: " + line);
            places.push_back(place);
        }
        return places;
    }
    std::string commands() { return ask("commands").at(0); }  // "310 601 "
    Tree readTree() const {
        Tree tree;
        readNode(tree, m_application.get());
        return tree;
    }
    // Delivers every event the gallery sent before it answers one call: the
    // bus keeps one sender's messages in order.
    void drain() const {
        atspi_accessible_get_child_count(m_application.get(), nullptr);
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
    }
    // A host's components follow it in `rects`.
    static std::vector<Place> componentsOf(const std::vector<Place>& places, std::uint64_t host) {
        auto at = std::find_if(places.begin(), places.end(), [&](const Place& place) {
            return place.kind == 'w' && place.id == host;
        });
        std::vector<Place> out;
        while (at != places.end() && ++at != places.end() && at->kind == 'c')
            out.push_back(*at);
        return out;
    }
    // The host with the most components: the gallery's big one.
    static const Place& mainHost(const std::vector<Place>& places) {
        const auto count = [&](const Place& host) {
            return host.kind == 'w' ? componentsOf(places, host.id).size() : 0;
        };
        return *std::max_element(places.begin(), places.end(), [&](const Place& a, const Place& b) {
            return count(a) < count(b);
        });
    }

    std::vector<Place> m_places;  // as the gallery started
    std::vector<Event> events;    // state changes, moves and focus since SetUp or a clear

private:
    static constexpr const char* kEvents[] = {"object:state-changed", "object:bounds-changed",
                                              "focus:"};

    static void readNode(Tree& tree, AtspiAccessible* object) {
        const std::string path = ATSPI_OBJECT(object)->path;
        if (tree.contains(path)) return;  // a cycle
        Node& node = tree[path];
        node.object.reset(ATSPI_ACCESSIBLE(g_object_ref(object)));
        GError* error = nullptr;
        const auto keep = [&](const char* what) {  // what the bus refused
            EXPECT_EQ(error, nullptr) << path << " " << what << ": " << error->message;
            g_clear_error(&error);
        };
        const std::unique_ptr<gchar, decltype(&g_free)> name(
            atspi_accessible_get_name(object, &error), g_free);
        keep("name");
        node.name = name ? name.get() : "";
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
            children.emplace_back(atspi_accessible_get_child_at_index(object, i, &error));
            keep("child");
            if (!children.back()) continue;
            EXPECT_EQ(atspi_accessible_get_index_in_parent(children.back().get(), &error), i)
                << path;
            keep("index in parent");
            node.children.emplace_back(ATSPI_OBJECT(children.back().get())->path);
        }
        for (const auto& child : children)
            if (child) readNode(tree, child.get());
    }

    std::string m_configHome;
    int m_toGallery = -1, m_fromGallery = -1;
    std::string m_received;  // read but not yet taken as lines
    std::unique_ptr<Process> m_gallery;
    GPtr<AtspiAccessible> m_application;
    GPtr<AtspiEventListener> m_listener;
};

inline const Node* findByName(const Tree& tree, const std::string& name) {
    for (const auto& [path, node] : tree)
        if (node.name == name) return &node;
    return nullptr;
}
