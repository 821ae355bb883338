// The parameter lists' items and how a list row's value picks one.
#include <gtest/gtest.h>

#include "config/params/ListItems.h"

namespace k54 {
namespace {

TEST(ListItems, EveryListRowHasItsItemsAndNoEditRowHasAny) {
    const std::pair<int, std::size_t> counts[] = {
        {row::Mod, 23}, {row::Sch, 4}, {row::Brn, 2}, {row::Ufp, 4}, {row::Rng, 4}, {row::Ind, 4}, {row::Ndt, 30},
        {row::Out, 4},  {row::Sqr, 2}, {row::Ien, 2}, {row::Mcj, 2}, {row::Spd, 7}, {row::Ptr, 1}, {row::Lt, 9},
        {row::Lp, 2},   {row::La, 16}, {row::Ld, 16}, {row::Rl1, 3}, {row::Rl2, 3}};
    for (const auto& [rowIndex, count] : counts) EXPECT_EQ(listItems(rowIndex).size(), count) << rowIndex;
    for (int i = 0; i < kParamCount; ++i) {
        const bool isList = kParamTemplate.at(static_cast<std::size_t>(i)).kind == ParamKind::Combo;
        EXPECT_EQ(listItems(i).empty(), !isList) << i;
    }
    EXPECT_TRUE(listItems(-1).empty());
    EXPECT_TRUE(listItems(kParamCount).empty());
}

TEST(ListItems, AValuePicksItsItemOrNone) {
    struct Case {
        int row;
        int32_t value;
        std::optional<std::string_view> text;
    };
    const Case cases[] = {
        {row::Mod, 22, "Сопротивление 0...320 Ом (R)"},
        {row::Mod, 23, std::nullopt},
        {row::Ndt, 1, "1"},
        {row::Ndt, 0, std::nullopt},
        {row::La, 16, "16"},
        {row::La, 17, std::nullopt},
        {row::Ptr, 1, std::nullopt},  // the template's initial value
        {row::Rl2, 2, "Инверсная"},
        {row::Spd, -1, std::nullopt},
        {row::Us1, 0, std::nullopt},  // an edit row has no items
    };
    for (const Case& c : cases) EXPECT_EQ(listItemText(c.row, c.value), c.text) << c.row << " " << c.value;
}

TEST(ListItems, ChoosingAnItemGivesTheValueThatShowsIt) {
    for (int i = 0; i < kParamCount; ++i) {
        ParamRow row = kParamTemplate.at(static_cast<std::size_t>(i));
        for (int index = 0; index < static_cast<int>(listItems(i).size()); ++index) {
            row.value = valueForListIndex(row, index);
            EXPECT_EQ(listIndexForValue(row), index) << row.controlName;
        }
    }
    ParamRow averaging = kParamTemplate.at(row::Ndt);
    EXPECT_EQ(valueForListIndex(averaging, 0), 1);
    averaging.value = INT32_MIN;
    EXPECT_EQ(listIndexForValue(averaging), -1);
}

}  // namespace
}  // namespace k54
