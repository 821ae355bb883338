#include "config/InputView.h"

#include <algorithm>

#include "config/ConfigTransfer.h"
#include "config/RowBinding.h"
#include "config/TextFormat.h"

namespace k54 {
namespace {

bool isThermocouple(int type) {
    return type >= 9 && type <= 14;
}
bool isResistance(int type) {
    return type <= 8 || type == 22;
}

std::string_view unitsOf(int32_t type) {
    const auto info = inputTypeInfo(type);
    return info ? info->units : std::string_view{};
}

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Captions are written as "%4d %5d %2s" would write them.
std::string rangeCaption(int32_t lowTenths, int32_t highTenths) {
    return formatText("%4d %5d", lowTenths / 10, highTenths / 10);
}

void showRangeRows(Session& s) {
    for (const int r : {row::Dpl, row::Dph, row::Iol, row::Ioh}) showTenthsValue(s, r);
}

}  // namespace

std::optional<TenthsRange> inputRangeTenths(int32_t inputType) {
    const auto info = inputTypeInfo(inputType);
    if (!info) return std::nullopt;
    return TenthsRange{int64_t{info->rangeLow} * 10, int64_t{info->rangeHigh} * 10};
}

void refreshInputView(Session& s) {
    s.k.activeInputType = static_cast<uint8_t>(s.k.row(row::Mod).value & 0xFF);
    updateInputPanels(s);
    updateRangeCaptions(s);
}

void updateInputPanels(Session& s) {
    const int type = s.k.activeInputType;
    if (isThermocouple(type)) {
        s.form.setVisible("Panel_Tmp", true);
        s.form.setVisible("Panel_Tsp", false);
    } else if (isResistance(type)) {
        s.form.setVisible("Panel_Tmp", false);
        s.form.setVisible("Panel_Tsp", true);
        s.form.setVisible("Panel_Rlin", s.k.row(row::Sch).value == 1);
    } else {
        // Voltage and current, and a type outside the table: no input panel.
        s.form.setVisible("Panel_Tmp", false);
        s.form.setVisible("Panel_Tsp", false);
        s.form.setVisible("Panel_Rlin", false);
    }
}

void updateRangeCaptions(Session& s) {
    const k54L& k = s.k;
    s.form.setText("Units", "Уставки в единицах");
    const std::string full = rangeCaption(k.row(row::Dpl).value, k.row(row::Dph).value) + " " +
                             padLeft(std::string(unitsOf(k.activeInputType)), 2);
    s.form.setText("NameModeAll", full);
    const bool scaled = refersToScaledRange(k.row(row::Rng).value);
    s.form.setText("NameModeLim", scaled ? rangeCaption(k.row(row::Iol).value, k.row(row::Ioh).value) : full);
}

void resetDisplayRange(Session& s, int32_t mode, ParameterSends& sends) {
    const auto range = inputRangeTenths(s.k.row(row::Mod).value);
    if ((mode == kInputFull || mode == kInputSet || mode == kScaledFull) && range) {
        s.k.row(row::Dph).value = saturate(range->high);
        sends.send(row::Dph);
        s.k.row(row::Dpl).value = saturate(range->low);
        sends.send(row::Dpl);
    }
    if (mode == kScaledFull || mode == kScaledSet) {
        s.k.row(row::Ioh).value = 1000;
        sends.send(row::Ioh);
        s.k.row(row::Iol).value = 0;
        sends.send(row::Iol);
    }
    showRangeRows(s);
}

void resetSetpoints(Session& s, int32_t basis) {
    k54L& k = s.k;
    std::optional<TenthsRange> reference;
    if (basis == kInputFull)
        reference = inputRangeTenths(k.row(row::Mod).value);
    else if (basis == kInputSet)
        reference = TenthsRange{k.row(row::Dpl).value, k.row(row::Dph).value};
    else
        reference = TenthsRange{k.row(row::Iol).value, k.row(row::Ioh).value};
    if (!reference) return;  // a type outside the table has no full range to refer to

    const int64_t step = (reference->high - reference->low) / 5;
    k.row(row::Us1).value = saturate(reference->low + step);
    k.row(row::Gs1).value = 1;
    k.row(row::Us2).value = saturate(reference->low + 4 * step);
    k.row(row::Gs2).value = 1;
    for (const int r : {row::Us1, row::Gs1, row::Us2, row::Gs2}) showTenthsValue(s, r);
}

void applyListChange(Session& s, std::string_view sender, ControlKind senderKind) {
    const auto rowIndex = senderKind == ControlKind::Combo ? findRowByControl(s.k, sender) : std::nullopt;
    if (rowIndex) {
        ParamRow& row = s.k.row(*rowIndex);
        row.value = valueForListIndex(row, s.form.itemIndex(sender));
        ParameterSends sends(s);
        sends.send(*rowIndex);
        if (*rowIndex == row::Rng) {
            resetDisplayRange(s, row.value, sends);
            resetSetpoints(s, row.value);
        }
        sends.reportFailure();
        // The new type's ranges come from the instrument; a silent one would only time out again.
        if (*rowIndex == row::Mod && !sends.lineSilent()) readConfiguration(s);
    }
    refreshInputView(s);
}

}  // namespace k54
