#include "sim/SimOptions.h"

#include <array>
#include <optional>
#include <string_view>

#include "sim/NumberText.h"

namespace k54::sim {

namespace {

constexpr std::array<int, 7> kBauds{2400, 4800, 9600, 19200, 38400, 57600, 115200};

struct Argument {
    std::string_view name;
    std::optional<std::string_view> inlineValue;
};

Argument splitArgument(std::string_view text) {
    const auto equals = text.find('=');
    if (text.rfind("--", 0) != 0 || equals == std::string_view::npos) return {text, std::nullopt};
    return {text.substr(0, equals), text.substr(equals + 1)};
}

bool takesValue(std::string_view name) {
    return name == "--port" || name == "--ports-dir" || name == "--baud" || name == "--address" ||
           name == "--version" || name == "--trace" || name == "--fault" || name == "--control";
}

std::optional<std::string> setBaud(SimOptions& options, std::string_view value) {
    const auto baud = parseIntegerIn(value, 1, 115200);
    for (const int known : kBauds) {
        if (baud == known) {
            options.baud = known;
            return std::nullopt;
        }
    }
    return "--baud must be one of 2400 4800 9600 19200 38400 57600 115200, not '" + std::string(value) + "'";
}

std::optional<std::string> setNumber(int& target, std::string_view name, std::string_view value, int low, int high) {
    const auto number = parseIntegerIn(value, low, high);
    if (!number) {
        return std::string(name) + " must be a number " + std::to_string(low) + "-" + std::to_string(high) + ", not '" +
               std::string(value) + "'";
    }
    target = *number;
    return std::nullopt;
}

std::optional<std::string> setVersion(SimOptions& options, std::string_view value) {
    const auto version = parseFirmwareVersion(value);
    if (!version)
        return "--version '" + std::string(value) + "' is malformed: " + std::string(firmwareVersionFormatHint());
    options.version = *version;
    return std::nullopt;
}

std::optional<std::string> setPath(std::string& target, std::string_view name, std::string_view value) {
    if (value.empty()) return std::string(name) + " needs a path";
    target = std::string(value);
    return std::nullopt;
}

std::optional<std::string> applyOption(SimOptions& options, std::string_view name, std::string_view value) {
    if (name == "--port") return setNumber(options.port, name, value, 1, 255);
    if (name == "--ports-dir") return setPath(options.portsDir, name, value);
    if (name == "--baud") return setBaud(options, value);
    if (name == "--address") return setNumber(options.address, name, value, 1, 247);
    if (name == "--version") return setVersion(options, value);
    if (name == "--trace") return setPath(options.tracePath, name, value);
    if (name == "--control") return setPath(options.controlPath, name, value);
    if (name != "--fault") return "unknown option '" + std::string(name) + "'";
    if (auto refused = addFault(options.faults, value)) return "--fault: " + *refused;
    return std::nullopt;
}

OptionsOutcome refuse(std::string error) {
    return {OptionsOutcome::Action::Refuse, {}, std::move(error)};
}

}  // namespace

OptionsOutcome parseSimOptions(const std::vector<std::string>& args) {
    OptionsOutcome outcome;
    outcome.options.version = parseFirmwareVersion(kDefaultFirmwareVersion).value_or(FirmwareVersion{});
    for (std::size_t index = 0; index < args.size(); ++index) {
        const Argument argument = splitArgument(args.at(index));
        if (argument.name == "--help" || argument.name == "-h") return {OptionsOutcome::Action::ShowHelp, {}, {}};
        if (argument.name == "--no-pacing" && !argument.inlineValue) {
            outcome.options.pacing = false;
            continue;
        }
        if (!takesValue(argument.name)) return refuse("unknown option '" + args.at(index) + "'");
        std::string_view value;
        if (argument.inlineValue) {
            value = *argument.inlineValue;
        } else if (index + 1 < args.size()) {
            value = args.at(++index);
        } else {
            return refuse(std::string(argument.name) + " needs a value");
        }
        if (auto refused = applyOption(outcome.options, argument.name, value)) return refuse(*refused);
    }
    return outcome;
}

std::string helpText() {
    return std::string(
               "Usage: k54sim [OPTION]...\n"
               "A simulated КЭР-5400-02(03): a Modbus RTU slave (8E1) behind a pseudo-terminal, linked as a\n"
               "virtual port for the configurator k54. Prints one line when it is ready; stops on SIGINT or SIGTERM.\n"
               "\n"
               "  --port N          virtual port COMN, 1-255 (default 1): the link comN in the ports folder\n"
               "  --ports-dir DIR   the ports folder (default $XDG_RUNTIME_DIR/k54/ports, or /tmp/k54-<uid>/ports\n"
               "                    where XDG_RUNTIME_DIR is unset)\n"
               "  --baud B          2400 4800 9600 19200 38400 57600 115200 (default 19200)\n"
               "  --address A       slave address, 1-247 (default 1)\n"
               "  --version V       firmware version V1.V2.V3V4 in registers 41-42 (default 1.90.0013)\n"
               "  --no-pacing       send replies at once instead of at the line's speed\n"
               "  --trace FILE      append one line per request and per reply to FILE:\n"
               "                      req 01 03 00 29 00 02 15 C3\n"
               "                      rep 01 03 04 01 5A 00 0D 1A 19\n"
               "                      rep none (REASON)\n"
               "  --fault FAULT     inject a fault; repeat to combine. FAULT is one of:\n") +
           std::string(faultHelp()) +
           "  --control FIFO    create the FIFO and read command lines from it while running:\n"
           "                      fault FAULT | clear | set REG VALUE | version V\n"
           "  --help            show this text and exit\n"
           "\n"
           "Registers (holding, functions 3, 6, 16): 0-38 the configuration (factory values at start),\n"
           "41-42 the firmware version, 60-61 a live measurement (signed 32 bits, high word first, thousandths\n"
           "of the input type's unit); a value set there through the control FIFO stays until the end.\n"
           "Exit status: 0 stopped by a signal, 1 cannot start, 2 bad options.\n";
}

}  // namespace k54::sim
