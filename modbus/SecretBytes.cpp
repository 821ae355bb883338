#include "modbus/SecretBytes.h"

namespace k54 {
namespace {

constexpr uint8_t kReadHolding = 3, kWriteSingle = 6, kWriteMultiple = 16;

uint16_t wordAt(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>((bytes[at] << 8U) | bytes[at + 1]);
}

// The offset of the password's bytes in the frame, or 0 when the frame does not carry them.
std::size_t passwordOffset(std::span<const uint8_t> frame, std::span<const uint8_t> request) {
    if (request.size() < 6 || frame.size() < 2 || frame[1] != request[1]) return 0;
    const uint16_t start = wordAt(request, 2);
    if (request[1] == kWriteSingle) return start == kPasswordRegister ? 4 : 0;
    const uint16_t count = wordAt(request, 4);
    if (kPasswordRegister < start || kPasswordRegister - start >= count) return 0;
    const std::size_t inData = 2U * (kPasswordRegister - start);
    if (request[1] == kReadHolding) return frame.size() == 5U + 2U * count ? 3 + inData : 0;  // the reply
    if (request[1] == kWriteMultiple) return frame.size() > 8 ? 7 + inData : 0;               // its reply holds no data
    return 0;
}

}  // namespace

std::vector<bool> secretBytes(std::span<const uint8_t> frame, std::span<const uint8_t> request) {
    std::vector<bool> secret(frame.size(), false);
    const std::size_t at = passwordOffset(frame, request);
    if (at == 0 || at + 2 > frame.size()) return secret;
    secret[at] = secret[at + 1] = true;
    if (frame.size() >= at + 4) secret[frame.size() - 2] = secret[frame.size() - 1] = true;
    return secret;
}

}  // namespace k54
