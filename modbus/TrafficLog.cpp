#include "modbus/TrafficLog.h"

#include <ctime>
#include <iomanip>
#include <sstream>
#include <string_view>
#include <utility>

#include "base/LocalTime.h"
#include "modbus/SecretBytes.h"

namespace k54 {

namespace {

// The bytes in hex, those that give away the password as "**".
std::string hexBytes(std::span<const uint8_t> bytes, std::span<const uint8_t> request) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    const std::vector<bool> secret = secretBytes(bytes, request);
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += ' ';
        if (secret[i]) {
            text += "**";
            continue;
        }
        text += kDigits.at(bytes[i] >> 4U);
        text += kDigits.at(bytes[i] & 0x0FU);
    }
    return text;
}

// "+0300": the offset as the log writes it.
std::string utcOffsetText(std::chrono::seconds offset) {
    const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(offset).count();
    const auto magnitude = minutes < 0 ? -minutes : minutes;
    std::ostringstream text;
    text << (minutes < 0 ? '-' : '+') << std::setfill('0') << std::setw(2) << magnitude / 60 << std::setw(2)
         << magnitude % 60;
    return text.str();
}

// "2025-03-14 10:32:05.123 +0300"
std::string timestamp(std::chrono::system_clock::time_point now) {
    const auto sinceEpoch = now.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds).count();
    const auto time = static_cast<std::time_t>(seconds.count());
    const std::tm local = localCalendarTime(time);
    std::ostringstream text;
    text << std::put_time(&local, "%Y-%m-%d %H:%M:%S") << '.' << std::setw(3) << std::setfill('0') << millis << ' '
         << utcOffsetText(localUtcOffset(now));
    return text.str();
}

}  // namespace

TrafficLog::TrafficLog(const std::filesystem::path& file, Clock clock)
    : out_(file, std::ios::out | std::ios::app | std::ios::binary), clock_(std::move(clock)) {}

void TrafficLog::requestSent(std::span<const uint8_t> request) {
    request_.assign(request.begin(), request.end());
    writeLine("tx" + hexBytes(request, request));
}

void TrafficLog::exchangeEnded(std::span<const uint8_t> echo, std::span<const uint8_t> reply,
                               const ExchangeReport& report) {
    if (report.outcome == Outcome::refused) {
        writeLine("-- " + describe(report));
        return;
    }
    std::string line = "rx";
    if (!echo.empty()) {
        line += " echo" + hexBytes(echo, request_) + " +";
    }
    writeLine(line + hexBytes(reply, request_) + " -- " + describe(report));
}

void TrafficLog::writeLine(const std::string& text) {
    if (out_.is_open()) {
        out_ << timestamp(clock_()) << ' ' << text << '\n' << std::flush;
    }
}

}  // namespace k54
