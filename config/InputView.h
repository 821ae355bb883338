#pragma once
// The input type and the display range mode: which input panel shows, the range captions, the range
// and setpoint resets, and the common handling of a list change.
#include <optional>
#include <string_view>

#include "config/InputTypes.h"
#include "config/Session.h"

namespace k54 {

// RangeMode, the value of the range-mode list: where the setpoints refer to and what may be set.
enum RangeMode : int32_t { kInputFull = 0, kInputSet = 1, kScaledFull = 2, kScaledSet = 3 };

// Modes 2 and 3 refer the setpoints to the scaled range (bit 1 of the mode).
inline bool refersToScaledRange(int32_t mode) {
    return (mode & 2) != 0;
}

// The input type's range in tenths of its unit, or nothing for a type outside the table.
struct TenthsRange {
    int64_t low, high;
};
std::optional<TenthsRange> inputRangeTenths(int32_t inputType);

void refreshInputView(Session& s);
void updateInputPanels(Session& s);
void updateRangeCaptions(Session& s);
class ParameterSends;

// Loads the default display or scaled range for the mode and sends what changed.
void resetDisplayRange(Session& s, int32_t mode, ParameterSends& sends);
// Setpoints at one and four fifths of the reference range of the basis, hystereses 0.1; nothing sent.
void resetSetpoints(Session& s, int32_t basis);
// A parameter list's new choice: stored, sent at once, with the range-mode and input-type follow-ups.
void applyListChange(Session& s, std::string_view sender, ControlKind senderKind);

}  // namespace k54
