#include "sim/ControlCommand.h"

#include <algorithm>
#include <span>
#include <vector>

#include "sim/IntegerText.h"
#include "sim/LineSpeed.h"
#include "sim/RegisterBank.h"

namespace k54::sim {

namespace {

using Words = std::span<const std::string_view>;

constexpr std::string_view kSyntax =
    "fault FAULT... | clear | reset | [@ADDR] set REG VALUE | [@ADDR] firmware V | [@ADDR] baud B";

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t position = 0;
    while (position < line.size()) {
        const auto start = line.find_first_not_of(" \t\r", position);
        if (start == std::string_view::npos) break;
        const auto end = std::min(line.find_first_of(" \t\r", start), line.size());
        result.push_back(line.substr(start, end - start));
        position = end;
    }
    return result;
}

ControlCommand parseFaults(Words faultTexts) {
    SetFaults command;
    for (const std::string_view fault : faultTexts) {
        if (auto refused = addFault(command.faults, fault)) return RefusedCommand{*refused};
    }
    return command;
}

ControlCommand parseSet(std::optional<int> address, std::string_view regText, std::string_view valueText) {
    const auto reg = parseIntegerIn(regText, 0, RegisterBank::kRegisterCount - 1);
    if (!reg) return RefusedCommand{"set: no holding register '" + std::string(regText) + "' (0-99)"};
    const auto value = parseIntegerIn(valueText, -32768, 65535);
    if (!value) return RefusedCommand{"set: value '" + std::string(valueText) + "' is not -32768..65535"};
    return InstrumentCommand{address,
                             SetRegister{*reg, static_cast<uint16_t>(static_cast<uint32_t>(*value) & 0xFFFFu)}};
}

ControlCommand parseFirmware(std::optional<int> address, std::string_view text) {
    const auto version = parseFirmwareVersion(text);
    if (!version) {
        return RefusedCommand{"firmware '" + std::string(text) + "': " + std::string(firmwareVersionFormatHint())};
    }
    return InstrumentCommand{address, SetFirmware{*version}};
}

ControlCommand parseBaud(std::optional<int> address, std::string_view text) {
    const auto baud = parseInstrumentBaud(text);
    if (!baud) return RefusedCommand{"baud '" + std::string(text) + "' is not one of " + instrumentBauds()};
    return InstrumentCommand{address, SetBaud{*baud}};
}

bool isLineCommand(Words parts) {
    return !parts.empty() && (parts[0] == "fault" || parts[0] == "clear" || parts[0] == "reset");
}

}  // namespace

ControlCommand parseControlCommand(std::string_view line) {
    const auto parts = words(line);
    Words rest(parts);
    std::optional<int> address;
    if (!rest.empty() && rest[0].starts_with('@')) {
        address = parseIntegerIn(rest[0].substr(1), 1, 247);
        if (!address) return RefusedCommand{"'" + std::string(rest[0]) + "' names no address 1-247"};
        rest = rest.subspan(1);
        if (isLineCommand(rest)) {
            return RefusedCommand{"'" + std::string(line) +
                                  "': faults and the reset belong to the line, not to one instrument"};
        }
    }
    if (rest.size() >= 2 && rest[0] == "fault") return parseFaults(rest.subspan(1));
    if (rest.size() == 1 && rest[0] == "clear") return SetFaults{};
    if (rest.size() == 1 && rest[0] == "reset") return ResetLine{};
    if (rest.size() == 3 && rest[0] == "set") return parseSet(address, rest[1], rest[2]);
    if (rest.size() == 2 && rest[0] == "firmware") return parseFirmware(address, rest[1]);
    if (rest.size() == 2 && rest[0] == "baud") return parseBaud(address, rest[1]);
    return RefusedCommand{"unknown command '" + std::string(line) + "' (" + std::string(kSyntax) + ")"};
}

}  // namespace k54::sim
