#include "sim/SimOptions.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "sim/IntegerText.h"
#include "sim/LineSpeed.h"

namespace k54::sim {

namespace {

constexpr int kDefaultAddress = 1;

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
           name == "--firmware" || name == "--trace" || name == "--fault" || name == "--control";
}

std::optional<std::string> setBaud(int& target, std::string_view name, std::string_view value) {
    const auto baud = parseInstrumentBaud(value);
    if (!baud) return std::string(name) + " must be one of " + instrumentBauds() + ", not '" + std::string(value) + "'";
    target = *baud;
    return std::nullopt;
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

// "17" or "30@9600".
std::optional<std::string> addAddress(SimOptions& options, std::string_view value) {
    const auto at = value.find('@');
    const auto address = parseIntegerIn(value.substr(0, at), 1, 247);
    const auto baud = at == std::string_view::npos ? std::nullopt : parseInstrumentBaud(value.substr(at + 1));
    const std::string refusal = "--address '" + std::string(value) + "': ";
    if (!address) return refusal + "the address must be a number 1-247";
    if (at != std::string_view::npos && !baud)
        return refusal + "the speed after '@' must be one of " + instrumentBauds();
    const bool taken =
        std::ranges::any_of(options.addresses, [&](const AddressOption& given) { return given.address == *address; });
    if (taken) return refusal + "address " + std::to_string(*address) + " is given twice";
    options.addresses.push_back(AddressOption{*address, baud});
    return std::nullopt;
}

std::optional<std::string> setFirmware(SimOptions& options, std::string_view value) {
    const auto version = parseFirmwareVersion(value);
    if (!version) {
        return "--firmware '" + std::string(value) + "' is malformed: " + std::string(firmwareVersionFormatHint());
    }
    options.firmware = *version;
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
    if (name == "--baud") return setBaud(options.baud, name, value);
    if (name == "--address") return addAddress(options, value);
    if (name == "--firmware") return setFirmware(options, value);
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

std::vector<InstrumentSetup> instrumentSetups(const SimOptions& options) {
    if (options.addresses.empty()) return {InstrumentSetup{kDefaultAddress, options.baud, options.firmware}};
    std::vector<InstrumentSetup> setups;
    for (const AddressOption& given : options.addresses) {
        setups.push_back(InstrumentSetup{given.address, given.baud.value_or(options.baud), options.firmware});
    }
    return setups;
}

OptionsOutcome parseSimOptions(const std::vector<std::string>& args) {
    OptionsOutcome outcome;
    outcome.options.firmware = parseFirmwareVersion(kDefaultFirmwareVersion).value_or(FirmwareVersion{});
    for (std::size_t index = 0; index < args.size(); ++index) {
        const Argument argument = splitArgument(args.at(index));
        if (argument.name == "--help" || argument.name == "-h") return {OptionsOutcome::Action::ShowHelp, {}, {}};
        if (argument.name == "--version" && !argument.inlineValue) return {OptionsOutcome::Action::ShowVersion, {}, {}};
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
               "virtual port for the configurator k54. Several instruments may share the line, as on RS-485.\n"
               "Prints one line when it is ready; stops on SIGINT or SIGTERM.\n"
               "\n"
               "  --port N          virtual port COMN, 1-255 (default 1): the link comN in the ports folder\n"
               "  --ports-dir DIR   the ports folder (default $XDG_RUNTIME_DIR/k54/ports, or /tmp/k54-<uid>/ports\n"
               "                    where XDG_RUNTIME_DIR is unset)\n"
               "  --baud B          the instruments' speed: 2400 4800 9600 19200 38400 57600 115200 (default 19200)\n"
               "  --address A[@B]   an instrument at slave address A, 1-247, at speed B (default --baud); repeat\n"
               "                    for more instruments on the line, each with its own registers (default: one\n"
               "                    instrument at address 1). A request for an address nobody has gets no reply.\n"
               "  --firmware V      firmware version V1.V2.V3V4 in registers 41-42 (default 1.90.0013)\n"
               "  --no-pacing       send replies at once instead of at the instrument's speed\n"
               "  --trace FILE      append one line per request, echo and reply to FILE:\n"
               "                      req 01 03 00 29 00 02 15 C3\n"
               "                      echo 01 03 00 29 00 02 15 C3           (fault echo)\n"
               "                      rep 01 03 04 01 5A 00 0D 1A 19\n"
               "                      rep 1E 03 04 01 5A 00 0D F4 D8 (instrument 30)   (two or more instruments)\n"
               "                      rep none (REASON)\n"
               "  --fault FAULT     inject a fault from the start; repeat to combine. FAULT is one of:\n") +
           std::string(faultHelp()) +
           "  --control FIFO    create the FIFO and read command lines from it while running; each applies\n"
           "                    before the next request:\n"
           "                      fault FAULT...          these faults replace all those in force\n"
           "                      clear                   no faults\n"
           "                      reset                   every instrument and the faults as at the start\n"
           "                      [@A] set REG VALUE      holding register REG (0-99) := VALUE (-32768..65535)\n"
           "                      [@A] firmware V         firmware version V\n"
           "                      [@A] baud B             answer at speed B\n"
           "                    Faults and the reset belong to the line; @A names the instrument at address A\n"
           "                    (default: the first --address).\n"
           "  --version         show the program's version and exit\n"
           "  --help            show this text and exit\n"
           "\n"
           "An instrument answers only while the configurator's end of the line is set to its speed; otherwise\n"
           "the trace says e.g. 'rep none (line at 9600 baud, instrument at 19200)'.\n"
           "Registers (holding, functions 3, 6, 16): 0-38 the configuration (factory values at start),\n"
           "41-42 the firmware version, 60-61 a live measurement (signed 32 bits, high word first, thousandths\n"
           "of the input type's unit); a value set there through the control FIFO stays until the end.\n"
           "Exit status: 0 stopped by a signal, 1 cannot start, 2 bad options.\n";
}

}  // namespace k54::sim
