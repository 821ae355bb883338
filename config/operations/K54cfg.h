#pragma once
// The configurator's state record k54L: the parameter rows, the link settings and flags, and the
// scratch fields of value entry and the password. (The exchanges keep their frames in InstrumentLink.)
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/params/ParamTable.h"

namespace k54 {

inline constexpr uint8_t kLinkConnected = 0x01;
inline constexpr uint8_t kLinkConfigurable = 0x04;
inline constexpr uint8_t kLinkPolling = 0x08;

struct k54L {
    ParamTable params = kParamTemplate;
    uint8_t linkFlags = 0;
    uint8_t openPort = 0;         // the port the link holds open; 0 when none
    uint8_t activeInputType = 0;  // input type the panels and captions were last drawn for
    uint8_t slaveAddress = 1;
    uint8_t portNumber = 1;
    uint8_t speedIndex = 3;     // 19200 baud
    std::string statusText;     // connection status lines that carry a port number
    float displayValue = 0.0f;  // number last formatted for an edit
    float entryValue = 0.0f;    // number parsed from the edit being committed
    int16_t editRow = 0;        // row whose edit last gained focus
    uint16_t password = 0;      // service password to be written

    bool hasLinkFlags(uint8_t mask) const { return (linkFlags & mask) == mask; }
    void setLinkFlags(uint8_t mask) { linkFlags = static_cast<uint8_t>(linkFlags | mask); }
    void clearLinkFlags(uint8_t mask) { linkFlags = static_cast<uint8_t>(linkFlags & ~mask); }

    ParamRow& row(int index) { return params.at(static_cast<std::size_t>(index)); }
    const ParamRow& row(int index) const { return params.at(static_cast<std::size_t>(index)); }
};

// The row bound to the control of that name (rows compared in table order), or nothing.
std::optional<int> findRowByControl(const k54L& k, std::string_view controlName);

}  // namespace k54
