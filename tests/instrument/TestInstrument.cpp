#include "tests/instrument/TestInstrument.h"

#include <algorithm>
#include <thread>

namespace k54::test {

namespace {

constexpr auto kTracePollInterval = std::chrono::milliseconds(5);

}  // namespace

bool TestInstrument::traced(const std::string& line, std::chrono::milliseconds deadline) const {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        const TraceLines lines = traceLines();
        if (std::ranges::find(lines, line) != lines.end()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(kTracePollInterval);
    }
}

std::string traceLine(std::string_view kind, std::span<const uint8_t> bytes) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string line(kind);
    for (const uint8_t byte : bytes) {
        line += ' ';
        line += kDigits.at(byte >> 4U);
        line += kDigits.at(byte & 0x0FU);
    }
    return line;
}

}  // namespace k54::test
