#include "sim/LineEmulator.h"

#include <iostream>
#include <variant>

#include "sim/ReplyShaper.h"
#include "sim/StopSignal.h"

namespace k54::sim {

LineEmulator::LineEmulator(ModbusSlave& slave, RegisterBank& registers, TraceWriter& trace, LineWriter& writer,
                           FaultSet faults)
    : slave_(slave), registers_(registers), trace_(trace), writer_(writer), faults_(faults) {}

void LineEmulator::setFaults(const FaultSet& faults) {
    faults_ = faults;
    requestCount_ = 0;
}

void LineEmulator::handle(const RequestFrame& frame) {
    trace_.request(frame.bytes);
    ++requestCount_;
    if (const auto silence = requestSideSilence(frame)) {
        trace_.noReply(*silence);
        return;
    }
    const auto received = slave_.receive(frame.bytes);
    if (const auto* refused = std::get_if<NoReply>(&received)) {
        trace_.noReply(refused->reason);
        return;
    }
    const auto reply = answer(std::get<AcceptedRequest>(received));
    if (!reply) return;
    const OutgoingReply outgoing = shapeReply(*reply, faults_);
    trace_.reply(outgoing.bytes);
    if (!writer_.send(outgoing) && !stopRequested()) {
        std::cerr << "k54sim: a reply could not go out: nobody reads the line" << std::endl;
    }
}

std::optional<std::string> LineEmulator::requestSideSilence(const RequestFrame& frame) {
    if (faults_.silent) return "silent";
    if (faults_.dropEvery > 0 && requestCount_ % static_cast<uint64_t>(faults_.dropEvery) == 0) return "dropped";
    if (frame.knownFunction && frame.end != RequestFrame::End::ByLength) return "incomplete request";
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> LineEmulator::answer(const AcceptedRequest& request) {
    if (faults_.exceptionCode && request.bytes.size() >= 2) {
        if (request.bytes.at(0) == MODBUS_BROADCAST_ADDRESS) {
            trace_.noReply("broadcast");
            return std::nullopt;
        }
        return exceptionReply(request.bytes.at(0), request.bytes.at(1), *faults_.exceptionCode);
    }
    registers_.refreshMeasurement(Clock::now() - start_);
    auto reply = slave_.reply(request, registers_);
    if (const auto* none = std::get_if<NoReply>(&reply)) {
        trace_.noReply(none->reason);
        return std::nullopt;
    }
    return std::get<std::vector<uint8_t>>(std::move(reply));
}

}  // namespace k54::sim
