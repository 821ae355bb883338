#pragma once
// The system under test of the stateful property: k54sim (one for the whole run, reset for each
// sequence), a window connected to it and the trace of the line; each action is performed and then
// checked against the model.
#include <rapidcheck/state.h>

#include <memory>

#include "tests/model/OperatorWindow.h"
#include "tests/model/WireTrace.h"

namespace k54::model {

struct RunStats {
    long actions = 0;
    long sequences = 0;
};

class OperatorRig {
public:
    // Resets `sim` to how it started, then connects a new window to it.
    OperatorRig(test::SimInstrument& sim, const WindowFactory& makeWindow, bool reactivatesAfterBox, char separator,
                RunStats& stats);

    // Performs the action on the window and returns every violated invariant, one line each.
    std::vector<std::string> act(const Action& action, const Model& before, const Model& after,
                                 const Expectation& expected);

private:
    WireTrace trace_;
    std::unique_ptr<OperatorWindow> window_;
    bool fullChecks_;  // only a window manager makes every commit predictable (see Model)
    std::size_t logLines_ = 0;
    RunStats& stats_;
};

class OperatorCommand final : public rc::state::Command<Model, OperatorRig> {
public:
    explicit OperatorCommand(Action action) : action_(std::move(action)) {}
    void checkPreconditions(const Model& model) const override;
    void apply(Model& model) const override;
    void run(const Model& before, OperatorRig& rig) const override;
    void show(std::ostream& os) const override { os << action_; }

private:
    Action action_;
};

// The generator of the next command for the model's state.
rc::Gen<std::shared_ptr<const rc::state::Command<Model, OperatorRig>>> nextCommand(const Model& model);

}  // namespace k54::model
