#include "config/operations/RowBinding.h"

#include "config/params/ListItems.h"
#include "config/rules/NumberText.h"

namespace k54 {

void bindRows(WindowSession& s) {
    for (ParamRow& row : s.k.params) row.bound = s.form.hasControl(row.controlName);
}

std::string readDisplayText(const ParamRow& row, char decimalSeparator, float& displayValue) {
    displayValue = static_cast<float>(row.value) / static_cast<float>(row.scale);
    displayValue = displayValue + 0.0001f;
    return formatWithTemplate(displayValue, row.format, decimalSeparator);
}

void showReadValue(WindowSession& s, int rowIndex) {
    const ParamRow& row = s.k.row(rowIndex);
    if (!row.bound || rowIndex == row::Psw) return;
    if (row.kind == ParamKind::Combo) {
        s.form.setItemIndex(row.controlName, listIndexForValue(row));
    } else {
        s.form.setText(row.controlName, readDisplayText(row, s.system.decimalSeparator, s.k.displayValue));
    }
}

void showTenthsValue(WindowSession& s, int rowIndex) {
    const ParamRow& row = s.k.row(rowIndex);
    if (!row.bound) return;
    s.form.setText(row.controlName, formatWithTemplate(static_cast<long double>(row.value) * 0.1L, row.format,
                                                       s.system.decimalSeparator));
}

void showResets(WindowSession& s, const ChangePlan& plan) {
    if (plan.rangeShown)
        for (const int r : {row::Dpl, row::Dph, row::Iol, row::Ioh}) showTenthsValue(s, r);
    if (plan.setpointsShown)
        for (const int r : {row::Us1, row::Gs1, row::Us2, row::Gs2}) showTenthsValue(s, r);
}

}  // namespace k54
