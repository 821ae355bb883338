#include "tests/windows/DriverEnvironment.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>

namespace k54::test {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        throw std::runtime_error(std::string(name) + " is not set: run the Windows tests through scripts/test-windows");
    }
    return value;
}

uint8_t portVariable(const char* name) {
    const std::string text = variable(name);
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size() || number < 1 || number > 255) {
        throw std::runtime_error(std::string(name) + " is not a port number 1-255: '" + text + "'");
    }
    return static_cast<uint8_t>(number);
}

}  // namespace

DriverEnvironment driverEnvironment() {
    return DriverEnvironment{portVariable("K54_INSTRUMENT_PORT"), portVariable("K54_INSTRUMENT_SHORT_PORT"),
                             variable("K54_INSTRUMENT_TRACE"), variable("K54_INSTRUMENT_CONTROL")};
}

}  // namespace k54::test
