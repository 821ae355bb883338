// Any register values the instrument may hold, read as its configuration (registers 0 - 38) and its
// measurement (60 - 61), in either decimal-separator setting. Promises: nothing crashes and no table
// lookup leaves its table (the sanitizers and std::array::at stop the fuzzer); every list shows one
// of its items or none; every text shown is bounded; the unit is one of the table's or none.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/operations/ConfigReadWrite.h"
#include "config/operations/Measurement.h"
#include "config/params/InputTypes.h"
#include "config/rules/MeasurementConversion.h"
#include "tests/fuzz/FuzzWindow.h"

namespace k54::fuzz {
namespace {

constexpr std::size_t kImageBytes = 2 * kConfigRegisterCount;
constexpr std::size_t kLongestNumberText = 14;   // "-214748364.8", "-21474836.48" and a margin
constexpr std::size_t kLongestCaption = 32;      // "%4d %5d %2s" of 32-bit tenths and a unit
constexpr std::size_t kLongestMeasurement = 20;  // "%9.3f" of a 32-bit value and its sign

uint16_t word(const uint8_t* bytes) {
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

void checkShownRows(FuzzWindow& w) {
    HeadlessForm& form = w.form();
    for (const ParamRow& row : w.state.params) {
        if (row.kind == ParamKind::Combo) {
            const int index = form.itemIndex(row.controlName);
            if (index < -1 || index >= form.itemCount(row.controlName)) violated("a list shows no item of its own");
        } else if (form.text(row.controlName).size() > kLongestNumberText) {
            violated("a number shown longer than a 32-bit value makes");
        }
    }
    for (const char* caption : {"NameModeAll", "NameModeLim"})
        if (form.text(caption).size() > kLongestCaption) violated("a range caption longer than its format makes");
}

void checkMeasurement(FuzzWindow& w) {
    if (!pollMeasurement(w.session())) violated("a good measurement reply was not shown");
    if (w.form().text("sMgr").size() > kLongestMeasurement) violated("a measurement text beyond its format");
    const std::string unit = w.form().text("sUnt");
    bool known = unit.empty();
    for (const InputTypeInfo& type : kInputTypes) known = known || unit == type.units;
    if (!known) violated("a unit that is not the input table's");
}

}  // namespace
}  // namespace k54::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace k54;
    using namespace k54::fuzz;
    std::array<uint8_t, kImageBytes + 5> input{};
    std::copy_n(data, std::min(size, input.size()), input.begin());
    static FuzzWindow withPoint('.'), withComma(',');
    FuzzWindow& w = (input.back() & 1) != 0 ? withComma : withPoint;
    for (std::size_t k = 0; k < kConfigRegisterCount; ++k) w.instrument.registers.at(k) = word(&input.at(2 * k));
    w.instrument.registers.at(kRegMeasurement) = word(&input.at(kImageBytes));
    w.instrument.registers.at(kRegMeasurement + 1u) = word(&input.at(kImageBytes + 2));

    if (!readConfiguration(w.session())) violated("a good configuration reply was not read");
    checkShownRows(w);
    checkMeasurement(w);
    return 0;
}
