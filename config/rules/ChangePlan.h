#pragma once
// What an operator's change does to the register image besides the changed row itself: which rows then
// go to the instrument, in order, and which follow-ups the window shows.
#include <vector>

namespace k54 {

struct ChangePlan {
    std::vector<int> sends;       // rows to write to the instrument, in this order
    bool rangeShown = false;      // the display and scaled range rows were reset
    bool setpointsShown = false;  // the setpoint and hysteresis rows were reset (they are not sent)
    bool readBack = false;        // a new input type: its ranges come from the instrument's configuration
};

}  // namespace k54
