#include "sim/FaultSet.h"

#include "sim/IntegerText.h"

namespace k54::sim {

namespace {

constexpr int kLongestPauseMs = 60000;

struct FaultText {
    std::string_view text;
    std::string_view name;
    std::optional<std::string_view> value;
};

FaultText splitFaultText(std::string_view text) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) return {text, text, std::nullopt};
    return {text, text.substr(0, equals), text.substr(equals + 1)};
}

std::optional<std::string> setFlag(bool& flag, const FaultText& parts) {
    if (parts.value) return "fault '" + std::string(parts.text) + "': " + std::string(parts.name) + " takes no value";
    flag = true;
    return std::nullopt;
}

std::optional<std::string> setNumber(int& target, const FaultText& parts, long long low, long long high) {
    const auto value = parts.value ? parseIntegerIn(*parts.value, low, high) : std::nullopt;
    if (!value) {
        return "fault '" + std::string(parts.text) + "': " + std::string(parts.name) + " needs a whole number " +
               std::to_string(low) + "-" + std::to_string(high) + ", e.g. " + std::string(parts.name) + "=" +
               std::to_string(high / 2);
    }
    target = *value;
    return std::nullopt;
}

std::optional<std::string> setByte(std::optional<uint8_t>& target, const FaultText& parts, long long low) {
    int value = 0;
    if (auto refused = setNumber(value, parts, low, 255)) return refused;
    target = static_cast<uint8_t>(value);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> addFault(FaultSet& faults, std::string_view fault) {
    const FaultText parts = splitFaultText(fault);
    if (parts.name == "silent") return setFlag(faults.silent, parts);
    if (parts.name == "badcrc") return setFlag(faults.badCrc, parts);
    if (parts.name == "truncate") return setFlag(faults.truncate, parts);
    if (parts.name == "garbage") return setFlag(faults.garbage, parts);
    if (parts.name == "trailing") return setFlag(faults.trailing, parts);
    if (parts.name == "wrongfc") return setFlag(faults.wrongFunction, parts);
    if (parts.name == "echo") return setFlag(faults.echo, parts);
    if (parts.name == "exception") return setByte(faults.exceptionCode, parts, 1);
    if (parts.name == "stranger") return setByte(faults.strangerAddress, parts, 0);
    if (parts.name == "gap") return setNumber(faults.gapMs, parts, 1, kLongestPauseMs);
    if (parts.name == "late") return setNumber(faults.lateMs, parts, 1, kLongestPauseMs);
    if (parts.name == "drop-every") return setNumber(faults.dropEvery, parts, 1, 1000000);
    return "unknown fault '" + std::string(fault) + "'";
}

std::string_view faultHelp() {
    return "                      silent          never answer\n"
           "                      badcrc          flip a bit in the reply's CRC\n"
           "                      exception=CODE  answer with exception CODE (1-255) instead of executing\n"
           "                      truncate        send only the first half of the reply\n"
           "                      gap=MS          pause MS milliseconds in the middle of the reply\n"
           "                      late=MS         wait MS milliseconds before answering\n"
           "                      garbage         put 3 junk bytes before the reply\n"
           "                      trailing        put 3 junk bytes after the reply\n"
           "                      drop-every=N    the N-th, 2N-th, ... request gets no reply\n"
           "                      stranger=ADDR   reply as slave address ADDR (0-255), CRC recomputed\n"
           "                      wrongfc         reply with another function code, CRC recomputed\n"
           "                      echo            hand every request back to the master before any reply,\n"
           "                                      as an RS-485 adapter that hears itself does\n";
}

}  // namespace k54::sim
