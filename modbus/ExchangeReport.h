#pragma once

// The detailed outcome of one mBus exchange, kept beside the described result (0, exception code,
// kNoReply) so that a log or a command-line program can say what went wrong on the line.

#include "serial/FrameReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace k54 {

inline constexpr uint8_t kNoReply = 255;

enum class Outcome : uint8_t {
    none,           // no exchange yet
    answered,       // the expected normal reply
    exception,      // an exception reply from the addressed slave, with its code
    noReply,        // nothing came in time (after an echo, if the line echoes)
    incomplete,     // the reply stopped short of the length its first bytes foretold
    badCrc,         // a whole reply whose CRC does not hold
    stranger,       // a reply from another slave address
    wrongFunction,  // a reply to another function code
    malformed,      // wrong byte count, wrong echo of register and value (or start and quantity), exception code 0
    refused,        // arguments mBus cannot send: nothing was sent
    notSent,        // the channel did not take the whole request (port not open, write failed)
};

struct ExchangeReport {
    Outcome outcome = Outcome::none;
    uint8_t exceptionCode = 0;  // for Outcome::exception
    std::size_t received = 0;   // reply bytes that came, an echo not counted
    std::size_t expected = 0;   // the reply's length as its first bytes foretold
    bool echoSkipped = false;   // the line echoed the request before the reply
    ReadEnd readEnd = ReadEnd::complete;

    // The described result: 0 when answered, the exception code of an exception, else kNoReply.
    uint8_t result() const;
};

// A short English text for an outcome, e.g. "no reply (time-out)".
std::string_view outcomeText(Outcome outcome);
// The outcome's text, with the exception code and its Modbus name for an exception, e.g.
// "exception 2 (illegal data address)".
std::string describe(const ExchangeReport& report);

}  // namespace k54
