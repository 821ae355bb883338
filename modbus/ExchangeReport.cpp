#include "modbus/ExchangeReport.h"

#include <array>
#include <utility>

namespace k54 {

namespace {

// The Modbus names of the exception codes a slave may give.
constexpr std::array<std::pair<uint8_t, std::string_view>, 9> kExceptionNames{{
    {1, "illegal function"},
    {2, "illegal data address"},
    {3, "illegal data value"},
    {4, "slave device failure"},
    {5, "acknowledge"},
    {6, "slave device busy"},
    {8, "memory parity error"},
    {10, "gateway path unavailable"},
    {11, "gateway target device failed to respond"},
}};

std::string_view exceptionName(uint8_t code) {
    for (const auto& [known, name] : kExceptionNames) {
        if (known == code) {
            return name;
        }
    }
    return "unknown code";
}

}  // namespace

uint8_t ExchangeReport::result() const {
    switch (outcome) {
        case Outcome::answered:
            return 0;
        case Outcome::exception:
            return exceptionCode;
        default:
            return kNoReply;
    }
}

std::string_view outcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::none:
            return "no exchange yet";
        case Outcome::answered:
            return "answered";
        case Outcome::exception:
            return "exception reply";
        case Outcome::noReply:
            return "no reply (time-out)";
        case Outcome::incomplete:
            return "reply cut short";
        case Outcome::badCrc:
            return "bad CRC";
        case Outcome::stranger:
            return "reply from another address";
        case Outcome::wrongFunction:
            return "reply to another function";
        case Outcome::malformed:
            return "wrong byte count, echo or exception code";
        case Outcome::refused:
            return "arguments refused, nothing sent";
        case Outcome::notSent:
            return "request not sent (port not open or write failed)";
    }
    return "unknown outcome";
}

std::string describe(const ExchangeReport& report) {
    if (report.outcome != Outcome::exception) {
        return std::string(outcomeText(report.outcome));
    }
    return "exception " + std::to_string(report.exceptionCode) + " (" +
           std::string(exceptionName(report.exceptionCode)) + ")";
}

}  // namespace k54
