#include "GalleryDriver.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path freshDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "a11y-gallery-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
    return pattern;
}

void writeAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) throw std::runtime_error("the gallery driver stopped reading");
        done += static_cast<size_t>(wrote);
    }
}

GalleryDriver::Place placeOf(const std::string& line, std::uint64_t host) {
    GalleryDriver::Place place;
    std::istringstream in(line);
    if (!(in >> place.kind >> place.id >> place.x >> place.y >> place.cx >> place.cy) ||
        (place.kind != 'w' && place.kind != 'c'))
        throw std::runtime_error("not a rectangle line: " + line);
    if (place.kind == 'c') place.host = host;
    return place;
}

}  // namespace

std::string GalleryDriver::Place::path() const {
    return "/org/a11y/atspi/accessible/" + std::string(1, kind) + std::to_string(id);
}

GalleryDriver::GalleryDriver(const PrivateAccessBus& bus) : m_configHome(freshDirectory()) {
    int toDriver[2], fromDriver[2];
    if (pipe2(toDriver, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    if (pipe2(fromDriver, O_CLOEXEC) != 0) {
        close(toDriver[0]), close(toDriver[1]);
        throw std::runtime_error("pipe");
    }
    m_toDriver = toDriver[1];
    m_fromDriver = fromDriver[0];
    std::vector<ChildProcess::Variable> environment = bus.environment();
    environment.emplace_back("TESSEL_BACKEND", "headless");
    environment.emplace_back("XDG_CONFIG_HOME", m_configHome.string());
    try {
        m_process.emplace(std::vector<std::string>{A11Y_GALLERY_PATH}, environment,
                          std::vector<ChildProcess::Descriptor>{{toDriver[0], STDIN_FILENO},
                                                                {fromDriver[1], STDOUT_FILENO}});
    } catch (...) {
        close(toDriver[0]), close(fromDriver[1]);
        throw;
    }
    // Only the driver holds these ends now: its exit closes our read.
    close(toDriver[0]);
    close(fromDriver[1]);
}

GalleryDriver::~GalleryDriver() {
    finish();
    m_process.reset();
    close(m_toDriver);
    close(m_fromDriver);
    std::error_code ignored;
    std::filesystem::remove_all(m_configHome, ignored);
}

std::optional<std::string> GalleryDriver::readLine(Clock::time_point deadline) {
    size_t newline;
    while ((newline = m_received.find('\n')) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable{m_fromDriver, POLLIN, 0};
        const int ready =
            poll(&readable, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char buffer[4096];
        const ssize_t got = read(m_fromDriver, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return std::nullopt;
        m_received.append(buffer, static_cast<size_t>(got));
    }
    std::string line = m_received.substr(0, newline);
    m_received.erase(0, newline + 1);
    return line;
}

std::vector<std::string> GalleryDriver::ask(const std::string& command) {
    writeAll(m_toDriver, command + "\n");
    const Clock::time_point deadline = Clock::now() + kAnswerLimit;
    std::vector<std::string> lines;
    for (;;) {
        std::optional<std::string> line = readLine(deadline);
        if (!line) throw std::runtime_error("no answer to \"" + command + "\"");
        if (*line == "ok") return lines;
        if (line->starts_with("error")) throw std::runtime_error("\"" + command + "\": " + *line);
        lines.push_back(std::move(*line));
    }
}

int GalleryDriver::finish() {
    if (const std::optional<int> ended = m_process->waitExit(std::chrono::milliseconds(0)))
        return *ended;
    const std::string quit = "quit\n";
    if (write(m_toDriver, quit.data(), quit.size()) == static_cast<ssize_t>(quit.size()))
        if (const std::optional<int> status = m_process->waitExit(kAnswerLimit)) return *status;
    return m_process->stop();
}

std::vector<GalleryDriver::Place> GalleryDriver::rects() {
    std::vector<Place> places;
    std::uint64_t host = 0;
    for (const std::string& line : ask("rects")) {
        places.push_back(placeOf(line, host));
        if (places.back().kind == 'w') host = places.back().id;
    }
    return places;
}

std::vector<int> GalleryDriver::commands() {
    const std::vector<std::string> lines = ask("commands");
    std::vector<int> ids;
    if (lines.empty()) return ids;
    std::istringstream in(lines.front());
    for (int id; in >> id;)
        ids.push_back(id);
    return ids;
}
