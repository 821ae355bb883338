#include "serial/LineEcho.h"

#include "serial/Crc16.h"

#include <algorithm>

namespace k54 {

namespace {

// The bytes that have come agree with the request as far as both go.
bool followsRequest(std::span<const uint8_t> arrived, std::span<const uint8_t> request) {
    const std::size_t common = std::min(arrived.size(), request.size());
    return !request.empty() && std::ranges::equal(arrived.first(common), request.first(common));
}

// The bytes begin with a whole frame of the reply's length whose CRC holds.
bool wholeReplyAtStart(std::span<const uint8_t> arrived, const FrameLength& reply) {
    const std::size_t length = reply(arrived);
    return length >= 2 && arrived.size() >= length && crc16Modbus(arrived.first(length)) == 0;
}

}  // namespace

std::size_t LineEcho::needed(std::span<const uint8_t> arrived, std::span<const uint8_t> request,
                             const FrameLength& reply) const {
    if (!followsRequest(arrived, request)) {
        return reply(arrived);
    }
    const std::size_t echoed = std::min(arrived.size(), request.size());
    const std::size_t behindEcho = request.size() + reply(arrived.subspan(echoed));
    if (echoes_) {
        return behindEcho;
    }
    // Not known to echo: the bytes may yet be a reply that begins like the request. Whichever of the
    // two readings is whole first ends the read; a reply whose CRC fails is no reply.
    const std::size_t plain = reply(arrived);
    if (arrived.size() < plain) {
        return std::min(plain, behindEcho);
    }
    return wholeReplyAtStart(arrived, reply) ? plain : behindEcho;
}

std::size_t LineEcho::takeEcho(std::span<const uint8_t> arrived, std::span<const uint8_t> request,
                               const FrameLength& reply) {
    if (arrived.size() < request.size() || !followsRequest(arrived, request)) {
        return 0;
    }
    if (!echoes_ && wholeReplyAtStart(arrived, reply)) {
        return 0;
    }
    echoes_ = true;
    return request.size();
}

}  // namespace k54
