#pragma once
// The firmware version the instrument reports in registers 41 - 42, written V1.V2.V3V4 (e.g. 1.90.0013).
#include <cstdint>
#include <optional>
#include <string_view>

namespace k54::sim {

struct FirmwareVersion {
    uint16_t high;  // register 41: V1 << 8 | V2
    uint16_t low;   // register 42: V3 << 8 | V4
};

inline constexpr std::string_view kDefaultFirmwareVersion = "1.90.0013";

// V1 is 1 - 3 digits (0 - 255), V2 two digits, V3V4 four digits; nothing for any other text.
std::optional<FirmwareVersion> parseFirmwareVersion(std::string_view text);

// The message that tells the operator how a version is written.
std::string_view firmwareVersionFormatHint();

}  // namespace k54::sim
