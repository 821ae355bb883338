#include "tests/fuzz/MemoryInstrument.h"

#include <algorithm>

#include "serial/Crc16.h"

namespace k54::fuzz {
namespace {

uint16_t word(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void putWord(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
}

}  // namespace

int32_t MemoryInstrument::write(std::span<const uint8_t> bytes) {
    reply_.clear();
    if (bytes.size() < 8) return static_cast<int32_t>(bytes.size());
    switch (bytes[1]) {
        case 0x03:
            answerRead(bytes);
            break;
        case 0x06:
            answerWriteSingle(bytes);
            break;
        case 0x10:
            answerWriteMultiple(bytes);
            break;
        default:
            break;
    }
    return static_cast<int32_t>(bytes.size());
}

int32_t MemoryInstrument::read(std::span<uint8_t> into) {
    const std::size_t n = std::min(into.size(), reply_.size());
    std::copy_n(reply_.begin(), n, into.begin());
    reply_.erase(reply_.begin(), reply_.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<int32_t>(n);
}

int32_t MemoryInstrument::readAvailable(std::span<uint8_t> into, std::chrono::milliseconds) {
    return reply_.empty() ? -1 : read(into);
}

void MemoryInstrument::answerRead(std::span<const uint8_t> request) {
    const uint16_t start = word(request, 2), count = word(request, 4);
    if (count == 0 || start + count > kRegisterCount) return;
    reply_ = {request[0], 0x03, static_cast<uint8_t>(2 * count)};
    for (uint16_t k = 0; k < count; ++k) putWord(reply_, registers.at(start + k));
    appendCrc();
}

void MemoryInstrument::answerWriteSingle(std::span<const uint8_t> request) {
    const uint16_t reg = word(request, 2);
    if (reg >= kRegisterCount) return;
    registers.at(reg) = word(request, 4);
    writes.push_back({reg, registers.at(reg)});
    reply_.assign(request.begin(), request.begin() + 8);
}

void MemoryInstrument::answerWriteMultiple(std::span<const uint8_t> request) {
    const uint16_t start = word(request, 2), quantity = word(request, 4);
    if (request.size() < 9u + 2u * quantity || start + quantity > kRegisterCount) return;
    for (uint16_t k = 0; k < quantity; ++k) {
        registers.at(start + k) = word(request, 7 + 2u * k);
        writes.push_back({static_cast<uint16_t>(start + k), registers.at(start + k)});
    }
    reply_.assign(request.begin(), request.begin() + 6);
    appendCrc();
}

void MemoryInstrument::appendCrc() {
    const uint16_t crc = crc16Modbus(reply_);
    reply_.push_back(static_cast<uint8_t>(crc & 0xFF));
    reply_.push_back(static_cast<uint8_t>(crc >> 8));
}

}  // namespace k54::fuzz
