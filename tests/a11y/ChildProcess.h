// A program the tests start and always end: by its process id, SIGTERM first
// and SIGKILL when it outlives the grace, then reaped. The kernel kills it
// when the test process dies, so nothing outlives a run.
//
//   ChildProcess daemon({"/usr/bin/dbus-daemon", "--nofork"}, {{"DISPLAY", std::nullopt}},
//                       {{out[1], 3}});
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ChildProcess {
public:
    // A variable set, or removed when it has no value.
    using Variable = std::pair<std::string, std::optional<std::string>>;
    struct Descriptor {  // one of ours the child gets under another number
        int parentFd;
        int childFd;
    };

    // Throws std::system_error when it cannot be made; a failed exec exits 127.
    ChildProcess(std::vector<std::string> argv, const std::vector<Variable>& environment,
                 const std::vector<Descriptor>& descriptors);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Its wait status once it ended within the limit, or nothing.
    std::optional<int> waitExit(std::chrono::milliseconds limit);
    int stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

private:
    pid_t m_pid = -1;
    int m_pidFd = -1;  // readable once it ended: a wait with a deadline, no polling
    std::optional<int> m_status;
};
