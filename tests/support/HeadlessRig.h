#pragma once
// Test rigs: the configurator's three objects and its headless window, on their own ports folder,
// and the same beside a running simulated instrument.
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/headless/HeadlessForm.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

namespace k54::test {

// The configurator's objects with the headless window started (created and activated). The port reads
// under the short limits (tests/support/ShortReadTimeouts.h); a test of the described ones sets them.
class HeadlessRig {
public:
    // reactivatesAfterBox: false for a desktop without a window manager (see HeadlessForm).
    explicit HeadlessRig(const std::filesystem::path& portsDir, char decimalSeparator = '.',
                         bool reactivatesAfterBox = true);

    cPort port;
    mBus bus;
    k54L state;
    SystemSettings system;
    HeadlessWindow window;

    HeadlessForm& form() { return window.form; }
    WindowSession& session() { return window.events.session(); }
    // The log's lines from `from` on.
    std::vector<std::string> logFrom(std::size_t from) const;
};

// Instrument registers and their values (a value may be negative: the register holds its low 16 bits).
using Registers = std::vector<std::pair<int, int32_t>>;

// A simulated instrument (unpaced unless asked) and the configurator on its port.
class SimRig {
public:
    explicit SimRig(const std::vector<std::string>& simArgs = {"--no-pacing"}, int port = 4,
                    char decimalSeparator = '.', bool reactivatesAfterBox = true);

    SimInstrument sim;
    HeadlessRig rig;

    HeadlessForm& form() { return rig.form(); }
    k54L& state() { return rig.state; }
    WindowSession& session() { return rig.session(); }

    // Sets the instrument's registers (before the next request it serves).
    void setRegisters(const Registers& registers);
    // Picks the instrument's port in the port list as the operator does.
    void choosePort();
    // Sets the instrument's registers, picks the port and clicks "Подключить"; true when the window
    // then looks connected.
    bool connect(const Registers& registers = {});
    // The trace's request lines (without the "req " prefix) from line `from` on.
    std::vector<std::string> requestsFrom(std::size_t from) const;
};

}  // namespace k54::test
