#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

#include "tests/support/ScratchDir.h"

extern char** environ;

namespace k54::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kReadChunk = 4096;

[[noreturn]] void fail(const std::string& what, int error) {
    throw std::runtime_error(what + ": " + std::strerror(error));
}

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// The program name followed by the arguments, as posix_spawn wants them; points into `words`.
std::vector<char*> argumentVector(std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

int exitStatusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
    return -1;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& stderrPath) {
    std::array<int, 2> pipeFds{-1, -1};
    if (::pipe2(pipeFds.data(), O_CLOEXEC) != 0) fail("cannot make a pipe", errno);
    SpawnActions actions;
    posix_spawn_file_actions_adddup2(actions.get(), pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    const std::vector<char*> argv = argumentVector(words);
    const int spawned = ::posix_spawn(&pid_, program.c_str(), actions.get(), nullptr, argv.data(), environ);
    ::close(pipeFds[1]);
    stdoutFd_ = pipeFds[0];
    if (spawned != 0) {
        ::close(stdoutFd_);
        fail("cannot start " + program, spawned);
    }
    // A process descriptor lets waitExit() wait for the end with poll(); glibc 2.36 declares
    // pidfd_open without C linkage, so the system call is made directly.
    pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
}

ChildProcess::~ChildProcess() {
    if (running()) {
        sendSignal(SIGKILL);
        waitExit(std::chrono::seconds(5));
    }
    if (pidFd_ >= 0) ::close(pidFd_);
    ::close(stdoutFd_);
}

bool ChildProcess::fillBuffer(Clock::time_point deadline) {
    while (!outputEnded_) {
        pollfd readable{stdoutFd_, POLLIN, 0};
        const int ready = ::poll(&readable, 1, millisecondsUntil(deadline));
        if (ready == 0) return false;
        if (ready < 0 && errno == EINTR) continue;
        std::string chunk(kReadChunk, '\0');
        const ssize_t count = ready > 0 ? ::read(stdoutFd_, chunk.data(), chunk.size()) : -1;
        if (count > 0) {
            buffered_.append(chunk, 0, static_cast<std::size_t>(count));
            return true;
        }
        if (count < 0 && errno == EINTR) continue;
        outputEnded_ = true;
    }
    return false;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        if (!fillBuffer(deadline)) return std::nullopt;
    }
}

std::string ChildProcess::readRest(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!outputEnded_ && Clock::now() < deadline) fillBuffer(deadline);
    return std::exchange(buffered_, {});
}

void ChildProcess::sendSignal(int signalNumber) {
    if (running()) ::kill(pid_, signalNumber);
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds timeout) {
    if (exitStatus_) return exitStatus_;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            exitStatus_ = exitStatusOf(status);
            return exitStatus_;
        }
        if (Clock::now() >= deadline) return std::nullopt;
        waitForEnd(deadline);
    }
}

void ChildProcess::waitForEnd(Clock::time_point deadline) const {
    if (pidFd_ >= 0) {
        pollfd ended{pidFd_, POLLIN, 0};
        ::poll(&ended, 1, millisecondsUntil(deadline));
        return;
    }
    // No process descriptor (an old kernel): look again shortly.
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - Clock::now(), std::chrono::milliseconds(5)));
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::milliseconds timeout) {
    const ScratchDir dir("k54-run-");
    const auto errPath = dir.path() / "stderr";
    ProgramResult result;
    {
        ChildProcess child(program, args, errPath.string());
        result.out = child.readRest(timeout);
        result.exitStatus = child.waitExit(timeout).value_or(-1);
    }
    result.err = fileText(errPath);
    return result;
}

}  // namespace k54::test
