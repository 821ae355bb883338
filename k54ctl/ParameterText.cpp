#include "k54ctl/ParameterText.h"

#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/params/ListItems.h"

namespace k54::ctl {

std::string valueText(int rowIndex, int32_t raw) {
    std::string text = engineeringText(rowIndex, raw);
    if (const auto item = listItemText(rowIndex, raw)) text += " «" + std::string(*item) + "»";
    return text;
}

std::string valueWithUnit(const ParamTable& rows, int rowIndex, int32_t raw) {
    const std::string_view unit = parameterUnit(rows, rowIndex);
    return unit.empty() ? valueText(rowIndex, raw) : valueText(rowIndex, raw) + " " + std::string(unit);
}

std::vector<int> shownRows() {
    std::vector<int> rows;
    for (int r = 0; r < kParamCount; ++r)
        if (!isPasswordRow(r)) rows.push_back(r);
    return rows;
}

}  // namespace k54::ctl
