#pragma once

// A serial back end that records the calls cPort makes and hands out scripted input.

#include "serial/SerialBackend.h"

#include <algorithm>
#include <string>
#include <vector>

namespace k54::test {

struct BackendLog {
    std::vector<std::string> calls;
    uint32_t openedBaud = 0;
    std::vector<uint8_t> written;
    std::size_t lastReadSize = 0;
    std::vector<std::size_t> availableAsked;  // the size of each readAvailable
    ReadTimeouts timeouts;
};

class RecordingBackend final : public SerialBackend {
public:
    RecordingBackend(BackendLog& log, bool opens, std::vector<uint8_t> input = {})
        : log_(log), opens_(opens), input_(std::move(input)) {}

    bool openDevice(uint8_t, uint32_t baud) override {
        log_.calls.emplace_back("open");
        log_.openedBaud = baud;
        open_ = opens_;
        return opens_;
    }
    void purgeInput() override { log_.calls.emplace_back("purgeInput"); }
    void purgeOutput() override { log_.calls.emplace_back("purgeOutput"); }
    void clearDtr() override { log_.calls.emplace_back("clearDtr"); }
    void setRts() override { log_.calls.emplace_back("setRts"); }
    int32_t write(std::span<const uint8_t> bytes) override {
        log_.calls.emplace_back("write");
        log_.written.assign(bytes.begin(), bytes.end());
        return static_cast<int32_t>(bytes.size());
    }
    int32_t read(std::span<uint8_t> into) override {
        log_.calls.emplace_back("read");
        log_.lastReadSize = into.size();
        return take(into);
    }
    // The scripted input in pieces as asked; once it is used up the line counts as failed, so that a
    // reader stops at once instead of waiting out its limits.
    int32_t readAvailable(std::span<uint8_t> into, std::chrono::milliseconds) override {
        if (log_.calls.empty() || log_.calls.back() != "readAvailable") {
            log_.calls.emplace_back("readAvailable");
        }
        log_.availableAsked.push_back(into.size());
        return consumed_ < input_.size() ? take(into) : -1;
    }
    void setReadTimeouts(const ReadTimeouts& timeouts) override { log_.timeouts = timeouts; }
    ReadTimeouts readTimeouts() const override { return log_.timeouts; }
    void closeDevice() override {
        log_.calls.emplace_back("close");
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    std::vector<std::string> deviceNames() const override { return {"COM2"}; }
    std::string describe(uint8_t) const override { return "recorded"; }

private:
    int32_t take(std::span<uint8_t> into) {
        const std::size_t n = std::min(into.size(), input_.size() - consumed_);
        std::copy_n(input_.begin() + static_cast<std::ptrdiff_t>(consumed_), n, into.begin());
        consumed_ += n;
        return static_cast<int32_t>(n);
    }

    BackendLog& log_;
    bool opens_;
    bool open_ = false;
    std::vector<uint8_t> input_;
    std::size_t consumed_ = 0;
};

}  // namespace k54::test
