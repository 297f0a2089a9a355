#include "GalleryOnBus.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>

#include "AtspiEventLog.h"
#include "PrivateAccessBus.h"

namespace {

constexpr auto kAppearLimit = std::chrono::seconds(2);
constexpr auto kAnswerLimit = std::chrono::seconds(60);

GObjectPtr<AtspiAccessible> applicationOf(pid_t pid) {
    GObjectPtr<AtspiAccessible> desktop(atspi_get_desktop(0));
    const gint count = atspi_accessible_get_child_count(desktop.get(), nullptr);
    for (gint i = 0; i < count; ++i) {
        GObjectPtr<AtspiAccessible> child(
            atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
        if (child && atspi_accessible_get_process_id(child.get(), nullptr) == guint(pid))
            return child;
    }
    return nullptr;
}

}  // namespace

std::string GalleryOnBus::Place::path() const {
    return "/org/a11y/atspi/accessible/" + std::string(1, kind) + std::to_string(id);
}

void GalleryOnBus::SetUp() {
    m_configHome = (std::filesystem::temp_directory_path() / "a11y-gallery-XXXXXX").string();
    ASSERT_TRUE(mkdtemp(m_configHome.data()));
    int in[2], out[2];
    ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
    m_toGallery = in[1];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    m_fromGallery = out[0];
    std::vector<ChildProcess::Variable> environment = PrivateAccessBus::shared().environment();
    environment.emplace_back("TESSEL_BACKEND", "headless");
    environment.emplace_back("XDG_CONFIG_HOME", m_configHome);
    m_gallery.emplace(
        std::vector<std::string>{A11Y_GALLERY_PATH}, environment,
        std::vector<ChildProcess::Descriptor>{{in[0], STDIN_FILENO}, {out[1], STDOUT_FILENO}});
    close(in[0]), close(out[1]);  // only the gallery holds them: its exit ends our read

    // The first answer comes once the gallery is built and its loop runs.
    m_places = rects();
    ASSERT_FALSE(m_places.empty());
    const bool appeared = AtspiEventLog::waitFor(
        [&] { return (m_application = applicationOf(m_gallery->pid())) != nullptr; },
        kAppearLimit * kSlowdown);
    ASSERT_TRUE(appeared) << "the gallery is not among the desktop's children";
    m_busName = ATSPI_OBJECT(m_application.get())->app->bus_name;
}

void GalleryOnBus::TearDown() {
    m_application.reset();
    if (m_gallery) {
        // A crash, or a leak a sanitizer found, shows only in how the gallery ends.
        const std::string quit = "quit\n";
        std::optional<int> status;
        if (write(m_toGallery, quit.data(), quit.size()) == ssize_t(quit.size()))
            status = m_gallery->waitExit(kAnswerLimit);
        EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
            << "wait status " << (status ? *status : m_gallery->stop());
        m_gallery.reset();
    }
    close(m_toGallery);
    close(m_fromGallery);
    std::error_code ignored;
    std::filesystem::remove_all(m_configHome, ignored);
}

std::vector<std::string> GalleryOnBus::ask(const std::string& command) {
    const std::string line = command + "\n";
    if (write(m_toGallery, line.data(), line.size()) != ssize_t(line.size()))
        throw std::runtime_error("the gallery stopped reading");
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kAnswerLimit;
    std::vector<std::string> lines;
    for (;;) {
        const size_t newline = m_received.find('\n');
        if (newline != std::string::npos) {
            std::string got = m_received.substr(0, newline);
            m_received.erase(0, newline + 1);
            if (got == "ok") return lines;
            if (got.starts_with("error")) throw std::runtime_error(command + ": " + got);
            lines.push_back(std::move(got));
            continue;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable{m_fromGallery, POLLIN, 0};
        char buffer[4096];
        const int ready = poll(&readable, 1, int(std::max<long long>(0, left.count())));
        const ssize_t got = ready > 0 ? read(m_fromGallery, buffer, sizeof buffer) : -1;
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
    std::vector<int> ids;
    std::istringstream in(lines.empty() ? "" : lines.front());
    for (int id; in >> id;)
        ids.push_back(id);
    return ids;
}

const GalleryOnBus::Place& GalleryOnBus::mainHost(const std::vector<Place>& places) {
    std::map<std::uint64_t, int> counts;
    for (const Place& place : places)
        if (place.kind == 'c') ++counts[place.host];
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    const auto found = std::find_if(places.begin(), places.end(), [&](const Place& place) {
        return most != counts.end() && place.kind == 'w' && place.id == most->first;
    });
    if (found == places.end()) throw std::runtime_error("the gallery lists no component host");
    return *found;
}

std::vector<GalleryOnBus::Place> GalleryOnBus::componentsOf(const std::vector<Place>& places,
                                                            std::uint64_t host) {
    std::vector<Place> out;
    std::copy_if(places.begin(), places.end(), std::back_inserter(out),
                 [&](const Place& place) { return place.kind == 'c' && place.host == host; });
    return out;
}
