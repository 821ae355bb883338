#pragma once
// The computer's local calendar time, for a backup's name and a configuration file's "saved".
#include <chrono>
#include <ctime>

namespace k54::ctl {

inline std::tm localTime(std::chrono::system_clock::time_point time = std::chrono::system_clock::now()) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return local;
}

}  // namespace k54::ctl
