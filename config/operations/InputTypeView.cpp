#include "config/operations/InputTypeView.h"

#include "base/TextFormat.h"
#include "config/operations/ConfigReadWrite.h"
#include "config/operations/RowBinding.h"
#include "config/params/InputTypes.h"
#include "config/rules/ListRules.h"

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

// Captions are written as "%4d %5d %2s" would write them.
std::string rangeCaption(int32_t lowTenths, int32_t highTenths) {
    return formatText("%4d %5d", lowTenths / 10, highTenths / 10);
}

}  // namespace

void refreshInputView(WindowSession& s) {
    // Every type outside the table is alike: a type of 278 must not pass for type 22 by its low byte.
    const int32_t type = s.k.row(row::Mod).value;
    s.k.activeInputType = inputTypeInfo(type) ? static_cast<uint8_t>(type) : kNoInputType;
    updateInputPanels(s);
    updateRangeCaptions(s);
}

void updateInputPanels(WindowSession& s) {
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

void updateRangeCaptions(WindowSession& s) {
    const k54L& k = s.k;
    s.form.setText("Units", "Уставки в единицах");
    const std::string full = rangeCaption(k.row(row::Dpl).value, k.row(row::Dph).value) + " " +
                             padLeft(std::string(unitsOf(k.activeInputType)), 2);
    s.form.setText("NameModeAll", full);
    const bool scaled = refersToScaledRange(k.row(row::Rng).value);
    s.form.setText("NameModeLim", scaled ? rangeCaption(k.row(row::Iol).value, k.row(row::Ioh).value) : full);
}

void applyListChange(WindowSession& s, std::string_view sender, ControlKind senderKind) {
    const auto rowIndex = senderKind == ControlKind::Combo ? findRowByControl(s.k, sender) : std::nullopt;
    if (rowIndex) {
        const ChangePlan plan = applyListChoice(s.k.params, *rowIndex, s.form.itemIndex(sender));
        ParameterSends sends(s);
        sends.sendAll(plan.sends);
        showResets(s, plan);
        sends.reportFailure();
        // The new type's ranges come from the instrument; a silent one would only time out again.
        if (plan.readBack && !sends.lineSilent()) readConfiguration(s);
    }
    refreshInputView(s);
}

}  // namespace k54
