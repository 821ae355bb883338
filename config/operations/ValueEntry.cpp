#include "config/operations/ValueEntry.h"

#include <algorithm>

#include "config/operations/ConfigReadWrite.h"
#include "config/operations/InputTypeView.h"
#include "config/operations/RowBinding.h"
#include "config/rules/EntryRules.h"
#include "config/rules/NumberText.h"

namespace k54 {
namespace {

float nudged(float value, float by) {
    return value >= 0 ? value + by : value - by;
}

void replaceSeparators(std::string& text, char decimalSeparator) {
    const char other = decimalSeparator == ',' ? '.' : ',';
    std::replace(text.begin(), text.end(), other, decimalSeparator);
}

// The row of the edit being committed. The row remembered at the last focus-in is not used: after a
// message box the next field's focus-in may never come, and that row would then be another field's.
std::optional<int> committedRow(const WindowSession& s, std::string_view sender) {
    const auto rowIndex = findRowByControl(s.k, sender);
    return rowIndex && isValueEntryRow(*rowIndex) ? rowIndex : std::nullopt;
}

}  // namespace

void beginValueEntry(WindowSession& s, std::string_view sender) {
    if (const auto rowIndex = findRowByControl(s.k, sender)) {
        const ParamRow& row = s.k.row(*rowIndex);
        s.k.displayValue = static_cast<float>(static_cast<long double>(row.value) / row.scale);
        s.k.displayValue = nudged(s.k.displayValue, 0.001f);
        s.form.setText(sender, formatWithTemplate(s.k.displayValue, row.format, s.system.decimalSeparator));
        s.form.selectAllText(sender);
        s.k.editRow = static_cast<int16_t>(*rowIndex);
    }
    refreshInputView(s);
}

void commitValueEntry(WindowSession& s, std::string_view sender) {
    const auto rowIndex = committedRow(s, sender);
    if (!rowIndex) return;
    const ParamRow& row = s.k.row(*rowIndex);
    const char separator = s.system.decimalSeparator;
    std::string text = s.form.text(sender);
    replaceSeparators(text, separator);
    s.form.setText(sender, text);
    const auto number = parseDecimal(text, separator);
    if (!number) {
        s.form.showInformation(kBadNumber);
        return;
    }
    s.k.entryValue = nudgedEntry(*number);

    const LimitedEntry entry = limitEntry(s.k.params, *rowIndex, s.k.entryValue);
    const ChangePlan plan = storeEntry(s.k.params, *rowIndex, entry.raw);
    showResets(s, plan);
    s.form.setText(sender, formatWithTemplate(s.k.entryValue, row.format, separator));
    ParameterSends sends(s);
    sends.sendAll(plan.sends);
    sends.reportFailure();
    s.form.setText(sender, formatWithTemplate(static_cast<long double>(row.value) / row.scale,
                                              entry.coarse ? "0" : row.format, separator));
}

void applyAddressText(WindowSession& s) {
    const auto number = parseDecimal(s.form.text("Adr_E"), s.system.decimalSeparator);
    if (!number) {
        s.form.showMessage(kBadNumber);
        return;
    }
    const auto address = static_cast<float>(*number);
    if (address >= 0.0f && address < 254.5f) s.k.slaveAddress = static_cast<uint8_t>(address);
    s.form.setText("Adr_E", std::to_string(s.k.slaveAddress));
}

}  // namespace k54
