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

// Above anything the child is given, so moving one descriptor never
// overwrites another that is still to be moved.
constexpr int kFirstSpareFd = 64;

std::vector<std::string> mergedEnvironment(const std::vector<ChildProcess::Variable>& changes) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const std::string line(*entry);
        const std::string name = line.substr(0, line.find('='));
        const bool changed = std::any_of(changes.begin(), changes.end(),
                                         [&](const auto& change) { return change.first == name; });
        if (!changed) merged.push_back(line);
    }
    for (const auto& [name, value] : changes)
        if (value) merged.push_back(name + "=" + *value);
    return merged;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeChild(pid_t parent,
                              const std::vector<ChildProcess::Descriptor>& descriptors,
                              char* const* argv, char* const* envp) {
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
    int moved[16];
    const size_t count = std::min<size_t>(descriptors.size(), 16);
    for (size_t i = 0; i < count; ++i) {
        moved[i] = fcntl(descriptors[i].parentFd, F_DUPFD_CLOEXEC, kFirstSpareFd);
        if (moved[i] < 0) _exit(127);
    }
    for (size_t i = 0; i < count; ++i)
        if (dup2(moved[i], descriptors[i].childFd) < 0) _exit(127);
    execve(argv[0], argv, envp);
    _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> argv, const std::vector<Variable>& environment,
                           const std::vector<Descriptor>& descriptors) {
    if (argv.empty() || descriptors.size() > 16)
        throw std::system_error(EINVAL, std::generic_category());
    std::vector<std::string> variables = mergedEnvironment(environment);
    const std::vector<char*> argvPointers = pointers(argv);
    const std::vector<char*> envPointers = pointers(variables);
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (m_pid == 0) becomeChild(parent, descriptors, argvPointers.data(), envPointers.data());
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
            m_status = -1;  // reaped elsewhere: gone, with no status to tell
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
    m_status = status;
    return status;
}
