#include "serial/PortNumbers.h"

#include <array>
#include <charconv>

namespace k54 {

namespace {

constexpr int kLastPort = 255;

// The number right after "COM" (0 when no digit follows); nothing when it is above 255.
std::optional<int> portNumberOf(std::string_view name) {
    if (name.substr(0, kPortPrefix.size()) != kPortPrefix) {
        return std::nullopt;
    }
    name.remove_prefix(kPortPrefix.size());
    int number = 0;
    for (const char c : name) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + (c - '0');
        if (number > kLastPort) {
            return std::nullopt;
        }
    }
    return number;
}

bool startsWithPrefixIgnoringCase(std::string_view text) {
    if (text.size() < kPortPrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kPortPrefix.size(); ++i) {
        const char c = text[i];
        if (c != kPortPrefix[i] && c != kPortPrefix[i] - 'A' + 'a') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<int> portNumbersFromDeviceNames(const std::vector<std::string>& names) {
    std::array<bool, kLastPort + 1> present{};
    for (const std::string& name : names) {
        if (const auto number = portNumberOf(name)) {
            present.at(static_cast<std::size_t>(*number)) = true;
        }
    }
    std::vector<int> ports;
    for (int n = 1; n <= kLastPort; ++n) {
        if (present.at(static_cast<std::size_t>(n))) {
            ports.push_back(n);
        }
    }
    return ports;
}

std::optional<int> parsePortName(std::string_view text) {
    if (startsWithPrefixIgnoringCase(text)) {
        text.remove_prefix(kPortPrefix.size());
    }
    if (text.empty() || text.front() < '1' || text.front() > '9') {
        return std::nullopt;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size() || number > kLastPort) {
        return std::nullopt;
    }
    return number;
}

std::string portName(int number) {
    return std::string(kPortPrefix) + std::to_string(number);
}

}  // namespace k54
