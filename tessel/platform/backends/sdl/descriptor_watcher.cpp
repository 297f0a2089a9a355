#include "backends/sdl/descriptor_watcher.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace tessel::ws {

namespace {

// Every watcher there is (the SDL backend's one), stopped at exit so that no
// thread outlives the program's static objects.
std::vector<DescriptorWatcher*>& running() {
    static auto* const watchers = new std::vector<DescriptorWatcher*>;
    return *watchers;
}

void stopAll() {
    for (DescriptorWatcher* w : running())
        w->stop();
}

}  // namespace

DescriptorWatcher::DescriptorWatcher() : m_wakeEvent(SDL_RegisterEvents(1)) {}

DescriptorWatcher::~DescriptorWatcher() {
    stop();
    std::erase(running(), this);
}

bool DescriptorWatcher::arm(std::vector<pollfd> fds) {
    std::unique_lock lock(m_mutex);
    if (m_stopped || m_wakeEvent == static_cast<Uint32>(-1)) return false;
    if (!m_thread.joinable()) {
        m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wakeFd < 0) {
            m_stopped = true;
            std::perror("tessel: no descriptor watch beside SDL (eventfd)");
            return false;
        }
        try {
            m_thread = std::thread(&DescriptorWatcher::run, this);
        } catch (const std::system_error& e) {
            m_stopped = true;
            std::fprintf(stderr, "tessel: no descriptor watch beside SDL: %s\n", e.what());
            return false;
        }
        if (running().empty()) std::atexit(stopAll);
        running().push_back(this);
    }
    m_fds = std::move(fds);
    m_armed = true;
    m_changed.notify_all();
    return true;
}

void DescriptorWatcher::disarm() {
    std::unique_lock lock(m_mutex);
    m_armed = false;
    if (m_polling) wakeThread();
    m_changed.wait(lock, [this] { return !m_polling; });
}

void DescriptorWatcher::stop() {
    {
        std::unique_lock lock(m_mutex);
        if (m_stopped && !m_thread.joinable()) return;
        m_stopped = m_stopping = true;
        m_armed = false;
        if (m_polling) wakeThread();
        m_changed.notify_all();
    }
    if (m_thread.joinable()) m_thread.join();
    if (m_wakeFd >= 0) close(m_wakeFd), m_wakeFd = -1;
}

void DescriptorWatcher::wakeThread() {
    const std::uint64_t one = 1;
    // A full counter still wakes the poll: the result does not matter.
    [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
}

void DescriptorWatcher::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_armed || m_stopping; });
        if (m_stopping) return;
        std::vector<pollfd> fds = m_fds;
        fds.push_back(pollfd{m_wakeFd, POLLIN, 0});
        m_polling = true;
        lock.unlock();
        int ready = 0;
        do {
            ready = poll(fds.data(), fds.size(), -1);
        } while (ready < 0 && errno == EINTR);
        std::uint64_t drained = 0;
        [[maybe_unused]] const ssize_t read_ = read(m_wakeFd, &drained, sizeof drained);
        // Ready descriptors besides the wake-up one (the last) are reported.
        const bool report = ready > (fds.back().revents != 0 ? 1 : 0);
        lock.lock();
        if (report && m_armed) {
            SDL_Event wake{};
            wake.type = m_wakeEvent;
            SDL_PushEvent(&wake);
        }
        m_armed = false;
        m_polling = false;
        m_changed.notify_all();
    }
}

}  // namespace tessel::ws
