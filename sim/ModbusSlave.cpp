#include "sim/ModbusSlave.h"

#include <cerrno>
#include <chrono>
#include <stdexcept>

#include "sim/FdIo.h"
#include "sim/ModbusCrc.h"

namespace k54::sim {

namespace {

constexpr auto kReplyDeadline = std::chrono::seconds(1);
constexpr uint32_t kIndicationTimeoutSeconds = 1;
constexpr uint32_t kByteTimeoutMicroseconds = 50000;
constexpr std::size_t kShortestRequest = 4;  // address, function, CRC

// The frame's last two bytes hold the CRC of the bytes before them, low byte first.
bool crcHolds(std::span<const uint8_t> frame) {
    const std::size_t body = frame.size() - 2;
    return modbusCrc(frame.first(body)) == (frame[body] | (frame[body + 1] << 8));
}

std::string libmodbusError(const std::string& what) {
    return what + ": " + modbus_strerror(errno);
}

}  // namespace

void ModbusSlave::ContextDeleter::operator()(modbus_t* context) const {
    modbus_close(context);
    modbus_free(context);
}

ModbusSlave::ModbusSlave(int baud, int address) : address_(address), pty_(openPtyPair()) {
    context_.reset(modbus_new_rtu(pty_.slavePath.c_str(), baud, 'E', 8, 1));
    if (!context_) throw std::runtime_error(libmodbusError("libmodbus refuses the line settings"));
    if (modbus_set_slave(context_.get(), address) != 0) {
        throw std::runtime_error(libmodbusError("libmodbus refuses slave address " + std::to_string(address)));
    }
    modbus_set_indication_timeout(context_.get(), kIndicationTimeoutSeconds, 0);
    modbus_set_byte_timeout(context_.get(), 0, kByteTimeoutMicroseconds);
    if (modbus_connect(context_.get()) != 0) {
        throw std::runtime_error(libmodbusError("libmodbus cannot open " + pty_.slavePath));
    }
}

std::variant<AcceptedRequest, NoReply> ModbusSlave::receive(std::span<const uint8_t> request) {
    // libmodbus would ignore a request for another address too, but it then also ignores the next
    // message, taking it for the other slave's answer. No other slave answers here, so such requests
    // never reach it.
    if (request.empty() || (request.front() != address_ && request.front() != MODBUS_BROADCAST_ADDRESS)) {
        return NoReply{"other address"};
    }
    // libmodbus checks the CRC of as many bytes as the function code gives; a frame that the line's
    // silence ended later is longer, and a whole request at its front must not make it count.
    if (request.size() < kShortestRequest) return NoReply{"incomplete request"};
    if (!crcHolds(request)) return NoReply{"bad crc"};
    discardStaleBytes();
    if (!writeRequest(request)) return NoReply{"not delivered to the slave"};
    AcceptedRequest accepted{std::vector<uint8_t>(MODBUS_RTU_MAX_ADU_LENGTH)};
    const int length = modbus_receive(context_.get(), accepted.bytes.data());
    if (length == 0) return NoReply{"other address"};
    if (length < 0 && errno == EMBBADCRC) return NoReply{"bad crc"};
    if (length < 0) return NoReply{std::string("refused: ") + modbus_strerror(errno)};
    accepted.bytes.resize(static_cast<std::size_t>(length));
    return accepted;
}

std::variant<std::vector<uint8_t>, NoReply> ModbusSlave::reply(const AcceptedRequest& request,
                                                               RegisterBank& registers) {
    const int sent =
        modbus_reply(context_.get(), request.bytes.data(), static_cast<int>(request.bytes.size()), registers.mapping());
    if (sent < 0) return NoReply{std::string("reply failed: ") + modbus_strerror(errno)};
    if (sent == 0) return NoReply{"broadcast"};
    std::vector<uint8_t> bytes = readReply(static_cast<std::size_t>(sent));
    if (bytes.empty()) return NoReply{"reply lost"};
    return bytes;
}

void ModbusSlave::discardStaleBytes() {
    modbus_flush(context_.get());
    std::vector<uint8_t> stale;
    readAvailable(pty_.master.get(), stale);
}

bool ModbusSlave::writeRequest(std::span<const uint8_t> request) {
    return writeAll(pty_.master.get(), request, Clock::now() + kReplyDeadline);
}

std::vector<uint8_t> ModbusSlave::readReply(std::size_t count) {
    return readCount(pty_.master.get(), count, Clock::now() + kReplyDeadline);
}

}  // namespace k54::sim
