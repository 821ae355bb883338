#include "sim/SimServer.h"

#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <iostream>
#include <stdexcept>
#include <variant>

#include "serial/posix/LinuxPorts.h"
#include "sim/FdIo.h"
#include "sim/LineSpeed.h"
#include "sim/StopSignal.h"

namespace k54::sim {

namespace {

constexpr int kIdlePollMs = 100;

std::filesystem::path portsDirFor(const SimOptions& options) {
    if (!options.portsDir.empty()) return options.portsDir;
    return LinuxPorts::defaultPortsDir();
}

std::vector<Instrument> makeInstruments(const std::vector<InstrumentSetup>& setups) {
    std::vector<Instrument> instruments;
    instruments.reserve(setups.size());
    for (const InstrumentSetup& setup : setups) instruments.emplace_back(setup);
    return instruments;
}

// A frame whose length its function code does not give ends after 3.5 characters of quiet at the slowest
// instrument's speed.
Clock::duration quietGap(const std::vector<Instrument>& instruments) {
    return frameGap(std::ranges::min_element(instruments, {}, &Instrument::baud)->baud());
}

}  // namespace

SimServer::SimServer(const SimOptions& options)
    : port_(options.port),
      setups_(instrumentSetups(options)),
      startFaults_(options.faults),
      line_(openPtyPair()),
      lineSlaveKeeper_(openRawSlave(line_.slavePath)),
      instruments_(makeInstruments(setups_)),
      trace_(options.tracePath),
      writer_(line_.master.get(), options.pacing),
      emulator_(instruments_, trace_, writer_, options.faults),
      framer_(quietGap(instruments_)) {
    if (!options.controlPath.empty()) control_.emplace(options.controlPath);
    const auto dir = std::filesystem::absolute(portsDirFor(options));
    preparePortsDir(dir);
    link_ = std::make_unique<PortLink>(dir, static_cast<uint8_t>(port_), line_.slavePath);
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
        // The speed the configurator has set its end of the line to, as it is while the request is served.
        emulator_.handle(*frame, terminalBaud(lineSlaveKeeper_.get()));
        if (stopRequested()) return;
    }
}

void SimServer::applyControlCommands() {
    if (!control_) return;
    for (const std::string& line : control_->takeLines()) {
        if (const auto refused = apply(parseControlCommand(line))) {
            std::cerr << "k54sim: control: " << *refused << std::endl;
        }
    }
}

std::optional<std::string> SimServer::apply(const ControlCommand& command) {
    if (const auto* refused = std::get_if<RefusedCommand>(&command)) return refused->reason;
    if (const auto* faults = std::get_if<SetFaults>(&command)) {
        emulator_.setFaults(faults->faults);
        return std::nullopt;
    }
    if (std::holds_alternative<ResetLine>(command)) {
        // New instruments in the same vector, which the emulator refers to.
        instruments_ = makeInstruments(setups_);
        emulator_.setFaults(startFaults_);
        return std::nullopt;
    }
    const auto& forInstrument = std::get<InstrumentCommand>(command);
    Instrument* instrument =
        forInstrument.address ? findInstrument(instruments_, *forInstrument.address) : &instruments_.front();
    if (instrument == nullptr) {
        return "no instrument at address " + std::to_string(*forInstrument.address) + " on this line";
    }
    if (const auto* set = std::get_if<SetRegister>(&forInstrument.action)) {
        instrument->registers().set(set->reg, set->value);
        // A measured value set from outside stays: the wave no longer overwrites it.
        if (set->reg == RegisterBank::kMeasurementHighRegister || set->reg == RegisterBank::kMeasurementLowRegister)
            instrument->registers().holdMeasurement();
    }
    if (const auto* firmware = std::get_if<SetFirmware>(&forInstrument.action)) {
        instrument->registers().setVersion(firmware->version);
    }
    if (const auto* baud = std::get_if<SetBaud>(&forInstrument.action)) {
        instrument->setBaud(baud->baud);
    }
    return std::nullopt;
}

int SimServer::pollTimeoutMs() const {
    const auto deadline = framer_.quietDeadline();
    if (!deadline) return kIdlePollMs;
    return std::min(kIdlePollMs, millisecondsUntil(*deadline));
}

}  // namespace k54::sim
