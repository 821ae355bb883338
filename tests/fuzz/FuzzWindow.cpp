#include "tests/fuzz/FuzzWindow.h"

#include <ctime>

#include "config/operations/Connection.h"

namespace k54::fuzz {

FuzzWindow::FuzzWindow(char decimalSeparator) : FuzzWindow(std::make_unique<MemoryInstrument>(), decimalSeparator) {}

FuzzWindow::FuzzWindow(std::unique_ptr<MemoryInstrument> line, char decimalSeparator)
    : instrument(*line),
      port(std::move(line)),
      bus(port),
      system{decimalSeparator, [] { return std::tm{}; }},
      window(port, bus, state, system) {
    window.start();
}

void FuzzWindow::reset() {
    for (ParamRow& row : state.params) row.value = row.factoryValue;
    state.password = 0;
    form().setText("Adr_E", "1");  // its change handler takes the address back to 1
    instrument.writes.clear();
    form().clearBoxes();
    form().clearAnswers();
    form().clearLogLines();
}

bool FuzzWindow::connect() {
    instrument.registers.at(kRegVersion) = 0x015A;  // 1.90, then 0013
    instrument.registers.at(kRegVersion + 1u) = 0x000D;
    form().click("ConnectCom");
    return state.hasLinkFlags(kLinkConnected | kLinkConfigurable);
}

}  // namespace k54::fuzz
