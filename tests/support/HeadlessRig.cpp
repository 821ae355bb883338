#include "tests/support/HeadlessRig.h"

#include <stdexcept>

#include "serial/PlatformSerial.h"
#include "tests/support/ShortReadTimeouts.h"

namespace k54::test {

HeadlessRig::HeadlessRig(const std::filesystem::path& portsDir, char decimalSeparator, bool reactivatesAfterBox)
    : port(makePlatformSerialBackend(portsDir, kShortReadTimeouts)),
      bus(port),
      system{decimalSeparator, fixedClock},
      window(port, bus, state, system, reactivatesAfterBox) {
    window.start();
}

std::vector<std::string> HeadlessRig::logFrom(std::size_t from) const {
    const auto& lines = window.form.logLines();
    return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end()};
}

SimRig::SimRig(const std::vector<std::string>& simArgs, int port, char decimalSeparator, bool reactivatesAfterBox)
    : sim(simArgs, port), rig(sim.portsDir(), decimalSeparator, reactivatesAfterBox) {}

void SimRig::setRegisters(const Registers& registers) {
    for (const auto& [reg, value] : registers) sim.control("set " + std::to_string(reg) + " " + std::to_string(value));
}

void SimRig::choosePort() {
    const std::string wanted = "COM" + std::to_string(sim.portNumber());
    for (int i = 0; i < form().itemCount("Com_B"); ++i) {
        if (form().itemText("Com_B", i) == wanted) {
            form().operatorChooses("Com_B", i);
            return;
        }
    }
    throw std::runtime_error("the port list has no " + wanted);
}

bool SimRig::connect(const Registers& registers) {
    setRegisters(registers);
    choosePort();
    form().click("ConnectCom");
    return state().hasLinkFlags(kLinkConnected | kLinkConfigurable) && form().isVisible("Config");
}

std::vector<std::string> SimRig::requestsFrom(std::size_t from) const {
    std::vector<std::string> requests;
    const TraceLines lines = sim.traceLines();
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].rfind("req ", 0) == 0) requests.push_back(lines[i].substr(4));
    return requests;
}

}  // namespace k54::test
