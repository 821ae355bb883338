#include "k54ctl/Line.h"

#include <algorithm>

#include "base/PathText.h"
#include "k54ctl/ReadLimits.h"
#include "serial/PlatformSerial.h"
#include "serial/PortNumbers.h"

namespace k54::ctl {
namespace {

std::unique_ptr<SerialBackend> backendFor(const LineOptions& options, const PortChoice& choice) {
    const ReadTimeouts timeouts = commandTimeouts(options.baud, options.timeoutMs);
    if (!choice.device.empty()) return makeDeviceSerialBackend(choice.device, timeouts);
    if (options.portsDir.empty()) return makePlatformSerialBackend(timeouts);
    return makePlatformSerialBackend(pathFromUtf8(options.portsDir), timeouts);
}

}  // namespace

std::unique_ptr<SerialBackend> platformBackend(const LineOptions& options) {
    return backendFor(options, PortChoice{});
}

std::variant<PortChoice, std::string> choosePort(const LineOptions& options) {
    if (!options.port.empty() && !options.device.empty()) return "give --port or --device, not both";
    if (!options.device.empty()) return PortChoice{1, pathFromUtf8(options.device), options.device};
    if (!options.port.empty()) {
        const auto number = parsePortName(options.port);
        if (!number) return "--port '" + options.port + "' is no port: give COM1 ... COM255 (or the number alone)";
        return PortChoice{static_cast<uint8_t>(*number), {}, portName(*number)};
    }
    const std::vector<int> ports = portNumbersFromDeviceNames(platformBackend(options)->deviceNames());
    if (ports.size() == 1) return PortChoice{static_cast<uint8_t>(ports.front()), {}, portName(ports.front())};
    if (ports.empty()) return "no serial port found: give --port COMn or --device PATH (k54ctl ports lists the ports)";
    std::string names;
    for (const int port : ports) names += " " + portName(port);
    return "several ports, give --port COMn or --device PATH:" + names;
}

Line::Line(const LineOptions& options, PortChoice choice)
    : options_(options), choice_(std::move(choice)), port_(backendFor(options, choice_)), bus_(port_) {}

bool Line::logTrafficTo(const std::filesystem::path& file) {
    auto log = std::make_unique<TrafficLog>(file);
    if (!log->isOpen()) return false;
    log_ = std::move(log);
    bus_.setObserver(log_.get());
    return true;
}

bool Line::open(uint32_t baud) {
    const auto speed = std::ranges::find(kBaudRates, baud);
    baud_ = baud;
    port_.setReadTimeouts(commandTimeouts(baud, options_.timeoutMs));
    // cPort reports a failed open to a window; k54ctl says itself what failed and what to check.
    class Silent final : public StatusSink {
        void beep() override {}
        void reportStatus(std::string_view) override {}
    } silent;
    return speed != kBaudRates.end() &&
           port_.open(choice_.number, static_cast<uint8_t>(speed - kBaudRates.begin()), silent);
}

std::string Line::description() const {
    if (!choice_.device.empty()) return choice_.name;
    return choice_.name + " (" + port_.describe(choice_.number) + ")";
}

}  // namespace k54::ctl
