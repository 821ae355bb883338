#include "sim/LineTiming.h"

#include <algorithm>
#include <thread>

#include "sim/StopSignal.h"

namespace k54::sim {

namespace {
constexpr int kBitsPerCharacter = 11;
constexpr auto kLongestSleepSlice = std::chrono::milliseconds(50);
}  // namespace

Clock::duration characterTime(int baud) {
    const auto nanoseconds =
        std::chrono::nanoseconds(std::chrono::seconds(1)).count() * kBitsPerCharacter / std::max(baud, 1);
    return std::chrono::nanoseconds(nanoseconds);
}

Clock::duration frameGap(int baud) {
    const Clock::duration gap = characterTime(baud) * 7 / 2;
    return std::max<Clock::duration>(gap, std::chrono::milliseconds(5));
}

bool sleepUntil(Clock::time_point wakeTime) {
    for (;;) {
        if (stopRequested()) return false;
        const auto now = Clock::now();
        if (now >= wakeTime) return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(wakeTime - now, kLongestSleepSlice));
    }
}

}  // namespace k54::sim
