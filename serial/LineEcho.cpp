#include "serial/LineEcho.h"

#include <algorithm>

namespace k54 {

namespace {

// The bytes that have come agree with the request as far as both go.
bool followsRequest(std::span<const uint8_t> arrived, std::span<const uint8_t> request) {
    const std::size_t common = std::min(arrived.size(), request.size());
    return !request.empty() && std::ranges::equal(arrived.first(common), request.first(common));
}

// The bytes begin with a whole frame of the reply's length that counts as the reply.
bool replyAtStart(std::span<const uint8_t> arrived, const ReplyShape& reply) {
    const std::size_t length = reply.length(arrived);
    return arrived.size() >= length && reply.counts(arrived.first(length));
}

}  // namespace

std::size_t LineEcho::needed(std::span<const uint8_t> arrived, std::span<const uint8_t> request,
                             const ReplyShape& reply) const {
    if (!followsRequest(arrived, request)) {
        return reply.length(arrived);
    }
    const std::size_t echoed = std::min(arrived.size(), request.size());
    const std::size_t behindEcho = request.size() + reply.length(arrived.subspan(echoed));
    const std::size_t plain = reply.length(arrived);
    if (arrived.size() < plain) {
        return std::min(plain, behindEcho);  // either reading may still hold
    }
    // A line not known to echo may answer with a reply that begins like the request (function 6).
    return !echoes_ && replyAtStart(arrived, reply) ? plain : behindEcho;
}

std::size_t LineEcho::takeEcho(std::span<const uint8_t> arrived, std::span<const uint8_t> request,
                               const ReplyShape& reply) {
    if (arrived.size() < request.size() || !followsRequest(arrived, request)) {
        return 0;
    }
    if (!echoes_ && replyAtStart(arrived, reply)) {
        return 0;
    }
    echoes_ = true;
    return request.size();
}

}  // namespace k54
