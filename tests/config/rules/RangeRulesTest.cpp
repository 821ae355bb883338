// The range rules on the parameter table alone: the defaults a range mode loads and the setpoints
// computed from a reference range.
#include <gtest/gtest.h>

#include "config/rules/RangeRules.h"

namespace k54 {
namespace {

class RangeRules : public ::testing::Test {
protected:
    ParamTable rows = kParamTemplate;
    int32_t& value(int index) { return rows.at(static_cast<std::size_t>(index)).value; }
};

TEST_F(RangeRules, SetpointStepIsTruncatedNotRounded) {
    struct Case {
        int32_t low, high, us1, us2;
    };
    for (const Case c : {Case{-500, 2000, 0, 1500}, Case{0, 1003, 200, 800}, Case{0, 3, 0, 0}, Case{7, 7, 7, 7}}) {
        value(row::Dpl) = c.low;
        value(row::Dph) = c.high;
        EXPECT_TRUE(resetSetpoints(rows, kInputSet));
        EXPECT_EQ(value(row::Us1), c.us1) << c.low << ".." << c.high;
        EXPECT_EQ(value(row::Us2), c.us2) << c.low << ".." << c.high;
        EXPECT_EQ(value(row::Gs1), 1);
        EXPECT_EQ(value(row::Gs2), 1);
    }
}

TEST_F(RangeRules, FullRangeSetpointsForEveryKindOfInput) {
    struct Case {
        int type, us1, us2;
    };
    const Case cases[] = {{0, 0, 1500},      {7, 800, 4700},    {9, 1800, 8700},   {10, 800, 4700},
                          {11, 2200, 10300}, {12, 3400, 13600}, {13, 6000, 15000}, {14, 5000, 20000},
                          {15, 40, 160},     {16, 100, 400},    {17, 200, 800},    {18, 2000, 8000},
                          {19, 40, 160},     {20, 72, 168},     {21, 10, 40},      {22, 640, 2560}};
    for (const Case& c : cases) {
        value(row::Mod) = c.type;
        EXPECT_TRUE(resetSetpoints(rows, kInputFull));
        EXPECT_EQ(value(row::Us1), c.us1) << c.type;
        EXPECT_EQ(value(row::Us2), c.us2) << c.type;
    }
}

TEST_F(RangeRules, ScaledBasisUsesTheScaledRangeAndAnUnknownTypeHasNoFullRange) {
    value(row::Iol) = -1000;
    value(row::Ioh) = 1000;
    EXPECT_TRUE(resetSetpoints(rows, kScaledSet));
    EXPECT_EQ(value(row::Us1), -600);
    EXPECT_EQ(value(row::Us2), 600);

    value(row::Mod) = 278;  // outside the table, whatever its low byte says
    EXPECT_FALSE(resetSetpoints(rows, kInputFull));
    EXPECT_EQ(value(row::Us1), -600);  // untouched
}

TEST_F(RangeRules, EachModeResetsItsRangesUpperLimitFirst) {
    struct Case {
        int32_t mode;
        std::vector<int> sent;
    };
    const Case cases[] = {
        {kInputFull, {row::Dph, row::Dpl}},
        {kInputSet, {row::Dph, row::Dpl}},
        {kScaledFull, {row::Dph, row::Dpl, row::Ioh, row::Iol}},
        {kScaledSet, {row::Ioh, row::Iol}},
    };
    for (const Case& c : cases) {
        rows = kParamTemplate;
        value(row::Mod) = 13;  // 300 ... 1800 °C
        value(row::Dpl) = 1;
        value(row::Dph) = 2;
        value(row::Iol) = 3;
        value(row::Ioh) = 4;
        EXPECT_EQ(resetDisplayRange(rows, c.mode), c.sent) << c.mode;
        const bool display = c.mode != kScaledSet, scaled = c.mode >= kScaledFull;
        EXPECT_EQ(value(row::Dpl), display ? 3000 : 1) << c.mode;
        EXPECT_EQ(value(row::Dph), display ? 18000 : 2) << c.mode;
        EXPECT_EQ(value(row::Iol), scaled ? 0 : 3) << c.mode;
        EXPECT_EQ(value(row::Ioh), scaled ? 1000 : 4) << c.mode;
    }
    value(row::Mod) = -1;  // no full range for an unknown type: the display range stays
    EXPECT_EQ(resetDisplayRange(rows, kInputFull), std::vector<int>{});
}

}  // namespace
}  // namespace k54
