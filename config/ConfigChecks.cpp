#include "config/ConfigChecks.h"

#include <algorithm>
#include <limits>

#include "config/EntryRules.h"
#include "config/ParamKeys.h"
#include "config/ParamValueText.h"
#include "config/RangeRules.h"

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
    if (rowIndex == row::Adr) return {kLowestAddress, kHighestAddress};
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
    const OrderedPair reference = refersToScaledRange(valueOf(rows, row::Rng)) ? kOrderedPairs[1] : kOrderedPairs[0];
    const bool referenceBroken = isInverted(rows, reference);
    for (int r = 0; r < kParamCount; ++r) {
        if (!isValueEntryRow(r) && r != row::Adr) continue;
        const OrderedPair* pair = pairOf(r);
        if (pair && isInverted(rows, *pair)) {
            if (pair->low == r) problems.push_back(inconsistentRange(rows, *pair));
            continue;
        }
        if (referenceBroken && judgedAgainstReference(r)) continue;
        const RawLimits limits = judgedLimits(rows, r, pair);
        const int32_t value = valueOf(rows, r);
        if (value >= limits.low && value <= limits.high) continue;
        ConfigProblem p = makeProblem(ProblemKind::OutOfLimits, std::string(keyOfRow(r)), engineeringText(r, value));
        p.low = limitText(r, limits.low);
        p.high = limitText(r, limits.high);
        problems.push_back(std::move(p));
    }
    return problems;
}

}  // namespace k54
