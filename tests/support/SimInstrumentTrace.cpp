// The trace of a SimInstrument, read the same way on every platform: the file k54sim writes, from the
// instrument's first line on.
#include <algorithm>
#include <fstream>
#include <thread>

#include "tests/support/SimInstrument.h"

namespace k54::test {

namespace {

constexpr auto kTracePollInterval = std::chrono::milliseconds(5);

}  // namespace

TraceLines SimInstrument::traceLines() const {
    TraceLines lines;
    std::ifstream trace(tracePath());
    for (std::string line; std::getline(trace, line);) lines.push_back(line);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(traceStart_, lines.size())));
    return lines;
}

std::vector<std::string> SimInstrument::requestsFrom(std::size_t mark) const {
    std::vector<std::string> requests;
    const auto lines = traceLines();
    for (std::size_t i = mark; i < lines.size(); ++i)
        if (lines[i].rfind("req ", 0) == 0 && lines[i].size() > 10)
            requests.push_back(lines[i].substr(4, lines[i].size() - 10));
    return requests;
}

bool SimInstrument::waitForTrace(const std::function<bool(const TraceLines&)>& predicate,
                                 std::chrono::milliseconds deadline) const {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (predicate(traceLines())) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(kTracePollInterval);
    }
}

}  // namespace k54::test
