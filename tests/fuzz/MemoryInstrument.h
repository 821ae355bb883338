#pragma once
// An instrument in memory behind the serial back end interface, for the fuzz targets: it answers
// reads of its holding registers (whatever values they hold) and echoes writes, which it keeps and
// records. In-process and without a line, so that a target runs thousands of times a second; every
// test that crosses a real line uses k54sim instead.
#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "serial/SerialBackend.h"

namespace k54::fuzz {

struct RegisterWrite {
    uint16_t reg;
    uint16_t value;
};

class MemoryInstrument final : public SerialBackend {
public:
    static constexpr std::size_t kRegisterCount = 100;

    std::array<uint16_t, kRegisterCount> registers{};
    std::vector<RegisterWrite> writes;  // every register written, in order

    bool openDevice(uint8_t, uint32_t) override { return true; }
    void purgeInput() override { reply_.clear(); }
    void purgeOutput() override {}
    void clearDtr() override {}
    void setRts() override {}
    int32_t write(std::span<const uint8_t> bytes) override;
    int32_t read(std::span<uint8_t> into) override;
    // The reply is there at once, whole; with nothing (left) to answer the line counts as failed, so
    // that a reader stops at once instead of waiting out its limits.
    int32_t readAvailable(std::span<uint8_t> into, std::chrono::milliseconds) override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override { timeouts_ = timeouts; }
    ReadTimeouts readTimeouts() const override { return timeouts_; }
    void closeDevice() override {}
    bool isOpen() const override { return true; }
    std::vector<std::string> deviceNames() const override { return {}; }
    std::string describe(uint8_t) const override { return "memory"; }

private:
    void answerRead(std::span<const uint8_t> request);
    void answerWriteSingle(std::span<const uint8_t> request);
    void answerWriteMultiple(std::span<const uint8_t> request);
    void appendCrc();

    std::vector<uint8_t> reply_;
    ReadTimeouts timeouts_;
};

}  // namespace k54::fuzz
