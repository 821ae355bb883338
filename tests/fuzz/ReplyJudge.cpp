#include "tests/fuzz/ReplyJudge.h"

#include <algorithm>

namespace k54::fuzz {
namespace {

constexpr std::size_t kReceiveBuffer = 512;
constexpr std::size_t kMostValues = 123;
constexpr std::size_t kExceptionLength = 5;
constexpr std::size_t kWriteEcho = 6;  // address, function, register or start, value or quantity

void putWord(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
}

void appendCrc(std::vector<uint8_t>& bytes) {
    const uint16_t crc = crc16(bytes);
    bytes.push_back(static_cast<uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<uint8_t>(crc >> 8));
}

bool isNormalReply(std::span<const uint8_t> reply, const ModbusRequest& request) {
    if (reply.size() != normalReplyLength(request) || !crcHolds(reply)) return false;
    if (reply[0] != request.slave || reply[1] != request.function) return false;
    if (request.function == 3) return reply[2] == 2u * request.second;
    const std::vector<uint8_t> frame = requestFrame(request);
    return std::equal(reply.begin(), reply.begin() + kWriteEcho, frame.begin());
}

bool isExceptionReply(std::span<const uint8_t> reply, const ModbusRequest& request) {
    return reply.size() == kExceptionLength && crcHolds(reply) && reply[0] == request.slave &&
           reply[1] == (request.function | 0x80) && reply[2] != 0;
}

// The reply at the front of the bytes, by the length its function code gives, if it counts.
std::optional<std::size_t> leadingReply(std::span<const uint8_t> bytes, const ModbusRequest& request) {
    if (bytes.size() < 2) return std::nullopt;
    const std::size_t length = (bytes[1] & 0x80) != 0 ? kExceptionLength : normalReplyLength(request);
    if (bytes.size() < length || !countsAsReply(bytes.first(length), request)) return std::nullopt;
    return length;
}

bool startsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> start) {
    return bytes.size() >= start.size() && std::equal(start.begin(), start.end(), bytes.begin());
}

}  // namespace

uint16_t crc16(std::span<const uint8_t> bytes) {
    uint16_t crc = 0xFFFF;
    for (const uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

bool crcHolds(std::span<const uint8_t> frame) {
    if (frame.size() < 2) return false;
    const uint16_t crc = crc16(frame.first(frame.size() - 2));
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

bool sendable(const ModbusRequest& request) {
    if (request.function == 3) return request.second >= 1 && 5u + 2u * request.second <= kReceiveBuffer;
    if (request.function == 16) return !request.values.empty() && request.values.size() <= kMostValues;
    return true;
}

std::vector<uint8_t> requestFrame(const ModbusRequest& request) {
    std::vector<uint8_t> frame{request.slave, request.function};
    putWord(frame, request.first);
    putWord(frame, request.second);
    if (request.function == 16) {
        frame.push_back(static_cast<uint8_t>(2 * request.values.size()));
        for (const int16_t value : request.values) putWord(frame, static_cast<uint16_t>(value));
    }
    appendCrc(frame);
    return frame;
}

std::size_t normalReplyLength(const ModbusRequest& request) {
    return request.function == 3 ? 5u + 2u * request.second : 8u;
}

std::vector<uint8_t> goodReply(const ModbusRequest& request) {
    if (request.function != 3) {
        std::vector<uint8_t> echo = requestFrame(request);
        echo.resize(kWriteEcho);
        appendCrc(echo);
        return echo;
    }
    std::vector<uint8_t> reply{request.slave, 3, static_cast<uint8_t>(2 * request.second)};
    for (uint16_t k = 0; k < request.second; ++k) putWord(reply, static_cast<uint16_t>(k * 0x0101));
    appendCrc(reply);
    return reply;
}

bool countsAsReply(std::span<const uint8_t> reply, const ModbusRequest& request) {
    return isNormalReply(reply, request) || isExceptionReply(reply, request);
}

uint8_t expectedResult(std::span<const uint8_t> reply, const ModbusRequest& request) {
    if (isNormalReply(reply, request)) return 0;
    if (isExceptionReply(reply, request)) return reply[2];
    return kNoResult;
}

Received splitEcho(std::span<const uint8_t> bytes, const ModbusRequest& request, bool lineKnownToEcho) {
    const std::vector<uint8_t> frame = requestFrame(request);
    const bool echoInFront = bytes.size() >= frame.size() && std::equal(frame.begin(), frame.end(), bytes.begin());
    if (echoInFront && (lineKnownToEcho || !countsAsReply(bytes, request)))
        return {frame.size(), bytes.subspan(frame.size())};
    return {0, bytes};
}

std::optional<std::size_t> leadingFrameLength(std::span<const uint8_t> line, const ModbusRequest& request,
                                              bool lineKnownToEcho) {
    const std::vector<uint8_t> frame = requestFrame(request);
    const auto plain = leadingReply(line, request);
    if (startsWith(line, frame) && (lineKnownToEcho || !plain)) {
        const auto behind = leadingReply(line.subspan(frame.size()), request);
        if (!behind) return std::nullopt;
        return frame.size() + *behind;
    }
    if (!plain || (lineKnownToEcho && startsWith(frame, line.first(*plain)))) return std::nullopt;
    return plain;
}

}  // namespace k54::fuzz
