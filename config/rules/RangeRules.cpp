#include "config/rules/RangeRules.h"

#include <algorithm>

#include "config/params/InputTypes.h"

namespace k54 {
namespace {

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

ParamRow& at(ParamTable& rows, int index) {
    return rows.at(static_cast<std::size_t>(index));
}

void set(ParamTable& rows, int index, int64_t value, std::vector<int>& changed) {
    at(rows, index).value = saturate(value);
    changed.push_back(index);
}

}  // namespace

std::optional<TenthsRange> inputRangeTenths(int32_t inputType) {
    const auto info = inputTypeInfo(inputType);
    if (!info) return std::nullopt;
    return TenthsRange{int64_t{info->rangeLow} * 10, int64_t{info->rangeHigh} * 10};
}

std::vector<int> resetDisplayRange(ParamTable& rows, int32_t mode) {
    std::vector<int> changed;
    const auto range = inputRangeTenths(at(rows, row::Mod).value);
    if ((mode == kInputFull || mode == kInputSet || mode == kScaledFull) && range) {
        set(rows, row::Dph, range->high, changed);
        set(rows, row::Dpl, range->low, changed);
    }
    if (mode == kScaledFull || mode == kScaledSet) {
        set(rows, row::Ioh, 1000, changed);
        set(rows, row::Iol, 0, changed);
    }
    return changed;
}

bool resetSetpoints(ParamTable& rows, int32_t basis) {
    std::optional<TenthsRange> reference;
    if (basis == kInputFull)
        reference = inputRangeTenths(at(rows, row::Mod).value);
    else if (basis == kInputSet)
        reference = TenthsRange{at(rows, row::Dpl).value, at(rows, row::Dph).value};
    else
        reference = TenthsRange{at(rows, row::Iol).value, at(rows, row::Ioh).value};
    if (!reference) return false;

    const int64_t step = (reference->high - reference->low) / 5;
    at(rows, row::Us1).value = saturate(reference->low + step);
    at(rows, row::Gs1).value = 1;
    at(rows, row::Us2).value = saturate(reference->low + 4 * step);
    at(rows, row::Gs2).value = 1;
    return true;
}

}  // namespace k54
