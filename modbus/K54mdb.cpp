#include "modbus/K54mdb.h"

#include "modbus/ModbusFrames.h"
#include "modbus/ReplyCheck.h"

#include <algorithm>

namespace k54 {

namespace {

constexpr std::size_t kReceiveBuffer = static_cast<std::size_t>(kReceiveBufferSize);

bool buffersFit(std::span<const uint8_t> tx, std::size_t requestLength, std::span<const uint8_t> rx) {
    return tx.size() >= requestLength && rx.size() >= kReceiveBuffer;
}

// The reply to a request as the channel must know it: its length foretold by its first bytes, and
// which whole frames count as a reply (a normal or an exception reply that passes the check).
ReplyShape replyShape(std::span<const uint8_t> request, std::size_t normalReply) {
    return {[normalReply](std::span<const uint8_t> arrived) { return foretoldReplyLength(arrived, normalReply); },
            [request, normalReply](std::span<const uint8_t> frame) {
                const Outcome outcome = checkReply(frame, request, normalReply).outcome;
                return outcome == Outcome::answered || outcome == Outcome::exception;
            }};
}

}  // namespace

mBus::mBus(cPort& port) : port_(port) {}

uint8_t mBus::readRegisters(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t start,
                            uint16_t count) {
    const std::size_t replyLength = readReplyLength(count);
    if (count == 0 || replyLength > kReceiveBuffer || !buffersFit(tx, kReadRequestLength, rx)) {
        return refuse();
    }
    buildReadRequest(tx, slave, start, count);
    return exchange(tx.first(kReadRequestLength), rx, replyLength);
}

uint8_t mBus::writeRegister(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t reg, int16_t value) {
    if (!buffersFit(tx, kWriteSingleLength, rx)) {
        return refuse();
    }
    buildWriteSingleRequest(tx, slave, reg, value);
    return exchange(tx.first(kWriteSingleLength), rx, kWriteSingleLength);
}

uint8_t mBus::writeRegisters(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t start,
                             uint16_t quantity, std::span<const int16_t> values) {
    const std::size_t requestLength = writeMultipleRequestLength(values.size());
    if (values.empty() || values.size() > kMaxWriteValues || !buffersFit(tx, requestLength, rx)) {
        return refuse();
    }
    buildWriteMultipleRequest(tx, slave, start, quantity, values);
    return exchange(tx.first(requestLength), rx, kWriteMultipleReplyLength);
}

uint8_t mBus::exchange(std::span<const uint8_t> request, std::span<uint8_t> rx, std::size_t normalReply) {
    port_.discardInput();
    const int32_t written = port_.transmit(request);
    const auto taken = std::min(static_cast<std::size_t>(std::max(written, 0)), request.size());
    if (observer_ != nullptr && taken > 0) {
        observer_->requestSent(request.first(taken));
    }
    if (taken != request.size()) {
        std::ranges::fill(rx.first(kReceiveBuffer), uint8_t{0});
        return finish({}, {}, ExchangeReport{.outcome = Outcome::notSent});
    }
    const Reception reception = port_.receiveReply(rx, normalReply, replyShape(request, normalReply));
    ExchangeReport report = checkReply(reception.reply(), request, normalReply);
    report.echoSkipped = reception.echoLength > 0;
    report.readEnd = reception.end;
    return finish(reception.echo(), reception.reply(), report);
}

uint8_t mBus::refuse() {
    return finish({}, {}, ExchangeReport{.outcome = Outcome::refused});
}

uint8_t mBus::finish(std::span<const uint8_t> echo, std::span<const uint8_t> reply, const ExchangeReport& report) {
    last_ = report;
    if (observer_ != nullptr) {
        observer_->exchangeEnded(echo, reply, last_);
    }
    return last_.result();
}

uint16_t replyRegister(std::span<const uint8_t> rx, int k) {
    if (k < 0) {
        return 0;
    }
    const std::size_t high = 3U + 2U * static_cast<std::size_t>(k);
    if (high + 1 >= rx.size()) {
        return 0;
    }
    return static_cast<uint16_t>((rx[high] << 8U) | rx[high + 1]);
}

}  // namespace k54
