// Watched descriptors: the registry and the poll() round of the message loop's wait.
#include "user/wait_source_set.h"

#include <algorithm>
#include <climits>

namespace tessel::ws {

namespace {

// What poll() reports whatever was asked for.
constexpr short kAlwaysReported = POLLERR | POLLHUP | POLLNVAL;

}  // namespace

WaitSourceSet& WaitSourceSet::instance() {
    static auto* const set = new WaitSourceSet;
    return *set;
}

WaitSourceSet::Watch* WaitSourceSet::find(WaitSourceId id) {
    const auto it = std::ranges::find_if(m_watches, [id](const Watch& w) { return w.id == id; });
    return it == m_watches.end() ? nullptr : &*it;
}

WaitSourceId WaitSourceSet::add(int fd, short events, std::function<void(short)> ready) {
    if (fd < 0 || events == 0 || !ready) return 0;
    const WaitSourceId id = ++m_lastId;
    m_watches.push_back(
        Watch{id, fd, events, std::make_shared<std::function<void(short)>>(std::move(ready))});
    return id;
}

bool WaitSourceSet::change(WaitSourceId id, short events) {
    Watch* w = find(id);
    if (!w) return false;
    w->events = events;
    return true;
}

bool WaitSourceSet::remove(WaitSourceId id) {
    return std::erase_if(m_watches, [id](const Watch& w) { return w.id == id; }) > 0;
}

WaitSourceSet::Round WaitSourceSet::round() const {
    Round r;
    for (const Watch& w : m_watches) {
        if (w.events == 0 || w.running) continue;
        r.fds.push_back(pollfd{w.fd, w.events, 0});
        r.ids.push_back(w.id);
    }
    return r;
}

void WaitSourceSet::dispatch(const Round& polled) {
    for (std::size_t i = 0; i < polled.fds.size(); ++i) {
        if (polled.fds[i].revents == 0) continue;
        // Looked up again each time: an earlier callback may have changed or removed it.
        Watch* w = find(polled.ids[i]);
        if (!w || w->running) continue;
        const short revents =
            static_cast<short>(polled.fds[i].revents & (w->events | kAlwaysReported));
        if (w->events == 0 || revents == 0) continue;
        const WaitSourceId id = w->id;
        const auto ready = w->ready;
        w->running = true;
        (*ready)(revents);
        // The vector may have grown or shrunk meanwhile: the watch is found by id.
        if (Watch* still = find(id)) still->running = false;
    }
}

void WaitSourceSet::wait(long timeoutMs) {
    Round r = round();
    // Nothing could ever end the wait, or nothing to look at and no time to pass:
    // a PeekMessage without watches makes no system call.
    if (r.fds.empty() && timeoutMs <= 0) return;
    const int timeout = static_cast<int>(std::min<long>(timeoutMs < 0 ? -1 : timeoutMs, INT_MAX));
    const int ready = ::poll(r.fds.data(), r.fds.size(), timeout);
    if (ready > 0) dispatch(r);
}

}  // namespace tessel::ws

using tessel::ws::WaitSourceSet;

namespace tessel {

WaitSourceId watchDescriptor(int fd, short events, std::function<void(short revents)> ready) {
    return WaitSourceSet::instance().add(fd, events, std::move(ready));
}

bool changeWatchedEvents(WaitSourceId id, short events) {
    return WaitSourceSet::instance().change(id, events);
}

bool unwatchDescriptor(WaitSourceId id) {
    return WaitSourceSet::instance().remove(id);
}

}  // namespace tessel
