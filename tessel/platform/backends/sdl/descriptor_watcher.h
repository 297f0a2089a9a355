// Internal: the SDL backend's watch over the message loop's descriptors.
// SDL_WaitEvent cannot wait on descriptors of its own, so while the backend
// waits there, a thread of this class poll()s them and wakes that wait with
// an SDL event once one is ready. It only reports: the callbacks run on the
// user-interface thread after the wait, as in every other backend.
//
// Invariants:
// - The thread polls only between arm() and disarm(); disarm() returns once
//   it has stopped, so the descriptors it was given are the caller's again.
// - After one report it waits for the next arm(): a descriptor that stays
//   ready until the user-interface thread reads it cannot make it spin.
// - The thread starts with the first arm() and is joined at exit (stop()).
//
//   if (watcher.arm(round.fds)) armed = true;
//   SDL_WaitEventTimeout(&event, timeoutMs);
//   if (armed) watcher.disarm();
#pragma once

#include <SDL.h>
#include <poll.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tessel::ws {

class DescriptorWatcher {
public:
    DescriptorWatcher();  // after SDL_Init: registers the wake-up event
    ~DescriptorWatcher();
    DescriptorWatcher(const DescriptorWatcher&) = delete;
    DescriptorWatcher& operator=(const DescriptorWatcher&) = delete;

    // The SDL event type a report pushes; the backend drops such events.
    Uint32 wakeEvent() const { return m_wakeEvent; }
    // Starts watching `fds`; false when no thread can (the caller then waits without it).
    bool arm(std::vector<pollfd> fds);
    void disarm();
    // Ends the thread for good; later arms answer false.
    void stop();

private:
    void run();
    void wakeThread();  // with m_mutex held

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<pollfd> m_fds;  // what the next poll watches
    bool m_armed = false;       // the thread should poll m_fds once
    bool m_polling = false;     // the thread is inside poll() with a copy of them
    bool m_stopping = false;
    bool m_stopped = false;
    int m_wakeFd = -1;  // eventfd that ends the thread's poll early
    Uint32 m_wakeEvent = 0;
    std::thread m_thread;
};

}  // namespace tessel::ws
