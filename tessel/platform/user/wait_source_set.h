// Internal: the descriptors the message loop's wait watches, and their
// callbacks (the public face is <tessel/platform/wait_sources.h>).
//
// Invariants:
// - A callback runs on the user-interface thread, never while a call of the
//   same watch is under way (a callback that pumps messages skips its own
//   watch), and never after its watch was removed, even within the round of
//   ready descriptors that found it.
// - A paused watch (no events) and a running one are not polled at all, so
//   a descriptor that stays ready cannot make a nested wait spin.
//
//   WaitSourceSet& set = WaitSourceSet::instance();
//   set.wait(timeoutMs);                  // a backend without a wait of its own
//   WaitSourceSet::Round r = set.round(); // a backend that polls elsewhere
#pragma once

#include <poll.h>

#include <functional>
#include <memory>
#include <vector>

#include <tessel/platform/wait_sources.h>

namespace tessel::ws {

class WaitSourceSet {
public:
    // The descriptors to poll now, beside the watches they belong to.
    struct Round {
        std::vector<pollfd> fds;
        std::vector<WaitSourceId> ids;
    };

    // Never destroyed: a program may pump messages while static objects die.
    static WaitSourceSet& instance();

    WaitSourceId add(int fd, short events, std::function<void(short)> ready);
    bool change(WaitSourceId id, short events);
    bool remove(WaitSourceId id);

    Round round() const;
    // Calls the callback of every watch that `polled` (a round after poll())
    // found ready, with what of its events the watch still asks for.
    void dispatch(const Round& polled);
    // Waits up to timeoutMs (negative: without limit) for a watched
    // descriptor and dispatches what is ready. With nothing to watch it only
    // lets the time pass: no wait at all when it has no limit.
    void wait(long timeoutMs);

private:
    WaitSourceSet() = default;

    struct Watch {
        WaitSourceId id;
        int fd;
        short events;
        // Shared, so that a callback that removes its own watch keeps running.
        std::shared_ptr<std::function<void(short)>> ready;
        bool running = false;
    };
    Watch* find(WaitSourceId id);

    std::vector<Watch> m_watches;  // in the order they were added
    WaitSourceId m_lastId = 0;
};

}  // namespace tessel::ws
