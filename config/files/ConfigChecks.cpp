#include "config/files/ConfigChecks.h"

#include <algorithm>
#include <limits>

#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/params/InputTypes.h"
#include "config/rules/EntryRules.h"
#include "config/rules/RangeRules.h"

namespace k54 {
namespace {

struct OrderedPair {
    int low, high;
};
constexpr OrderedPair kOrderedPairs[] = {{row::Dpl, row::Dph}, {row::Iol, row::Ioh}, {row::Us1, row::Us2}};

int32_t valueOf(const ParamTable& rows, int index) {
    return rows.at(static_cast<std::size_t>(index)).value;
}

// A wide value that value entry keeps in whole units (1000.0 or more, -100.0 or less). Value entry holds
// a number to its limits before it drops the decimal, so a setpoint or range end entered just beyond its
// partner of such a value ends equal to it: the window makes such pairs, and its files must load.
bool isCoarse(int32_t value) {
    return (value >= 10000 || value <= -1000) && value % 10 == 0;
}

bool endsMeet(const ParamTable& rows, const OrderedPair& pair) {
    const int32_t low = valueOf(rows, pair.low);
    return low == valueOf(rows, pair.high) && isCoarse(low);
}

bool isInverted(const ParamTable& rows, const OrderedPair& pair) {
    return valueOf(rows, pair.low) >= valueOf(rows, pair.high) && !endsMeet(rows, pair);
}

// The limits value entry applies, the partner of a pair whose ends meet taken as a bound it may reach.
RawLimits judgedLimits(const ParamTable& rows, int rowIndex, const OrderedPair* pair) {
    RawLimits limits = valueLimits(rows, rowIndex);
    if (pair && endsMeet(rows, *pair)) (pair->low == rowIndex ? limits.high : limits.low) = valueOf(rows, rowIndex);
    return limits;
}

const OrderedPair* pairOf(int rowIndex) {
    for (const OrderedPair& pair : kOrderedPairs)
        if (pair.low == rowIndex || pair.high == rowIndex) return &pair;
    return nullptr;
}

bool judgedAgainstReference(int rowIndex) {
    return rowIndex == row::Us1 || rowIndex == row::Us2 || rowIndex == row::Gs1 || rowIndex == row::Gs2;
}

std::string limitText(int rowIndex, int64_t raw) {
    const int64_t held =
        std::clamp<int64_t>(raw, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return engineeringText(rowIndex, static_cast<int32_t>(held));
}

ConfigProblem outOfLimits(int rowIndex, int32_t value, const RawLimits& limits) {
    ConfigProblem p =
        makeProblem(ProblemKind::OutOfLimits, std::string(keyOfRow(rowIndex)), engineeringText(rowIndex, value));
    p.low = limitText(rowIndex, limits.low);
    p.high = limitText(rowIndex, limits.high);
    return p;
}

// The bounds of the scaled range's ends, which no other parameter narrows.
constexpr RawLimits kScaledEnds{-9999, 99999};

// The span of every input type's range together: a display range end beyond it fits no input type.
RawLimits widestInputRange() {
    RawLimits widest{std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()};
    for (int type = 0; type < kInputTypeCount; ++type) {
        const auto range = inputRangeTenths(type);
        if (!range) continue;
        widest.low = std::min(widest.low, range->low);
        widest.high = std::max(widest.high, range->high);
    }
    return widest;
}

// The limits a row keeps whatever the other rows hold: those value entry applies where they depend on
// no other row, otherwise the widest any input type and range mode allow.
RawLimits ownLimits(const ParamTable& rows, int rowIndex) {
    const RawLimits inputs = widestInputRange();
    const RawLimits references{std::min(inputs.low, kScaledEnds.low), std::max(inputs.high, kScaledEnds.high)};
    switch (rowIndex) {
        case row::Adr:
            return {kLowestAddress, kHighestAddress};
        case row::Dpl:
        case row::Dph:
            return inputs;
        case row::Iol:
        case row::Ioh:
            return kScaledEnds;
        case row::Us1:
        case row::Us2:
            return references;
        case row::Gs1:
        case row::Gs2:
            return {0, references.high - references.low};
        default:
            return valueLimits(rows, rowIndex);
    }
}

bool isCheckedRow(int rowIndex) {
    return isValueEntryRow(rowIndex) || rowIndex == row::Adr;
}

ConfigProblem inconsistentRange(const ParamTable& rows, const OrderedPair& pair) {
    ConfigProblem p = makeProblem(ProblemKind::InconsistentRange, std::string(keyOfRow(pair.low)),
                                  engineeringText(pair.low, valueOf(rows, pair.low)));
    p.other = keyOfRow(pair.high);
    p.otherValue = engineeringText(pair.high, valueOf(rows, pair.high));
    return p;
}

}  // namespace

std::vector<ConfigProblem> checkParameterValues(const ParamTable& rows) {
    std::vector<ConfigProblem> problems;
    for (int r = 0; r < kParamCount; ++r) {
        if (!isCheckedRow(r)) continue;
        const RawLimits limits = ownLimits(rows, r);
        const int32_t value = valueOf(rows, r);
        if (value < limits.low || value > limits.high) problems.push_back(outOfLimits(r, value, limits));
    }
    return problems;
}

std::vector<ConfigProblem> checkParameterRelations(const ParamTable& rows) {
    std::vector<ConfigProblem> breaches;
    const OrderedPair reference = refersToScaledRange(valueOf(rows, row::Rng)) ? kOrderedPairs[1] : kOrderedPairs[0];
    const bool referenceBroken = isInverted(rows, reference);
    for (int r = 0; r < kParamCount; ++r) {
        if (!isCheckedRow(r) || r == row::Adr) continue;
        const OrderedPair* pair = pairOf(r);
        if (pair && isInverted(rows, *pair)) {
            if (pair->low == r) breaches.push_back(inconsistentRange(rows, *pair));
            continue;
        }
        if (referenceBroken && judgedAgainstReference(r)) continue;
        const RawLimits limits = judgedLimits(rows, r, pair);
        const int32_t value = valueOf(rows, r);
        if (value < limits.low || value > limits.high) breaches.push_back(outOfLimits(r, value, limits));
    }
    return breaches;
}

}  // namespace k54
