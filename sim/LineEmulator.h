#pragma once
// The line between the configurator and the instruments: each request frame passes the request-side
// faults, reaches the instrument it addresses when the line runs at that instrument's speed, goes to its
// libmodbus slave, and the reply passes the reply-side faults on its way back, paced at the instrument's
// speed. Every request, echo and reply (or the reason for none) goes to the trace.
//
// It needs no server around it: a frame from RequestFramer and the line's speed are all it takes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/FaultSet.h"
#include "sim/Instrument.h"
#include "sim/LineWriter.h"
#include "sim/RequestFramer.h"
#include "sim/TraceWriter.h"

namespace k54::sim {

class LineEmulator {
public:
    // `instruments` must outlive the emulator and keep their places.
    LineEmulator(std::vector<Instrument>& instruments, TraceWriter& trace, LineWriter& writer, FaultSet faults);

    // Serves one request heard while the configurator's end of the line is set to `lineBaud` (nothing:
    // a speed none of the instruments can have).
    void handle(const RequestFrame& frame, std::optional<int> lineBaud);

    // Replaces the faults; the count of requests for drop-every starts again.
    void setFaults(const FaultSet& faults);

private:
    // Why the request gets no reply before it reaches an instrument, if it gets none.
    std::optional<std::string> requestSideSilence(const RequestFrame& frame);
    void serve(Instrument& instrument, const RequestFrame& frame);
    void serveBroadcast(const RequestFrame& frame, std::optional<int> lineBaud);
    std::optional<std::vector<uint8_t>> answer(Instrument& instrument, const AcceptedRequest& request);
    void echo(const RequestFrame& frame);

    std::vector<Instrument>& instruments_;
    TraceWriter& trace_;
    LineWriter& writer_;
    FaultSet faults_;
    uint64_t requestCount_ = 0;
};

}  // namespace k54::sim
