#include "tests/support/FakeSlave.h"

#include "serial/K54com.h"

#include <exception>
#include <utility>

namespace k54::test {

namespace {

// How long the fake instrument waits for a request before giving up.
constexpr std::chrono::milliseconds kRequestWait{3000};

}  // namespace

FakeSlave::FakeSlave(const PtyPair& pty, std::size_t requestLength, std::vector<ReplyStep> reply)
    : pty_(pty),
      thread_([this, requestLength, steps = std::move(reply)]() mutable { run(requestLength, std::move(steps)); }) {}

FakeSlave::~FakeSlave() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::vector<uint8_t> FakeSlave::request() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return request_;
}

void FakeSlave::run(std::size_t requestLength, std::vector<ReplyStep> reply) {
    request_ = pty_.readFromMaster(requestLength, kRequestWait);
    if (request_.size() != requestLength) {
        return;
    }
    try {
        for (const ReplyStep& step : reply) {
            std::this_thread::sleep_for(step.pauseBefore);
            pty_.writeToMaster(step.bytes);
        }
    } catch (const std::exception&) {
        // The test's own checks on the reply then fail; a thread must not throw.
    }
}

std::vector<uint8_t> withCrc(std::vector<uint8_t> bytes) {
    const uint16_t crc = cPort::crc16(bytes);
    bytes.push_back(static_cast<uint8_t>(crc & 0xFFU));
    bytes.push_back(static_cast<uint8_t>(crc >> 8U));
    return bytes;
}

}  // namespace k54::test
