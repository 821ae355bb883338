#pragma once
// A parameter list's new choice: the row's new value and what it brings with it.
#include "config/params/ParamTable.h"
#include "config/rules/ChangePlan.h"

namespace k54 {

// Stores the value that item `itemIndex` gives in the list row; the row goes to the instrument first.
// A new range mode then resets the display or scaled range (sent) and the setpoints (not sent); a new
// input type asks for the configuration to be read back.
ChangePlan applyListChoice(ParamTable& rows, int rowIndex, int itemIndex);

}  // namespace k54
