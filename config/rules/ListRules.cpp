#include "config/rules/ListRules.h"

#include "config/params/ListItems.h"
#include "config/rules/RangeRules.h"

namespace k54 {

ChangePlan applyListChoice(ParamTable& rows, int rowIndex, int itemIndex) {
    ParamRow& chosen = rows.at(static_cast<std::size_t>(rowIndex));
    chosen.value = valueForListIndex(chosen, itemIndex);
    ChangePlan plan;
    plan.sends.push_back(rowIndex);
    if (rowIndex == row::Rng) {
        const std::vector<int> reset = resetDisplayRange(rows, chosen.value);
        plan.sends.insert(plan.sends.end(), reset.begin(), reset.end());
        plan.rangeShown = true;
        plan.setpointsShown = resetSetpoints(rows, chosen.value);
    }
    plan.readBack = rowIndex == row::Mod;
    return plan;
}

}  // namespace k54
