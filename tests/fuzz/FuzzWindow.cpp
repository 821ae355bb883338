#include "tests/fuzz/FuzzWindow.h"

#include <ctime>

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

}  // namespace k54::fuzz
