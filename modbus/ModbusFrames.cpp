#include "modbus/ModbusFrames.h"

#include "serial/Crc16.h"

namespace k54 {

namespace {

uint8_t highByte(uint16_t value) {
    return static_cast<uint8_t>(value >> 8U);
}

uint8_t lowByte(uint16_t value) {
    return static_cast<uint8_t>(value & 0xFFU);
}

// Writes a 16-bit field high byte first at tx[at], tx[at + 1].
void putWord(std::span<uint8_t> tx, std::size_t at, uint16_t value) {
    tx[at] = highByte(value);
    tx[at + 1] = lowByte(value);
}

// Appends the CRC of the first `body` bytes, low byte first.
void appendCrc(std::span<uint8_t> tx, std::size_t body) {
    const uint16_t crc = crc16Modbus(tx.first(body));
    tx[body] = lowByte(crc);
    tx[body + 1] = highByte(crc);
}

void buildHeader(std::span<uint8_t> tx, uint8_t slave, uint8_t function, uint16_t first, uint16_t second) {
    tx[0] = slave;
    tx[1] = function;
    putWord(tx, 2, first);
    putWord(tx, 4, second);
}

}  // namespace

std::size_t readReplyLength(uint16_t count) {
    return 2U * count + 5U;
}

std::size_t writeMultipleRequestLength(std::size_t valueCount) {
    return 9U + 2U * valueCount;
}

void buildReadRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t start, uint16_t count) {
    const std::span<uint8_t> frame = tx.first(kReadRequestLength);
    buildHeader(frame, slave, kReadHoldingRegisters, start, count);
    appendCrc(frame, kReadRequestLength - 2);
}

void buildWriteSingleRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t reg, int16_t value) {
    const std::span<uint8_t> frame = tx.first(kWriteSingleLength);
    buildHeader(frame, slave, kWriteSingleRegister, reg, static_cast<uint16_t>(value));
    appendCrc(frame, kWriteSingleLength - 2);
}

void buildWriteMultipleRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t start, uint16_t quantity,
                               std::span<const int16_t> values) {
    const std::size_t length = writeMultipleRequestLength(values.size());
    const std::span<uint8_t> frame = tx.first(length);
    buildHeader(frame, slave, kWriteMultipleRegisters, start, quantity);
    frame[6] = static_cast<uint8_t>(2U * values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        putWord(frame, 7 + 2 * k, static_cast<uint16_t>(values[k]));
    }
    appendCrc(frame, length - 2);
}

std::size_t foretoldReplyLength(std::span<const uint8_t> arrived, std::size_t normalReply) {
    if (arrived.size() < 2) {
        return kExceptionReplyLength;
    }
    return (arrived[1] & kExceptionBit) != 0 ? kExceptionReplyLength : normalReply;
}

}  // namespace k54
