#pragma once
// The invariants checked after every action, from what the line and the window show.
#include <chrono>
#include <string>
#include <vector>

#include "form/Form.h"
#include "tests/model/OperatorModel.h"
#include "tests/model/WireTrace.h"

namespace k54::model {

struct Observed {
    std::vector<Exchange> exchanges;  // the line's traffic during the action
    const WireTrace& trace;
    const Form& form;
    const std::vector<std::string>& boxes;
    std::vector<std::string> newLogLines;
    std::chrono::milliseconds elapsed;
};

// (a) every register written belongs to the action's rows or their documented follow-ups.
void checkWrites(const Expectation& expected, const Observed& seen, std::vector<std::string>& problems);
// (b) the instrument's registers, rebuilt from the trace, equal the model's image.
void checkImage(const Model& model, const Observed& seen, std::vector<std::string>& problems);
// (c) every one of the 31 parameter controls shows its row's value.
void checkControls(const Model& model, const Observed& seen, std::vector<std::string>& problems);
// (d) health: known boxes only (and as many as expected where every commit is predictable), every
// request answered within the documented time-outs, no error in the log while connected, the window's
// connection look and live measurement as the model has them.
void checkHealth(const Model& before, const Model& after, const Expectation& expected, const Observed& seen,
                 bool countBoxes, std::vector<std::string>& problems);
// (h) what the operator tried while the action waited on the line was held, every input of it, and
// changed nothing ((a) to (d) hold as if it had not been tried): checked by the headless window's
// operator (HeadlessOperator.cpp), the window that acts during its waits.

}  // namespace k54::model
