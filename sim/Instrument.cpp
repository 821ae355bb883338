#include "sim/Instrument.h"

#include <algorithm>

namespace k54::sim {

Instrument::Instrument(const InstrumentSetup& setup)
    : address_(setup.address), baud_(setup.baud), registers_(setup.firmware), slave_(setup.baud, setup.address) {}

std::optional<std::string> Instrument::deafness(std::optional<int> lineBaud) const {
    if (lineBaud == baud_) return std::nullopt;
    const std::string line = lineBaud ? "line at " + std::to_string(*lineBaud) + " baud" : "line at an unknown speed";
    return line + ", instrument at " + std::to_string(baud_);
}

std::variant<AcceptedRequest, NoReply> Instrument::receive(std::span<const uint8_t> request) {
    return slave_.receive(request);
}

std::variant<std::vector<uint8_t>, NoReply> Instrument::execute(const AcceptedRequest& request) {
    registers_.refreshMeasurement(Clock::now() - start_);
    return slave_.reply(request, registers_);
}

Instrument* findInstrument(std::vector<Instrument>& instruments, int address) {
    const auto found = std::ranges::find(instruments, address, &Instrument::address);
    return found == instruments.end() ? nullptr : &*found;
}

}  // namespace k54::sim
