#include "sim/FirmwareVersion.h"

#include <algorithm>
#include <cctype>

#include "sim/IntegerText.h"

namespace k54::sim {

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

uint16_t bytePair(int high, int low) {
    return static_cast<uint16_t>((high << 8) | low);
}

}  // namespace

std::optional<FirmwareVersion> parseFirmwareVersion(std::string_view text) {
    const auto firstDot = text.find('.');
    if (firstDot == std::string_view::npos) return std::nullopt;
    const auto secondDot = text.find('.', firstDot + 1);
    if (secondDot == std::string_view::npos) return std::nullopt;

    const auto v1 = text.substr(0, firstDot);
    const auto v2 = text.substr(firstDot + 1, secondDot - firstDot - 1);
    const auto v3v4 = text.substr(secondDot + 1);
    if (v1.size() > 3 || v2.size() != 2 || v3v4.size() != 4) return std::nullopt;
    if (!allDigits(v1) || !allDigits(v2) || !allDigits(v3v4)) return std::nullopt;

    const auto major = parseIntegerIn(v1, 0, 255);
    const auto minor = parseIntegerIn(v2, 0, 99);
    const auto v3 = parseIntegerIn(v3v4.substr(0, 2), 0, 99);
    const auto v4 = parseIntegerIn(v3v4.substr(2, 2), 0, 99);
    if (!major || !minor || !v3 || !v4) return std::nullopt;
    return FirmwareVersion{bytePair(*major, *minor), bytePair(*v3, *v4)};
}

std::string_view firmwareVersionFormatHint() {
    return "a version is written V1.V2.V3V4: V1 0-255, V2 two digits, V3V4 four digits, e.g. 1.90.0013";
}

}  // namespace k54::sim
