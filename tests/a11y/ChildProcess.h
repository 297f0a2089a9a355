// A program the tests start and always end: by its process id, SIGTERM first
// and SIGKILL when it outlives the grace, then reaped. A child whose parent
// dies (a crashed test) is killed by the kernel, so nothing outlives a run.
//
//   ChildProcess daemon({"/usr/bin/dbus-daemon", "--nofork"}, {{"DISPLAY", std::nullopt}},
//   {{out[1], 3}});
//   ...
//   daemon.stop();  // or let the destructor do it
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ChildProcess {
public:
    // A variable set, or removed when the value is empty.
    using Variable = std::pair<std::string, std::optional<std::string>>;
    // A descriptor of ours the child gets under another number.
    struct Descriptor {
        int parentFd;
        int childFd;
    };

    // Throws std::system_error when the process cannot be made; an exec that
    // fails shows as exit status 127.
    ChildProcess(std::vector<std::string> argv, const std::vector<Variable>& environment,
                 const std::vector<Descriptor>& descriptors);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Its wait status once it ended within the time, or nothing.
    std::optional<int> waitExit(std::chrono::milliseconds limit);
    // SIGTERM, and SIGKILL after the grace; the wait status.
    int stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

private:
    pid_t m_pid = -1;
    int m_pidFd = -1;  // readable once the process ended: a wait with a deadline, no polling
    std::optional<int> m_status;
};
