// Any text typed or pasted into the ten numeric fields, the address field or the password field, in
// either decimal-separator setting, committed by leaving the field, by Enter or by the password
// buttons. Promises: nothing crashes; a committed value lands only in its own row's registers (or
// the display-range rows its range mode resets) and only within the row's limits; the slave address
// stays 0 - 254; the password register only ever receives 0 - 9999.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/rules/EntryRules.h"
#include "form/KeyCodes.h"
#include "tests/fuzz/FuzzWindow.h"

namespace k54::fuzz {
namespace {

constexpr const char* kFields[] = {"rLn_E", "Dpl_E", "Dph_E", "Iol_E", "Ioh_E", "Icd_E",
                                   "Us1_E", "Gs1_E", "Us2_E", "Gs2_E", "Adr_E", "Psw_E"};
constexpr std::size_t kFieldCount = sizeof(kFields) / sizeof(kFields[0]);

// The registers a row takes.
bool inRow(const ParamRow& row, uint16_t reg) {
    return reg == row.reg || (row.wide && reg == row.reg + 1u);
}

// A stored value lies within the limits, but a large wide value drops its tenth toward zero after
// being held, which may take it up to 9 units past the limit on zero's side.
bool withinLimits(int64_t value, const RawLimits& limits) {
    if (value >= limits.low && value <= limits.high) return true;
    if (value % 10 != 0) return false;
    if (value > limits.high) return value <= 0 && value <= limits.high + 9;
    return value >= 0 && value >= limits.low - 9;
}

void commitNumber(FuzzWindow& w, int rowIndex, const char* field, const std::string& text, bool byEnter) {
    const ParamTable before = w.state.params;
    const RawLimits limits = valueLimits(before, rowIndex);
    HeadlessForm& form = w.form();
    form.focus(field);
    form.operatorTypes(field, text);
    if (byEnter)
        form.pressKey(field, kKeyEnter);
    else
        form.leaveFocus();

    const ParamRow& row = w.state.row(rowIndex);
    if (row.value != before.at(static_cast<std::size_t>(rowIndex)).value && !withinLimits(row.value, limits))
        violated("a committed value outside its row's limits");
    const bool resetsDisplayRange = rowIndex == row::Dpl || rowIndex == row::Dph;
    for (const RegisterWrite& write : w.instrument.writes) {
        const bool own = inRow(row, write.reg);
        const bool reset =
            resetsDisplayRange && (inRow(w.state.row(row::Dpl), write.reg) || inRow(w.state.row(row::Dph), write.reg));
        if (!own && !reset) violated("a committed value reached another parameter's register");
    }
}

void enterAddress(FuzzWindow& w, const std::string& text) {
    w.form().operatorTypes("Adr_E", text);
    if (w.state.slaveAddress > 254) violated("a slave address above 254");
    if (!w.instrument.writes.empty()) violated("the address field wrote to the instrument");
}

void enterPassword(FuzzWindow& w, const std::string& text, uint8_t how) {
    HeadlessForm& form = w.form();
    form.answerNextQuestion(true);
    form.focus("Psw_E");
    if (how & 1) {
        form.operatorTypes("Psw_E", text);  // pasted
    } else {
        for (const char c : text) form.operatorTypesChar("Psw_E", static_cast<unsigned char>(c));
    }
    if (how & 2) {
        form.operatorTypesChar("Psw_E", kKeyEnter);
    } else {
        form.focus("Psw_Write");
        form.click("Psw_Write");
    }
    const uint16_t passwordRegister = w.state.row(row::Psw).reg;
    for (const RegisterWrite& write : w.instrument.writes) {
        if (write.reg != passwordRegister) violated("the password reached another register");
        if (write.value > 9999) violated("a password above 9999");
    }
}

}  // namespace
}  // namespace k54::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace k54;
    using namespace k54::fuzz;
    if (size < 4) return 0;
    const uint8_t flags = data[0];
    const char* field = kFields[data[1] % kFieldCount];
    static FuzzWindow withPoint('.'), withComma(',');
    FuzzWindow& w = (flags & 1) != 0 ? withComma : withPoint;
    w.reset();
    w.state.row(row::Rng).value = data[2] & 3;
    w.state.row(row::Mod).value = data[3] % 25;  // 23 and 24 lie outside the table
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);

    const auto rowIndex = findRowByControl(w.state, field);
    if (!rowIndex) return 0;
    if (isValueEntryRow(*rowIndex))
        commitNumber(w, *rowIndex, field, text, (flags & 2) != 0);
    else if (*rowIndex == row::Adr)
        enterAddress(w, text);
    else
        enterPassword(w, text, static_cast<uint8_t>(flags >> 2));
    w.form().leaveFocus();  // the next input starts with no field focused
    return 0;
}
