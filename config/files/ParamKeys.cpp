#include "config/files/ParamKeys.h"

#include "config/params/InputTypes.h"
#include "config/rules/RangeRules.h"

namespace k54 {

std::optional<int> rowForKey(std::string_view key) {
    for (int i = 0; i < kParamCount; ++i)
        if (kParamKeys.at(static_cast<std::size_t>(i)).key == key) return i;
    return std::nullopt;
}

std::string_view keyOfRow(int rowIndex) {
    return kParamKeys.at(static_cast<std::size_t>(rowIndex)).key;
}

std::string_view parameterUnit(const ParamTable& rows, int rowIndex) {
    const ParamKey& entry = kParamKeys.at(static_cast<std::size_t>(rowIndex));
    const auto inputUnit = [&rows]() -> std::string_view {
        const auto type = inputTypeInfo(rows.at(row::Mod).value);
        return type ? type->units : std::string_view{};
    };
    switch (entry.unitSource) {
        case UnitSource::Fixed:
            return entry.fixedUnit;
        case UnitSource::InputType:
            return inputUnit();
        case UnitSource::Reference:
            return refersToScaledRange(rows.at(row::Rng).value) ? std::string_view{} : inputUnit();
        case UnitSource::None:
            break;
    }
    return {};
}

bool isLinkRow(int rowIndex) {
    return rowIndex == row::Adr || rowIndex == row::Spd || rowIndex == row::Ptr;
}

}  // namespace k54
