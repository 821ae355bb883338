#pragma once
// The items of every parameter list, in order, and how a list row's value picks its item.
#include <optional>
#include <string_view>
#include <vector>

#include "config/params/ParamTable.h"

namespace k54 {

// The items of a list row (the input types for the input-type row); empty for an edit row.
std::vector<std::string_view> listItems(int rowIndex);

// The item that shows a list row's value (one-based rows start at value 1); may lie outside the
// list, which then shows no selection.
int listIndexForValue(const ParamRow& row);
// The value that choosing item `index` of a list row gives.
int32_t valueForListIndex(const ParamRow& row, int index);
// The text of the item a list row's value picks; nothing when the value picks no item.
std::optional<std::string_view> listItemText(int rowIndex, int32_t value);

}  // namespace k54
