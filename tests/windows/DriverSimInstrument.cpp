// SimInstrument on Windows: the run's one k54sim, which the Linux-side driver started and mapped to the
// Wine COM ports that the window's tests pick. Each SimInstrument returns it to how the driver started it
// (control command "reset": registers, firmware, speed, live value, faults), then applies the arguments a
// control command can give, and starts its trace after a plain request answered on a quiet line.

#include <stdexcept>

#include "tests/support/SimInstrument.h"
#include "tests/windows/DriverInstrument.h"

namespace k54::test {

namespace {

constexpr uint32_t kStartBaud = 19200;

}  // namespace

struct SimInstrument::Running {
    DriverEnvironment environment = driverEnvironment();
    bool stopped = false;
};

SimInstrument::SimInstrument(const std::vector<std::string>& extraArgs, int port)
    : dir_("k54sim-test-"), port_(port), running_(std::make_unique<Running>()) {
    const DriverEnvironment& driver = running_->environment;
    if (port != driver.port && port != driver.shortPort) {
        throw std::runtime_error("COM" + std::to_string(port) + " is not a port the driver mapped to the instrument");
    }
    std::filesystem::create_directory(portsDir());
    uint32_t baud = kStartBaud;
    std::string faults;
    std::string firmware;
    for (std::size_t i = 0; i < extraArgs.size(); ++i) {
        const std::string& option = extraArgs[i];
        // The run's instrument is always paced; unpaced is only quicker.
        if (option == "--no-pacing") continue;
        if (i + 1 == extraArgs.size() || (option != "--baud" && option != "--fault" && option != "--firmware")) {
            throw std::runtime_error("k54sim option " + option + " has no control command for the run's instrument");
        }
        const std::string& value = extraArgs[++i];
        if (option == "--baud") baud = static_cast<uint32_t>(std::stoul(value));
        if (option == "--fault") faults += " " + value;
        if (option == "--firmware") firmware = value;
    }
    control("reset");
    control("baud " + std::to_string(baud));
    waitForAQuietLine(static_cast<uint8_t>(port), baud);
    if (!firmware.empty()) control("firmware " + firmware);
    if (!faults.empty()) control("fault" + faults);
    traceStart_ = allTraceLines(tracePath().string()).size();
    readyLine_ = "ready: COM" + std::to_string(port) + " (the run's instrument)";
}

SimInstrument::~SimInstrument() = default;

std::string SimInstrument::programPath() {
    return "k54sim (started by the driver)";
}

std::filesystem::path SimInstrument::portsDir() const {
    return dir_.path() / "ports";
}

std::filesystem::path SimInstrument::linkPath() const {
    return portsDir() / ("com" + std::to_string(port_));
}

std::filesystem::path SimInstrument::tracePath() const {
    return running_->environment.tracePath;
}

std::filesystem::path SimInstrument::controlPath() const {
    return running_->environment.controlPath;
}

void SimInstrument::control(const std::string& command) {
    writeControlLine(running_->environment.controlPath, command);
}

// The driver's instrument outlives the test, so a stopped instrument is one that has gone silent: to the
// window the same as one switched off.
std::optional<int> SimInstrument::stop() {
    if (!running_->stopped) control("fault silent");
    running_->stopped = true;
    return 0;
}

std::string SimInstrument::errorOutput() const {
    return {};
}

}  // namespace k54::test
