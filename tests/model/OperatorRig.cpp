#include "tests/model/OperatorRig.h"

#include <sstream>

#include "tests/model/Generators.h"
#include "tests/model/Invariants.h"

namespace k54::model {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
}

// The instrument and the line as k54sim started them; the reset takes effect before the next request
// is served, so before the new window's first.
const test::SimInstrument& reset(test::SimInstrument& sim) {
    sim.control("reset");
    return sim;
}

}  // namespace

OperatorRig::OperatorRig(test::SimInstrument& sim, const WindowFactory& makeWindow, bool reactivatesAfterBox,
                         char separator, RunStats& stats)
    : trace_(reset(sim).tracePath()),
      window_(makeWindow({sim, reactivatesAfterBox, separator})),
      fullChecks_(reactivatesAfterBox),
      stats_(stats) {
    trace_.takeNew();  // the connection's own traffic
    logLines_ = lines(window_->form().logText()).size();
    ++stats_.sequences;
}

std::vector<std::string> OperatorRig::act(const Action& action, const Model& before, const Model& after,
                                          const Expectation& expected) {
    const auto start = std::chrono::steady_clock::now();
    window_->perform(action, expected);
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    ++stats_.actions;

    std::vector<std::string> log = lines(window_->form().logText());
    const std::size_t from = std::min(logLines_, log.size());
    logLines_ = log.size();
    const Observed seen{trace_.takeNew(),
                        trace_,
                        window_->form(),
                        window_->boxes(),
                        {log.begin() + static_cast<std::ptrdiff_t>(from), log.end()},
                        elapsed};
    std::vector<std::string> problems;
    checkWrites(expected, seen, problems);
    if (fullChecks_) {
        checkImage(after, seen, problems);
        checkControls(after, seen, problems);
    }
    checkHealth(before, after, expected, seen, fullChecks_, problems);
    window_->check(action, after, problems);
    return problems;
}

void OperatorCommand::checkPreconditions(const Model& model) const {
    RC_PRE(model.allows(action_));
}

void OperatorCommand::apply(Model& model) const {
    model.apply(action_);
}

void OperatorCommand::run(const Model& before, OperatorRig& rig) const {
    Model after = before;
    const Expectation expected = after.apply(action_);
    const std::vector<std::string> problems = rig.act(action_, before, after, expected);
    if (problems.empty()) return;
    std::ostringstream message;
    message << "after «" << action_ << "»:";
    for (const std::string& p : problems) message << "\n  " << p;
    message << "\n  the model: ";
    for (const std::string& step : expected.steps) message << step << "; ";
    message << "focus " << after.focus << (after.active ? "" : ", window inactive");
    RC_FAIL(message.str());
}

rc::Gen<std::shared_ptr<const rc::state::Command<Model, OperatorRig>>> nextCommand(const Model& model) {
    return rc::gen::map(genAction(model), [](Action action) {
        return std::shared_ptr<const rc::state::Command<Model, OperatorRig>>(
            std::make_shared<const OperatorCommand>(std::move(action)));
    });
}

}  // namespace k54::model
