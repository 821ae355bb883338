#pragma once

// A channel and a Modbus master opened on the instrument of this platform, with the faults given,
// reading under the short limits unless told otherwise.

#include "modbus/K54mdb.h"
#include "serial/K54com.h"
#include "tests/instrument/TestInstrument.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/ShortReadTimeouts.h"

#include <array>
#include <initializer_list>
#include <memory>
#include <string>

namespace k54::test {

inline constexpr uint8_t kSpeed19200 = 3;
inline constexpr uint8_t kSpeed115200 = 6;

struct InstrumentSession {
    // Sets the faults ("badcrc", "gap=150", ...) before opening the port at the speed index. One control
    // command carries them all: each "fault" command replaces the faults in force.
    explicit InstrumentSession(std::initializer_list<std::string> faults = {}, uint8_t speedIndex = kSpeed19200,
                               const ReadTimeouts& timeouts = kShortReadTimeouts)
        : link(connectInstrument(kBaudRates.at(speedIndex))), port(link->makeBackend(timeouts)), bus(port) {
        if (faults.size() > 0) {
            std::string command = "fault";
            for (const std::string& fault : faults) {
                command += " " + fault;
            }
            link->control(command);
        }
        opened = port.open(link->portNumber(), speedIndex, sink);
    }

    // Whether the trace shows the request now at the front of tx, `length` bytes long.
    bool requestTraced(std::size_t length) const { return link->traced(traceLine("req", std::span(tx).first(length))); }

    // The first status line of a failed open, for a failure message.
    std::string openFailure() const { return sink.statuses.empty() ? std::string() : sink.statuses.front(); }

    std::unique_ptr<TestInstrument> link;
    RecordingSink sink;
    cPort port;
    mBus bus;
    bool opened = false;
    std::array<uint8_t, 512> tx{};
    std::array<uint8_t, kReceiveBufferSize> rx{};
};

}  // namespace k54::test
