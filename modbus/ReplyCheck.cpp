#include "modbus/ReplyCheck.h"

#include "modbus/ModbusFrames.h"
#include "serial/Crc16.h"

#include <algorithm>

namespace k54 {

namespace {

constexpr std::size_t kWriteEcho = 6;  // address, function, register/start, value/quantity

// The part of a normal reply that depends on its function: a read's byte count, a write's echo.
bool normalReplyFits(std::span<const uint8_t> reply, std::span<const uint8_t> request, std::size_t normalReply) {
    if (request[1] == kReadHoldingRegisters) {
        return reply[2] == normalReply - kExceptionReplyLength;
    }
    return request.size() >= kWriteEcho && reply.size() >= kWriteEcho &&
           std::ranges::equal(reply.first(kWriteEcho), request.first(kWriteEcho));
}

Outcome judge(std::span<const uint8_t> reply, std::span<const uint8_t> request, std::size_t normalReply,
              uint8_t& exceptionCode) {
    if (reply.empty()) {
        return Outcome::noReply;
    }
    const std::size_t foretold = foretoldReplyLength(reply, normalReply);
    if (reply.size() != foretold) {
        return reply.size() < foretold ? Outcome::incomplete : Outcome::malformed;
    }
    if (crc16Modbus(reply) != 0) {
        return Outcome::badCrc;
    }
    if (reply[0] != request[0]) {
        return Outcome::stranger;
    }
    const uint8_t function = request[1];
    if (reply[1] == (function | kExceptionBit)) {
        exceptionCode = reply[2];
        return exceptionCode == 0 ? Outcome::malformed : Outcome::exception;
    }
    if (reply[1] != function) {
        return Outcome::wrongFunction;
    }
    return normalReplyFits(reply, request, normalReply) ? Outcome::answered : Outcome::malformed;
}

}  // namespace

ExchangeReport checkReply(std::span<const uint8_t> reply, std::span<const uint8_t> request, std::size_t normalReply) {
    ExchangeReport report;
    report.received = reply.size();
    report.expected = foretoldReplyLength(reply, normalReply);
    report.outcome = judge(reply, request, normalReply, report.exceptionCode);
    if (report.outcome != Outcome::exception) {
        report.exceptionCode = 0;
    }
    return report;
}

}  // namespace k54
