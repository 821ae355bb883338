#pragma once
// The input type and the display range mode on the window: which input panel shows, the range
// captions, and the common handling of a list change.
#include <string_view>

#include "config/operations/WindowSession.h"
#include "config/rules/RangeRules.h"

namespace k54 {

// The activeInputType of a type outside the input-type table: no panel, no unit, no range.
inline constexpr uint8_t kNoInputType = 0xFF;

void refreshInputView(WindowSession& s);
void updateInputPanels(WindowSession& s);
void updateRangeCaptions(WindowSession& s);
// A parameter list's new choice: stored, sent at once, with the range-mode and input-type follow-ups.
void applyListChange(WindowSession& s, std::string_view sender, ControlKind senderKind);

}  // namespace k54
