#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

extern char** environ;

namespace {

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> argv, const std::vector<Variable>& environment,
                           const std::vector<Descriptor>& descriptors) {
    if (argv.empty() || descriptors.size() > 8)
        throw std::system_error(EINVAL, std::generic_category());
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string line(*entry);
        if (std::none_of(environment.begin(), environment.end(),
                         [&](const Variable& v) { return line.starts_with(v.first + "="); }))
            variables.push_back(line);
    }
    for (const auto& [name, value] : environment)
        if (value) variables.push_back(name + "=" + *value);
    const std::vector<char*> args = pointers(argv), envp = pointers(variables);
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (m_pid == 0) {  // only async-signal-safe calls until exec
        if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
        // Above every target first, so no move overwrites a descriptor still to be moved.
        int moved[8];
        for (size_t i = 0; i < descriptors.size(); ++i)
            if ((moved[i] = fcntl(descriptors[i].parentFd, F_DUPFD_CLOEXEC, 64)) < 0) _exit(127);
        for (size_t i = 0; i < descriptors.size(); ++i)
            if (dup2(moved[i], descriptors[i].childFd) < 0) _exit(127);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    m_pidFd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    if (m_pidFd < 0) {
        const int error = errno;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        throw std::system_error(error, std::generic_category(), "pidfd_open");
    }
}

ChildProcess::~ChildProcess() {
    stop();
    close(m_pidFd);
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    while (!m_status) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd exited{m_pidFd, POLLIN, 0};
        const int ready = poll(&exited, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        int status = 0;
        if (waitpid(m_pid, &status, 0) == m_pid)
            m_status = status;
        else if (errno != EINTR)
            m_status = -1;  // reaped elsewhere
    }
    return m_status;
}

int ChildProcess::stop(std::chrono::milliseconds grace) {
    if (m_status) return *m_status;
    kill(m_pid, SIGTERM);
    if (const std::optional<int> status = waitExit(grace)) return *status;
    kill(m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    return *(m_status = status);
}
