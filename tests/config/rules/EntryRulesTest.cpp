// The rules of value entry on the parameter table alone: limits, the entered number's register value,
// and what each range mode stores, resets and sends.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <cmath>

#include "config/rules/EntryRules.h"
#include "config/rules/RangeRules.h"

namespace k54 {
namespace {

class EntryRules : public ::testing::Test {
protected:
    ParamTable rows = kParamTemplate;
    int32_t& value(int index) { return rows.at(static_cast<std::size_t>(index)).value; }
    void setRows(std::initializer_list<std::pair<int, int32_t>> values) {
        for (const auto& [index, v] : values) value(index) = v;
    }
};

TEST_F(EntryRules, LimitsFollowTheInputTypeTheModeAndTheOtherRows) {
    setRows({{row::Mod, 13},
             {row::Rng, kInputSet},
             {row::Dpl, 4000},
             {row::Dph, 9000},
             {row::Iol, -500},
             {row::Ioh, 500},
             {row::Us1, 5000},
             {row::Us2, 6000}});
    struct Case {
        int row;
        int64_t low, high;
    };
    const Case inputSet[] = {{row::rLn, 0, 10000},   {row::Dpl, 3000, 8999},  {row::Dph, 4001, 18000},
                             {row::Iol, -9999, 499}, {row::Ioh, -499, 99999}, {row::Icd, 0, 2000},
                             {row::Us1, 4000, 5999}, {row::Us2, 5001, 9000},  {row::Gs1, 0, 5000},
                             {row::Gs2, 0, 5000}};
    for (const Case& c : inputSet) {
        const RawLimits limits = valueLimits(rows, c.row);
        EXPECT_EQ(limits.low, c.low) << c.row;
        EXPECT_EQ(limits.high, c.high) << c.row;
    }
    value(row::Rng) = kScaledFull;  // the setpoints now refer to the scaled range
    EXPECT_EQ(valueLimits(rows, row::Us1).low, -500);
    EXPECT_EQ(valueLimits(rows, row::Us2).high, 500);
    EXPECT_EQ(valueLimits(rows, row::Gs2).high, 1000);
    value(row::Mod) = 300;  // no table range: the display range is bounded only by 32 bits
    EXPECT_EQ(valueLimits(rows, row::Dpl).low, INT32_MIN);
    EXPECT_EQ(valueLimits(rows, row::Dph).high, INT32_MAX);
}

TEST_F(EntryRules, TheNumberIsCutThenHeldThenCoarsened) {
    setRows(
        {{row::Mod, 14}, {row::Rng, kInputSet}, {row::Dpl, 0}, {row::Dph, 25000}, {row::Us1, 0}, {row::Us2, 20000}});
    struct Case {
        int row;
        double typed;
        int32_t raw;
        bool coarse, held;
    };
    const Case cases[] = {
        {row::Us1, 12.35, 123, false, false},   {row::Us1, -12.35, 0, false, true},  // below the display range's low
        {row::Dph, 1234.5, 12340, true, false}, {row::Icd, 25, 2000, false, true},  {row::rLn, 150, 10000, false, true},
        {row::Us1, 50.09, 500, false, false},   {row::Dpl, -1e30, 0, false, true},  {row::Dph, 1e30, 25000, true, true},
        {row::Us2, 2560.05, 25000, true, true},  // held to the display range's high, then coarse
        {row::Us2, 1000.5, 10000, true, false},  // 10005, coarsened
    };
    for (const Case& c : cases) {
        const LimitedEntry entry = limitEntry(rows, c.row, nudgedEntry(c.typed));
        EXPECT_EQ(entry.raw, c.raw) << c.row << " " << c.typed;
        EXPECT_EQ(entry.coarse, c.coarse) << c.row << " " << c.typed;
        EXPECT_EQ(entry.held, c.held) << c.row << " " << c.typed;
    }
}

TEST_F(EntryRules, EachModeStoresResetsAndSendsAsItAllows) {
    struct Case {
        int row;
        int32_t mode;
        bool stored;
        std::vector<int> sends;
        bool rangeShown, setpointsShown;
    };
    const Case cases[] = {
        {row::Dpl, kInputFull, false, {row::Dph, row::Dpl, row::Dpl}, true, true},
        {row::Dpl, kInputSet, true, {row::Dpl}, false, true},
        {row::Dph, kScaledFull, false, {row::Dph, row::Dpl, row::Dph}, true, false},
        {row::Dph, kScaledSet, true, {row::Dph}, false, false},
        {row::Iol, kInputFull, false, {row::Iol}, false, false},
        {row::Ioh, kInputSet, false, {row::Ioh}, false, false},
        {row::Iol, kScaledFull, true, {row::Iol}, false, true},
        {row::Ioh, kScaledSet, true, {row::Ioh}, false, true},
        {row::Us1, kInputFull, true, {row::Us1}, false, false},
        {row::Icd, kScaledSet, true, {row::Icd}, false, false},
    };
    for (const Case& c : cases) {
        rows = kParamTemplate;
        setRows({{row::Mod, 22}, {row::Rng, c.mode}, {row::Dpl, 100}, {row::Dph, 3000}});
        const int32_t entered = 55;
        const ChangePlan plan = storeEntry(rows, c.row, entered);
        EXPECT_EQ(value(c.row) == entered, c.stored) << c.row << " mode " << c.mode;
        EXPECT_EQ(plan.sends, c.sends) << c.row << " mode " << c.mode;
        EXPECT_EQ(plan.rangeShown, c.rangeShown) << c.row << " mode " << c.mode;
        EXPECT_EQ(plan.setpointsShown, c.setpointsShown) << c.row << " mode " << c.mode;
        EXPECT_FALSE(plan.readBack);
    }
}

TEST(EntryRows, AreTheTenNumericParameters) {
    int count = 0;
    for (int i = 0; i < kParamCount; ++i) {
        if (!isValueEntryRow(i)) continue;
        ++count;
        EXPECT_EQ(kParamTemplate.at(static_cast<std::size_t>(i)).kind, ParamKind::Edit) << i;
    }
    EXPECT_EQ(count, 10);
    EXPECT_FALSE(isValueEntryRow(row::Adr));
    EXPECT_FALSE(isValueEntryRow(row::Psw));
    EXPECT_FALSE(isValueEntryRow(-1));
}

// Whatever is typed and whatever the other rows hold, the stored value lies within the row's limits,
// except that a large wide value then drops its tenth, toward zero, which may take it up to 9 units
// past the limit on zero's side.
RC_GTEST_PROP(EntryRulesProperty, TheValueIsHeldToItsLimits, (int32_t mode, double typed)) {
    RC_PRE(!std::isnan(typed));  // the number parser never gives one
    ParamTable rows = kParamTemplate;
    rows.at(row::Mod).value = *rc::gen::inRange(-2, 25);
    rows.at(row::Rng).value = mode & 3;
    for (const int r : {row::Dpl, row::Dph, row::Iol, row::Ioh, row::Us1, row::Us2})
        rows.at(static_cast<std::size_t>(r)).value = *rc::gen::inRange(-200000, 200000);
    const int entryRow = *rc::gen::elementOf(std::vector<int>{row::rLn, row::Dpl, row::Dph, row::Iol, row::Ioh,
                                                              row::Icd, row::Us1, row::Gs1, row::Us2, row::Gs2});
    const RawLimits limits = valueLimits(rows, entryRow);
    RC_PRE(limits.low <= limits.high);
    const LimitedEntry entry = limitEntry(rows, entryRow, nudgedEntry(typed));
    if (entry.coarse) {
        RC_ASSERT(entry.raw % 10 == 0);
        RC_ASSERT(entry.raw >= limits.low - 9 && entry.raw <= limits.high + 9);
        if (entry.raw > limits.high) RC_ASSERT(entry.raw <= 0);
        if (entry.raw < limits.low) RC_ASSERT(entry.raw >= 0);
    } else {
        RC_ASSERT(entry.raw >= limits.low);
        RC_ASSERT(entry.raw <= limits.high);
    }
}

}  // namespace
}  // namespace k54
