#include "k54ctl/SetPlan.h"

#include <algorithm>
#include <limits>

#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/params/ListItems.h"
#include "config/rules/EntryRules.h"
#include "config/rules/ListRules.h"
#include "config/rules/RangeRules.h"
#include "k54ctl/ParameterText.h"

namespace k54::ctl {
namespace {

constexpr int kSetpointRows[] = {row::Us1, row::Gs1, row::Us2, row::Gs2};
constexpr int kRangeRows[] = {row::Rng, row::Dpl, row::Dph, row::Iol, row::Ioh};

int32_t& valueAt(ParamTable& rows, int index) {
    return rows.at(static_cast<std::size_t>(index)).value;
}

bool contains(const std::vector<int>& rows, int index) {
    return std::ranges::find(rows, index) != rows.end();
}

// A register value's engineering text; a limit beyond the register (a range without bound) as it is.
std::string limitText(int row, int64_t limit) {
    if (limit < std::numeric_limits<int32_t>::min() || limit > std::numeric_limits<int32_t>::max())
        return std::to_string(limit);
    return engineeringText(row, static_cast<int32_t>(limit));
}

std::string keyValue(const ParamTable& rows, int index) {
    return std::string(keyOfRow(index)) + " = " +
           engineeringText(index, rows.at(static_cast<std::size_t>(index)).value);
}

// The ends of the range the setpoints refer to, by their keys.
std::pair<int, int> referenceRows(const ParamTable& rows) {
    if (refersToScaledRange(rows.at(row::Rng).value)) return {row::Iol, row::Ioh};
    return {row::Dpl, row::Dph};
}

// What bounds a numeric row from below and from above, for the text of a conflict.
std::pair<std::string, std::string> boundSources(const ParamTable& rows, int index) {
    const auto [refLow, refHigh] = referenceRows(rows);
    const std::string inputType = "the input type's range (" + keyValue(rows, row::Mod) + ")";
    switch (index) {
        case row::Us1:
            return {keyValue(rows, refLow), keyValue(rows, row::Us2)};
        case row::Us2:
            return {keyValue(rows, row::Us1), keyValue(rows, refHigh)};
        case row::Gs1:
        case row::Gs2:
            return {keyValue(rows, refLow), keyValue(rows, refHigh)};
        case row::Dpl:
            return {inputType, keyValue(rows, row::Dph)};
        case row::Dph:
            return {keyValue(rows, row::Dpl), inputType};
        case row::Iol:
            return {"its lowest value", keyValue(rows, row::Ioh)};
        case row::Ioh:
            return {keyValue(rows, row::Iol), "its highest value"};
        default:
            return {"its lowest value", "its highest value"};
    }
}

std::string conflictText(const ParamTable& rows, const Assignment& a) {
    const auto [low, high] = boundSources(rows, a.row);
    return std::string(keyOfRow(a.row)) + "=" + a.text + " cannot be set: its limits come from " + low + " and " +
           high + ", which leave it no room; change them first";
}

// Holds the setpoints and hystereses to their limits in the range they refer to: setpoint 2 first (it
// bounds setpoint 1 from above), so that both end inside the range and in order. The rows changed.
std::vector<int> holdSetpoints(ParamTable& rows) {
    const auto [refLow, refHigh] = referenceRows(rows);
    const int64_t low = valueAt(rows, refLow), high = valueAt(rows, refHigh);
    if (low >= high) return {};  // a broken range bounds nothing
    const std::pair<int, std::pair<int64_t, int64_t>> bounds[] = {
        {row::Us2, {low + 1, high}}, {row::Us1, {low, -1}}, {row::Gs1, {0, high - low}}, {row::Gs2, {0, high - low}}};
    std::vector<int> held;
    for (auto [index, limits] : bounds) {
        if (index == row::Us1) limits.second = int64_t{valueAt(rows, row::Us2)} - 1;
        int32_t& value = valueAt(rows, index);
        const auto kept = static_cast<int32_t>(std::clamp<int64_t>(value, limits.first, limits.second));
        if (kept == value) continue;
        value = kept;
        held.push_back(index);
    }
    return held;
}

// The setpoints the window recomputes on a range change but does not send are what the instrument
// still holds; a changed range holds those it leaves outside into it.
void finish(SetStep& step, const ParamTable& before, ParamTable& rows) {
    for (const int r : kSetpointRows)
        if (!contains(step.plan.sends, r)) valueAt(rows, r) = before.at(static_cast<std::size_t>(r)).value;
    const auto same = [&](int r) { return valueAt(rows, r) == before.at(static_cast<std::size_t>(r)).value; };
    if (std::ranges::any_of(kRangeRows, [&](int r) { return !same(r); })) step.held = holdSetpoints(rows);
}

SetStep enterValue(ParamTable& rows, const Assignment& a) {
    SetStep step;
    const RawLimits limits = valueLimits(rows, a.row);
    if (limits.low > limits.high) {
        step.conflict = conflictText(rows, a);
        return step;
    }
    const ParamTable before = rows;
    const LimitedEntry entry = limitEntry(rows, a.row, nudgedEntry(*a.number));
    if (entry.held)
        step.notes += " (" + a.text + " is outside " + limitText(a.row, limits.low) + " ... " +
                      limitText(a.row, limits.high) + ": held to the nearer limit)";
    if (entry.coarse) step.notes += entry.raw < 0 ? " (below -100 in whole units)" : " (from 1000 on in whole units)";
    if (entry.raw == valueAt(rows, a.row)) return step;  // what it holds: nothing to send, nothing to reset
    step.plan = storeEntry(rows, a.row, entry.raw);
    if (valueAt(rows, a.row) != entry.raw)
        step.notes += " (" + std::string(keyOfRow(row::Rng)) + " " + valueText(row::Rng, valueAt(rows, row::Rng)) +
                      " does not let it be set)";
    finish(step, before, rows);
    return step;
}

SetStep chooseItem(ParamTable& rows, const Assignment& a) {
    SetStep step;
    if (a.raw == valueAt(rows, a.row)) return step;  // the item it has: a range mode would reset its ranges
    const ParamTable before = rows;
    ParamRow chosen = rows.at(static_cast<std::size_t>(a.row));
    chosen.value = a.raw;
    step.plan = applyListChoice(rows, a.row, listIndexForValue(chosen));
    finish(step, before, rows);
    return step;
}

}  // namespace

SetStep workOut(ParamTable& rows, const Assignment& assignment) {
    return assignment.number ? enterValue(rows, assignment) : chooseItem(rows, assignment);
}

}  // namespace k54::ctl
