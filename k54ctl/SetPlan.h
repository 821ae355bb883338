#pragma once
// What one assignment of "k54ctl set" does to the instrument's configuration, worked out on the rows
// alone: the window's rules of value entry and list changes, and two of k54ctl's own. An assignment of
// the value the row holds writes nothing and brings no follow-up (the window's list would reset the
// ranges of a range mode chosen again). A range change that leaves a setpoint or a
// hysteresis outside its limits holds it to the nearer limit and sends it, as value entry holds a number
// typed outside the limits: the window only shows recomputed setpoints, and an instrument holding a
// setpoint outside its range holds a configuration that would not load.
#include <optional>
#include <string>
#include <vector>

#include "config/params/ParamTable.h"
#include "config/rules/ChangePlan.h"
#include "k54ctl/Assignment.h"

namespace k54::ctl {

struct SetStep {
    ChangePlan plan;                      // plan.sends, then `held`, go to the instrument; none: unchanged
    std::vector<int> held;                // setpoints and hystereses held into the new range
    std::string notes;                    // why what is stored differs from what was asked
    std::optional<std::string> conflict;  // no value fits: the values that leave it no room; nothing changed
    bool unchanged() const { return plan.sends.empty() && !conflict; }
};

// Works the assignment out on the rows, which then hold what the instrument holds once the step is
// written (the window's unsent resets undone); a conflict leaves them as they were.
SetStep workOut(ParamTable& rows, const Assignment& assignment);

}  // namespace k54::ctl
