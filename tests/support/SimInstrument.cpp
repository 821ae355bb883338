#include "tests/support/SimInstrument.h"

#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifndef K54SIM_PATH
#error "K54SIM_PATH must name the k54sim program"
#endif

namespace k54::test {

namespace {

constexpr auto kStopDeadline = std::chrono::seconds(5);
constexpr std::string_view kLinkArrow = " -> ";

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> simArguments(const std::filesystem::path& dir, int port,
                                      const std::vector<std::string>& extraArgs) {
    std::vector<std::string> args{
        "--port",  std::to_string(port),         "--ports-dir", (dir / "ports").string(),
        "--trace", (dir / "trace.log").string(), "--control",   (dir / "control.fifo").string()};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    return args;
}

}  // namespace

struct SimInstrument::Running {
    std::unique_ptr<ChildProcess> process;
    std::optional<int> exitStatus;
};

std::string SimInstrument::programPath() {
    return K54SIM_PATH;
}

SimInstrument::SimInstrument(const std::vector<std::string>& extraArgs, int port)
    : dir_("k54sim-test-"), port_(port), running_(std::make_unique<Running>()) {
    std::filesystem::create_directory(portsDir());
    std::filesystem::permissions(portsDir(), std::filesystem::perms::owner_all);
    running_->process = std::make_unique<ChildProcess>(programPath(), simArguments(dir_.path(), port, extraArgs),
                                                       (dir_.path() / "stderr.log").string());
    readyLine_ = running_->process->readLine(kStartDeadline).value_or("");
    const auto arrow = readyLine_.rfind(kLinkArrow);
    if (arrow == std::string::npos) {
        stop();
        throw std::runtime_error("k54sim did not get ready: '" + readyLine_ + "' " + errorOutput());
    }
    devicePath_ = readyLine_.substr(arrow + kLinkArrow.size());
}

SimInstrument::~SimInstrument() {
    stop();
}

std::filesystem::path SimInstrument::portsDir() const {
    return dir_.path() / "ports";
}

std::filesystem::path SimInstrument::linkPath() const {
    return portsDir() / ("com" + std::to_string(port_));
}

std::filesystem::path SimInstrument::tracePath() const {
    return dir_.path() / "trace.log";
}

std::filesystem::path SimInstrument::controlPath() const {
    return dir_.path() / "control.fifo";
}

void SimInstrument::control(const std::string& command) {
    const int fd = ::open(controlPath().c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open the control FIFO: " + std::string(std::strerror(errno)));
    const std::string line = command + "\n";
    const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
    if (written != static_cast<ssize_t>(line.size())) throw std::runtime_error("control command not written");
}

std::optional<int> SimInstrument::stop() {
    if (running_->exitStatus || !running_->process) return running_->exitStatus;
    running_->process->sendSignal(SIGTERM);
    running_->exitStatus = running_->process->waitExit(kStopDeadline);
    return running_->exitStatus;
}

std::string SimInstrument::errorOutput() const {
    return fileText(dir_.path() / "stderr.log");
}

}  // namespace k54::test
