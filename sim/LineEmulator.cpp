#include "sim/LineEmulator.h"

#include <modbus.h>

#include <iostream>
#include <variant>

#include "sim/ReplyShaper.h"
#include "sim/StopSignal.h"

namespace k54::sim {

LineEmulator::LineEmulator(std::vector<Instrument>& instruments, TraceWriter& trace, LineWriter& writer,
                           FaultSet faults)
    : instruments_(instruments), trace_(trace), writer_(writer), faults_(faults) {}

void LineEmulator::setFaults(const FaultSet& faults) {
    faults_ = faults;
    requestCount_ = 0;
}

void LineEmulator::handle(const RequestFrame& frame, std::optional<int> lineBaud) {
    trace_.request(frame.bytes);
    if (faults_.echo) echo(frame);
    ++requestCount_;
    if (const auto silence = requestSideSilence(frame)) {
        trace_.noReply(*silence);
        return;
    }
    const uint8_t address = frame.bytes.front();
    if (address == MODBUS_BROADCAST_ADDRESS) {
        serveBroadcast(frame, lineBaud);
        return;
    }
    Instrument* instrument = findInstrument(instruments_, address);
    if (instrument == nullptr) {
        trace_.noReply("no instrument at address " + std::to_string(address));
        return;
    }
    if (const auto deaf = instrument->deafness(lineBaud)) {
        trace_.noReply(*deaf);
        return;
    }
    serve(*instrument, frame);
}

void LineEmulator::echo(const RequestFrame& frame) {
    trace_.echo(frame.bytes);
    if (!writer_.echo(frame.bytes) && !stopRequested()) {
        std::cerr << "k54sim: an echo could not go out: nobody reads the line" << std::endl;
    }
}

std::optional<std::string> LineEmulator::requestSideSilence(const RequestFrame& frame) {
    if (faults_.silent) return "silent";
    if (faults_.dropEvery > 0 && requestCount_ % static_cast<uint64_t>(faults_.dropEvery) == 0) return "dropped";
    if (frame.bytes.empty() || (frame.knownFunction && frame.end != RequestFrame::End::ByLength)) {
        return "incomplete request";
    }
    return std::nullopt;
}

void LineEmulator::serve(Instrument& instrument, const RequestFrame& frame) {
    const auto received = instrument.receive(frame.bytes);
    if (const auto* refused = std::get_if<NoReply>(&received)) {
        trace_.noReply(refused->reason);
        return;
    }
    const auto reply = answer(instrument, std::get<AcceptedRequest>(received));
    if (!reply) return;
    const OutgoingReply outgoing = shapeReply(*reply, faults_);
    const bool sayWhichAnswered = instruments_.size() > 1;
    trace_.reply(outgoing.bytes, sayWhichAnswered ? std::optional<int>(instrument.address()) : std::nullopt);
    if (!writer_.send(outgoing, instrument.baud()) && !stopRequested()) {
        std::cerr << "k54sim: a reply could not go out: nobody reads the line" << std::endl;
    }
}

// Every instrument that hears the line at its speed executes a broadcast (unless an exception fault stands
// in for executing); none answers.
void LineEmulator::serveBroadcast(const RequestFrame& frame, std::optional<int> lineBaud) {
    std::string reason = "broadcast";
    for (Instrument& instrument : instruments_) {
        if (instrument.deafness(lineBaud)) continue;
        const auto received = instrument.receive(frame.bytes);
        if (const auto* refused = std::get_if<NoReply>(&received)) {
            reason = refused->reason;
            continue;
        }
        if (!faults_.exceptionCode) instrument.execute(std::get<AcceptedRequest>(received));
    }
    trace_.noReply(reason);
}

std::optional<std::vector<uint8_t>> LineEmulator::answer(Instrument& instrument, const AcceptedRequest& request) {
    if (faults_.exceptionCode && request.bytes.size() >= 2) {
        return exceptionReply(request.bytes.at(0), request.bytes.at(1), *faults_.exceptionCode);
    }
    auto reply = instrument.execute(request);
    if (const auto* none = std::get_if<NoReply>(&reply)) {
        trace_.noReply(none->reason);
        return std::nullopt;
    }
    return std::get<std::vector<uint8_t>>(std::move(reply));
}

}  // namespace k54::sim
