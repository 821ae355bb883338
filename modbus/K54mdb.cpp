#include "modbus/K54mdb.h"

#include "modbus/ModbusFrames.h"

namespace k54 {

namespace {

constexpr std::size_t kReceiveBuffer = static_cast<std::size_t>(kReceiveBufferSize);
// The leading request bytes that each normal reply repeats.
constexpr std::size_t kReadEcho = 2;   // address, function
constexpr std::size_t kWriteEcho = 6;  // address, function, register/start, value/quantity

bool buffersFit(std::span<const uint8_t> tx, std::size_t requestLength, std::span<const uint8_t> rx) {
    return tx.size() >= requestLength && rx.size() >= kReceiveBuffer;
}

}  // namespace

mBus::mBus(cPort& port) : port_(port) {}

uint8_t mBus::readRegisters(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t start,
                            uint16_t count) {
    const std::size_t replyLength = readReplyLength(count);
    if (count == 0 || replyLength > kReceiveBuffer || !buffersFit(tx, kReadRequestLength, rx)) {
        return kNoReply;
    }
    buildReadRequest(tx, slave, start, count);
    const uint8_t outcome = exchange(tx.first(kReadRequestLength), rx, replyLength, kReadEcho);
    const bool byteCountMatches = rx[2] == 2U * count;
    return outcome == 0 && !byteCountMatches ? kNoReply : outcome;
}

uint8_t mBus::writeRegister(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t reg, int16_t value) {
    if (!buffersFit(tx, kWriteSingleLength, rx)) {
        return kNoReply;
    }
    buildWriteSingleRequest(tx, slave, reg, value);
    return exchange(tx.first(kWriteSingleLength), rx, kWriteSingleLength, kWriteEcho);
}

uint8_t mBus::writeRegisters(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t start,
                             uint16_t quantity, std::span<const int16_t> values) {
    const std::size_t requestLength = writeMultipleRequestLength(values.size());
    if (values.empty() || values.size() > kMaxWriteValues || !buffersFit(tx, requestLength, rx)) {
        return kNoReply;
    }
    buildWriteMultipleRequest(tx, slave, start, quantity, values);
    return exchange(tx.first(requestLength), rx, kWriteMultipleReplyLength, kWriteEcho);
}

uint8_t mBus::exchange(std::span<const uint8_t> request, std::span<uint8_t> rx, std::size_t replyLength,
                       std::size_t echoLength) {
    port_.discardInput();
    port_.transmit(request);
    const int32_t received = port_.receive(static_cast<int32_t>(replyLength), rx);
    if (received <= 0) {
        return kNoReply;
    }
    const std::span<const uint8_t> reply = rx.first(static_cast<std::size_t>(received));
    return replyOutcome(reply, request.first(echoLength), replyLength);
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
