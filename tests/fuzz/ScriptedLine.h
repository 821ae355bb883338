#pragma once
// A serial back end whose line carries a script: the bytes that come back after a request, in
// arrivals of scripted sizes, some waits that pass with nothing, and an end (the line failing, or
// silence waited out for real). It records what the channel does with it, and stops the fuzzer where
// the channel asks for more than an echo and the longest reply, or reads before dropping stale input.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "serial/SerialBackend.h"

namespace k54::fuzz {

struct LineScript {
    enum class End : uint8_t {
        lineFails,  // the back end reports the line gone (-1): a reader stops at once
        silence,    // nothing more comes: each wait passes in full, so the reader's own limit ends it
    };
    std::vector<uint8_t> bytes;         // what the line hands back, an echo included
    std::vector<uint8_t> arrivalSizes;  // the most bytes each wait hands over; 0: a wait that passes with nothing
    End end = End::lineFails;
    std::size_t acceptedRequestBytes = SIZE_MAX;  // how much of a request the line takes
    std::vector<uint8_t> staleInput;              // bytes waiting before the request, to be dropped
};

class ScriptedLine final : public SerialBackend {
public:
    // The script for the next request; `longestFrame` is the most the channel may ask for (an echo
    // of the request and its longest reply).
    void expect(LineScript script, std::size_t longestFrame);

    const LineScript& script() const { return script_; }
    const std::vector<uint8_t>& written() const { return written_; }
    // Every byte the channel took since the request.
    const std::vector<uint8_t>& delivered() const { return delivered_; }
    std::size_t waits() const { return waits_; }

    bool openDevice(uint8_t, uint32_t) override { return true; }
    void purgeInput() override { script_.staleInput.clear(); }
    void purgeOutput() override {}
    void clearDtr() override {}
    void setRts() override {}
    int32_t write(std::span<const uint8_t> bytes) override;
    int32_t read(std::span<uint8_t> into) override;
    int32_t readAvailable(std::span<uint8_t> into, std::chrono::milliseconds wait) override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override { timeouts_ = timeouts; }
    ReadTimeouts readTimeouts() const override { return timeouts_; }
    void closeDevice() override {}
    bool isOpen() const override { return true; }
    std::vector<std::string> deviceNames() const override { return {}; }
    std::string describe(uint8_t) const override { return "script"; }

private:
    LineScript script_;
    std::size_t longestFrame_ = 0;
    std::size_t nextByte_ = 0, nextArrival_ = 0;
    std::vector<uint8_t> written_, delivered_;
    std::size_t waits_ = 0;
    ReadTimeouts timeouts_;
};

}  // namespace k54::fuzz
