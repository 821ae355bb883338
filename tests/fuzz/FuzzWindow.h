#pragma once
// The configurator's three objects and its headless window over an instrument in memory. Made once
// (making a window for every input would take most of the fuzzer's time) and reset before each input.
#include <memory>

#include "app/headless/HeadlessForm.h"
#include "tests/fuzz/MemoryInstrument.h"
#include "tests/fuzz/Violation.h"

namespace k54::fuzz {

class FuzzWindow {
public:
    explicit FuzzWindow(char decimalSeparator);

    MemoryInstrument& instrument;  // owned by the port
    cPort port;
    mBus bus;
    k54L state;
    SystemSettings system;
    HeadlessWindow window;

    HeadlessForm& form() { return window.form; }

    // Back to the factory configuration, address 1, password 0, nothing written, no box, no answer
    // waiting, an empty log: each input starts alike on the one window made for all of them.
    void reset();
    // Connects the window as the operator does, to an instrument in memory with firmware 1.90.0013;
    // whether it is connected.
    bool connect();
    WindowSession& session() { return window.events.session(); }

private:
    FuzzWindow(std::unique_ptr<MemoryInstrument> line, char decimalSeparator);
};

}  // namespace k54::fuzz
