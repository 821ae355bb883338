#pragma once

// Who wants to see every exchange of an mBus as it happens (the traffic log, a verbose command line).

#include "modbus/ExchangeReport.h"

#include <cstdint>
#include <span>

namespace k54 {

class ExchangeObserver {
public:
    virtual ~ExchangeObserver() = default;
    // The request has just gone to the line (the bytes the channel took; not called when it took none).
    virtual void requestSent(std::span<const uint8_t> request) = 0;
    // The exchange has ended: the request's echo (empty on most lines), the reply's bytes as they came
    // and what they mean.
    virtual void exchangeEnded(std::span<const uint8_t> echo, std::span<const uint8_t> reply,
                               const ExchangeReport& report) = 0;
};

}  // namespace k54
