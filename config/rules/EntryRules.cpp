#include "config/rules/EntryRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "config/rules/RangeRules.h"

namespace k54 {
namespace {

constexpr int64_t kNoLimitLow = std::numeric_limits<int32_t>::min();
constexpr int64_t kNoLimitHigh = std::numeric_limits<int32_t>::max();
constexpr int kValueEntryRows[] = {row::rLn, row::Dpl, row::Dph, row::Iol, row::Ioh,
                                   row::Icd, row::Us1, row::Gs1, row::Us2, row::Gs2};

int64_t valueOf(const ParamTable& rows, int index) {
    return rows.at(static_cast<std::size_t>(index)).value;
}

// The range the setpoints refer to: the scaled range in modes 2 and 3, else the display range.
RawLimits referenceRange(const ParamTable& rows) {
    if (refersToScaledRange(rows.at(row::Rng).value)) return {valueOf(rows, row::Iol), valueOf(rows, row::Ioh)};
    return {valueOf(rows, row::Dpl), valueOf(rows, row::Dph)};
}

// Scales the entered number to register units, cut toward zero and limited to 32 bits (a number
// beyond them, an infinity among them, to the nearer bound; not-a-number, which no text parses to, to 0).
int64_t toRaw(float entry, int32_t scale) {
    const long double scaled = std::trunc(static_cast<long double>(scale) * static_cast<long double>(entry));
    if (std::isnan(scaled)) return 0;
    return static_cast<int64_t>(std::clamp<long double>(scaled, kNoLimitLow, kNoLimitHigh));
}

void append(std::vector<int>& to, const std::vector<int>& rows) {
    to.insert(to.end(), rows.begin(), rows.end());
}

}  // namespace

bool isValueEntryRow(int rowIndex) {
    return std::ranges::find(kValueEntryRows, rowIndex) != std::end(kValueEntryRows);
}

RawLimits valueLimits(const ParamTable& rows, int rowIndex) {
    const auto typeRange = inputRangeTenths(rows.at(row::Mod).value);
    const RawLimits reference = referenceRange(rows);
    switch (rowIndex) {
        case row::Dpl:
            return {typeRange ? typeRange->low : kNoLimitLow, valueOf(rows, row::Dph) - 1};
        case row::Dph:
            return {valueOf(rows, row::Dpl) + 1, typeRange ? typeRange->high : kNoLimitHigh};
        case row::Iol:
            return {-9999, valueOf(rows, row::Ioh) - 1};
        case row::Ioh:
            return {valueOf(rows, row::Iol) + 1, 99999};
        case row::Icd:
            return {0, 2000};
        case row::Us1:
            return {reference.low, valueOf(rows, row::Us2) - 1};
        case row::Us2:
            return {valueOf(rows, row::Us1) + 1, reference.high};
        case row::Gs1:
        case row::Gs2:
            return {0, reference.high - reference.low};
        default:
            break;
    }
    const ParamRow& r = rows.at(static_cast<std::size_t>(rowIndex));
    const int64_t factor = r.paramCode == kLineResistanceCode ? 100 : 1;
    return {int64_t{r.lowLimit} * factor, int64_t{r.highLimit} * factor};
}

float nudgedEntry(double number) {
    const auto value = static_cast<float>(number);
    return value >= 0 ? value + 0.0001f : value - 0.0001f;
}

LimitedEntry limitEntry(const ParamTable& rows, int rowIndex, float entry) {
    const ParamRow& r = rows.at(static_cast<std::size_t>(rowIndex));
    const RawLimits limits = valueLimits(rows, rowIndex);
    const int64_t scaled = toRaw(entry, r.scale);
    int64_t raw = scaled;
    if (raw < limits.low)
        raw = limits.low;
    else if (raw > limits.high)
        raw = limits.high;
    raw = std::clamp<int64_t>(raw, kNoLimitLow, kNoLimitHigh);
    const bool held = raw != scaled;
    const bool coarse = r.wide && (raw >= 10000 || raw < -1000);
    if (coarse) raw = raw / 10 * 10;
    return {static_cast<int32_t>(raw), coarse, held};
}

ChangePlan storeEntry(ParamTable& rows, int rowIndex, int32_t raw) {
    ChangePlan plan;
    const int32_t mode = rows.at(row::Rng).value;
    ParamRow& entered = rows.at(static_cast<std::size_t>(rowIndex));
    if (rowIndex == row::Dpl || rowIndex == row::Dph) {
        if (mode == kInputSet || mode == kScaledSet) entered.value = raw;
        if (mode == kInputFull || mode == kScaledFull) {
            append(plan.sends, resetDisplayRange(rows, kInputFull));
            plan.rangeShown = true;
        }
        if (mode == kInputFull || mode == kInputSet) plan.setpointsShown = resetSetpoints(rows, kInputSet);
    } else if (rowIndex == row::Iol || rowIndex == row::Ioh) {
        if (mode == kScaledFull || mode == kScaledSet) {
            entered.value = raw;
            plan.setpointsShown = resetSetpoints(rows, kScaledSet);
        }
    } else {
        entered.value = raw;
    }
    plan.sends.push_back(rowIndex);
    return plan;
}

}  // namespace k54
