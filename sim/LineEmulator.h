#pragma once
// The line between the configurator and the instrument: each request frame passes the request-side
// faults, goes to libmodbus, and its reply passes the reply-side faults on its way back, paced.
// Every request and every reply (or the reason for none) goes to the trace.
#include <cstdint>
#include <optional>
#include <string>

#include "sim/FaultSet.h"
#include "sim/LineWriter.h"
#include "sim/ModbusSlave.h"
#include "sim/RegisterBank.h"
#include "sim/RequestFramer.h"
#include "sim/TraceWriter.h"

namespace k54::sim {

class LineEmulator {
public:
    LineEmulator(ModbusSlave& slave, RegisterBank& registers, TraceWriter& trace, LineWriter& writer, FaultSet faults);

    void handle(const RequestFrame& frame);

    // Replaces the faults; the count of requests for drop-every starts again.
    void setFaults(const FaultSet& faults);
    const FaultSet& faults() const { return faults_; }

private:
    // Why the request gets no reply before it reaches the slave, if it gets none.
    std::optional<std::string> requestSideSilence(const RequestFrame& frame);
    std::optional<std::vector<uint8_t>> answer(const AcceptedRequest& request);

    ModbusSlave& slave_;
    RegisterBank& registers_;
    TraceWriter& trace_;
    LineWriter& writer_;
    FaultSet faults_;
    uint64_t requestCount_ = 0;
    Clock::time_point start_ = Clock::now();
};

}  // namespace k54::sim
