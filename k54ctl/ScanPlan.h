#pragma once
// The order in which a scan tries addresses and speeds, so that the likely instruments come first:
// the factory setting (address 1 at 19200 baud); then address 1 at every other speed (an instrument
// whose speed alone was changed); then every address at each speed, the speeds in the order in which
// lines commonly run: 19200 (the factory's), 9600, 115200, 38400, 57600, 4800, 2400.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace k54::ctl {

inline constexpr std::array<uint32_t, 7> kScanSpeedOrder{19200, 9600, 115200, 38400, 57600, 4800, 2400};
inline constexpr int kFactoryAddress = 1;
inline constexpr uint32_t kFactoryBaud = 19200;

struct AddressRange {
    int first = 1, last = 247;
};

// "A-B" or "A", each 1 - 254 and A not above B; nothing for anything else.
std::optional<AddressRange> parseAddressRange(std::string_view text);

struct Probe {
    int address;
    uint32_t baud;
    friend bool operator==(const Probe&, const Probe&) = default;
};

// Every address of the range at every speed given, each once, in the order above; speeds given in
// another order (--baud) keep that order, the factory speed still first where it is among them.
std::vector<Probe> scanPlan(const AddressRange& addresses, const std::vector<uint32_t>& speeds);

}  // namespace k54::ctl
