#include "k54ctl/Diagnosis.h"

#include <cstring>

namespace k54::ctl {
namespace {

std::string deviceNote(const OpenFailure& failure, const std::string& portName) {
    return failure.device.empty() || failure.device == portName ? portName : portName + " (" + failure.device + ")";
}

std::string systemReason(int error) {
    return error == 0 ? "the system refused it" : std::string(std::strerror(error));
}

std::string holderText(const OpenFailure& failure) {
    if (!failure.holder) return "another program holds it (its lock file says so)";
    std::string text = "process " + std::to_string(*failure.holder);
    if (!failure.holderName.empty()) text += " (" + failure.holderName + ")";
    return text + " holds it (its lock file says so)";
}

}  // namespace

std::string openFailureText(const OpenFailure& failure, const std::string& portName, uint32_t baud) {
    const std::string port = "cannot open " + deviceNote(failure, portName) + ": ";
    switch (failure.reason) {
        case OpenFailureReason::noSuchPort:
            return port +
                   "no device stands behind this number (no virtual port link, no device of the rule). "
                   "Run k54ctl ports to see the ports there are.";
        case OpenFailureReason::noSuchDevice:
            return port +
                   "the device is not there. Check that the adapter is plugged in; k54ctl ports lists "
                   "the ports there are.";
        case OpenFailureReason::noPermission:
            return port +
                   "permission denied. Add yourself to the group that may open serial ports "
                   "(sudo usermod -aG dialout \"$USER\") and log in again.";
        case OpenFailureReason::heldByProcess:
            return port + holderText(failure) + ". End that program, or choose another port.";
        case OpenFailureReason::busy:
            return port +
                   "another program has it open (the configurator k54, a terminal program, a logger). "
                   "Close that program, or choose another port.";
        case OpenFailureReason::notSerial:
            return port + "it is no serial port.";
        case OpenFailureReason::settingsRefused:
            return port + "the device does not take 8E1 at " + std::to_string(baud) + " baud.";
        case OpenFailureReason::other:
            return port + systemReason(failure.systemError) + ".";
        case OpenFailureReason::none:
            break;
    }
    return port + "the system gave no reason.";
}

std::string exchangeFailureText(const std::string& what, const ExchangeReport& report, const LinePlace& place) {
    const std::string where = " from address " + std::to_string(place.address) + " at " + std::to_string(place.baud) +
                              " baud on " + place.port;
    const std::string head = what + ": " + describe(report);
    switch (report.outcome) {
        case Outcome::noReply:
            return head + where +
                   ". Check that the instrument has this address and speed (k54ctl scan finds them), the "
                   "wiring (RS-485 A and B, the common ground) and that the instrument is powered.";
        case Outcome::exception:
            return head + where + ": the instrument refused the request.";
        case Outcome::incomplete:
        case Outcome::badCrc:
        case Outcome::malformed:
            return head + where +
                   ": the reply came garbled. Check the speed, the wiring and its termination, and that the line "
                   "runs 8E1.";
        case Outcome::stranger:
        case Outcome::wrongFunction:
            return head + where +
                   ": another device answered. Check that no two instruments on the line share the address.";
        case Outcome::notSent:
            return head + " on " + place.port + ": the port failed. Check that the adapter is still plugged in.";
        case Outcome::refused:
        case Outcome::answered:
        case Outcome::none:
            break;
    }
    return head + where + ".";
}

}  // namespace k54::ctl
