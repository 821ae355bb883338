#include "sim/SimServer.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <variant>

#include "sim/ControlCommand.h"
#include "sim/FdIo.h"
#include "sim/StopSignal.h"

namespace k54::sim {

namespace {

constexpr int kIdlePollMs = 100;

std::filesystem::path portsDirFor(const SimOptions& options) {
    if (!options.portsDir.empty()) return options.portsDir;
    return defaultPortsDir(std::getenv("XDG_RUNTIME_DIR"), ::getuid());
}

}  // namespace

SimServer::SimServer(const SimOptions& options)
    : port_(options.port),
      line_(openPtyPair()),
      lineSlaveKeeper_(openRawSlave(line_.slavePath)),
      registers_(options.version),
      slave_(options.baud, options.address),
      trace_(options.tracePath),
      writer_(line_.master.get(), options.baud, options.pacing),
      emulator_(slave_, registers_, trace_, writer_, options.faults),
      framer_(frameGap(options.baud)) {
    if (!options.controlPath.empty()) control_.emplace(options.controlPath);
    const auto dir = std::filesystem::absolute(portsDirFor(options));
    preparePortsDir(dir);
    link_ = std::make_unique<PortLink>(dir, port_, line_.slavePath);
}

std::string SimServer::readyLine() const {
    return "k54sim: COM" + std::to_string(port_) + " ready at " + link_->path().string() + " -> " + line_.slavePath;
}

void SimServer::run() {
    while (!stopRequested()) {
        std::array<pollfd, 2> watched{pollfd{line_.master.get(), POLLIN, 0},
                                      pollfd{control_ ? control_->fd() : -1, POLLIN, 0}};
        const int ready = ::poll(watched.data(), watched.size(), pollTimeoutMs());
        if (ready < 0 && errno != EINTR) throw std::runtime_error("waiting for the line failed");
        if (ready > 0 && (watched[1].revents & POLLIN) != 0) applyControlCommands();
        if (ready > 0 && (watched[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) readLine();
        serveCompleteFrames();
    }
}

void SimServer::readLine() {
    std::vector<uint8_t> bytes;
    const bool open = readAvailable(line_.master.get(), bytes);
    framer_.add(bytes, Clock::now());
    if (!open) throw std::runtime_error("the line " + line_.slavePath + " has closed");
}

void SimServer::serveCompleteFrames() {
    while (auto frame = framer_.take(Clock::now())) {
        // Commands written before the request was sent take effect before it is served.
        applyControlCommands();
        emulator_.handle(*frame);
        if (stopRequested()) return;
    }
}

void SimServer::applyControlCommands() {
    if (!control_) return;
    for (const std::string& line : control_->takeLines()) {
        const ControlCommand command = parseControlCommand(line, emulator_.faults());
        if (const auto* added = std::get_if<AddFault>(&command)) emulator_.setFaults(added->faults);
        if (std::holds_alternative<ClearFaults>(command)) emulator_.setFaults(FaultSet{});
        if (const auto* set = std::get_if<SetRegister>(&command)) {
            registers_.set(set->reg, set->value);
            // A measured value set from outside stays: the wave no longer overwrites it.
            if (set->reg == RegisterBank::kMeasurementHighRegister || set->reg == RegisterBank::kMeasurementLowRegister)
                registers_.holdMeasurement();
        }
        if (const auto* version = std::get_if<SetVersion>(&command)) registers_.setVersion(version->version);
        if (const auto* refused = std::get_if<RefusedCommand>(&command)) {
            std::cerr << "k54sim: control: " << refused->reason << std::endl;
        }
    }
}

int SimServer::pollTimeoutMs() const {
    const auto deadline = framer_.quietDeadline();
    if (!deadline) return kIdlePollMs;
    return std::min(kIdlePollMs, millisecondsUntil(*deadline));
}

}  // namespace k54::sim
