#pragma once
// The running simulated line: the line pty and its link, the instruments (each with libmodbus on its own
// pty), the trace, the control FIFO, and the loop that serves them until a stop is requested.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/ControlCommand.h"
#include "sim/ControlFifo.h"
#include "sim/Instrument.h"
#include "sim/LineEmulator.h"
#include "sim/LineWriter.h"
#include "sim/PortLink.h"
#include "sim/Pty.h"
#include "sim/RequestFramer.h"
#include "sim/SimOptions.h"
#include "sim/TraceWriter.h"

namespace k54::sim {

class SimServer {
public:
    // Sets everything up and links the port; throws std::runtime_error (PortLink::PortTaken when
    // the port is in use) when it cannot.
    explicit SimServer(const SimOptions& options);

    // "k54sim: COM<N> ready at <link path> -> <pts path>"
    std::string readyLine() const;

    // Serves the line and the control FIFO until SIGINT or SIGTERM.
    void run();

private:
    void readLine();
    void applyControlCommands();
    // Why the command cannot be carried out, or nothing when it has been.
    std::optional<std::string> apply(const ControlCommand& command);
    void serveCompleteFrames();
    int pollTimeoutMs() const;

    int port_;
    std::vector<InstrumentSetup> setups_;  // what a reset returns to
    FaultSet startFaults_;
    PtyPair line_;
    UniqueFd lineSlaveKeeper_;  // keeps the line open while the configurator has not opened it
    std::vector<Instrument> instruments_;
    TraceWriter trace_;
    LineWriter writer_;
    LineEmulator emulator_;
    RequestFramer framer_;
    std::optional<ControlFifo> control_;
    std::unique_ptr<PortLink> link_;  // last: removed first on the way out
};

}  // namespace k54::sim
