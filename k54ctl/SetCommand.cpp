// set KEY=VALUE...: each assignment applied in the order given, by the window's rules: a number as value
// entry takes it (cut, held to the row's limits, coarsened, stored as the range mode allows, with the
// resets it brings), a list item as a list change takes it (a new range mode resets the ranges, a new
// input type reads the configuration back); see SetPlan.h for what k54ctl adds. The address and speed
// go last, together in one request, since the instrument may answer elsewhere once it takes them.
// Every assignment is checked before anything is sent, also against the instrument's values as the
// assignments before it leave them (up to a new input type, whose ranges only the instrument knows): an
// assignment no value fits, or a list that would leave a configuration that would not load (without
// --as-is, for a relation the window keeps), writes nothing. The first write that fails on the line, or
// a signal, ends the command.
#include <algorithm>
#include <set>

#include "config/files/ConfigChecks.h"
#include "config/files/ConfigProblems.h"
#include "config/files/ParamKeys.h"
#include "config/instrument/ParameterWrites.h"
#include "k54ctl/Assignment.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ParameterText.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/SetPlan.h"
#include "k54ctl/WriteSummary.h"

namespace k54::ctl {
namespace {

bool isAddressOrSpeed(int row) {
    return row == row::Adr || row == row::Spd;
}

// What the rows' saved file would meet on loading: a value no instrument could hold is refused, and a
// relation the window keeps that they break is refused unless --as-is takes it. set leaves neither.
std::set<std::string> problemTexts(const ParamTable& rows) {
    std::set<std::string> texts;
    for (const ConfigProblem& problem : checkParameterValues(rows))
        texts.insert("the result would not load: " + describeProblem(problem));
    for (const ConfigProblem& breach : checkParameterRelations(rows))
        texts.insert("the result would break a relation the window keeps (load refuses it without --as-is): " +
                     describeProblem(breach));
    return texts;
}

class Setter {
public:
    explicit Setter(ReachedInstrument& instrument) : instrument_(instrument), out_(instrument.console().out) {}

    int run(const std::vector<Assignment>& assignments) {
        if (!readRows()) return kExitLineFailure;
        if (!checkedAhead(assignments)) return kExitUsage;
        std::vector<const Assignment*> link;
        for (std::size_t i = 0; i < assignments.size(); ++i) {
            const Assignment& a = assignments[i];
            if (instrument_.console().wasInterrupted()) return stoppedBySignal(link, assignments, i);
            if (isAddressOrSpeed(a.row)) {
                link.push_back(&a);
                continue;
            }
            if (!apply(a)) return stopped(link, assignments, i + 1);
        }
        if (link.empty()) return kExitOk;
        // The address and speed go last: not after a signal, which asks that nothing more be sent.
        if (instrument_.console().wasInterrupted()) return stoppedBySignal(link, assignments, assignments.size());
        return writeLink(link);
    }

private:
    ParamRow& row(int index) { return rows_.at(static_cast<std::size_t>(index)); }

    bool readRows() {
        RegisterImage image{};
        if (instrument_.link().readConfiguration(image) != 0) {
            instrument_.exchangeFailed("reading the configuration");
            return false;
        }
        decodeRegisterImage(rows_, image);
        return true;
    }

    // The assignments worked out on the instrument's values before anything is sent: false, with the
    // conflicts said, when one has no room or the result would break a check the instrument passed.
    bool checkedAhead(const std::vector<Assignment>& assignments) {
        ParamTable rows = rows_;
        std::vector<std::string> conflicts;
        for (const Assignment& a : assignments) {
            if (isAddressOrSpeed(a.row)) continue;
            const SetStep step = workOut(rows, a);
            if (step.conflict) conflicts.push_back(*step.conflict);
            if (step.plan.readBack) break;
        }
        const std::set<std::string> before = problemTexts(rows_);
        for (const std::string& problem : problemTexts(rows))
            if (!before.contains(problem)) conflicts.push_back(problem);
        for (const std::string& conflict : conflicts) complain(instrument_.console(), kExitUsage, conflict);
        if (!conflicts.empty()) complain(instrument_.console(), kExitUsage, "nothing written");
        return conflicts.empty();
    }

    // One assignment: worked out, sent, said; a new input type's configuration read back.
    bool apply(const Assignment& a) {
        const SetStep step = workOut(rows_, a);
        if (step.conflict) {
            complain(instrument_.console(), kExitLineFailure, *step.conflict);
            return false;
        }
        if (step.unchanged()) {
            out_ << keyOfRow(a.row) << " = " << valueWithUnit(rows_, a.row, row(a.row).value) << step.notes
                 << " (unchanged: nothing written)" << std::endl;
            return true;
        }
        if (!send(a.row, step)) return false;
        if (!step.plan.readBack) return true;
        if (!readRows()) return false;
        out_ << "  the configuration read back for the new input type" << std::endl;
        return true;
    }

    std::string rowValues(const std::vector<int>& rows, int leaveOut) {
        std::string text;
        for (const int r : rows)
            if (r != leaveOut)
                text += (text.empty() ? "" : ", ") + std::string(keyOfRow(r)) + " = " +
                        valueWithUnit(rows_, r, row(r).value);
        return text;
    }

    // Writes the step's rows and says what was stored; false when a write failed.
    bool send(int assigned, const SetStep& step) {
        std::vector<int> sends = step.plan.sends;
        sends.insert(sends.end(), step.held.begin(), step.held.end());
        const ParameterWrites writes = writeParameters(instrument_.link(), rows_, sends);
        if (writes.failed()) return reportFailedWrites(writes);
        written_.insert(written_.end(), sends.begin(), sends.end());
        out_ << keyOfRow(assigned) << " = " << valueWithUnit(rows_, assigned, row(assigned).value) << step.notes;
        if (const std::string resets = rowValues(step.plan.sends, assigned); !resets.empty())
            out_ << "; reset " << resets;
        if (!step.held.empty()) out_ << "; held into the range: " << rowValues(step.held, assigned);
        out_ << std::endl;
        return true;
    }

    // Says which writes failed and how; false.
    bool reportFailedWrites(const ParameterWrites& writes) {
        std::vector<int> written, notWritten;
        std::optional<int> unanswered;
        for (const auto& [r, result] : writes.results) {
            if (result == 0) {
                written.push_back(r);
                continue;
            }
            const std::string what = "writing " + std::string(keyOfRow(r));
            if (result == kNoReply) {
                unanswered = r;
                instrument_.exchangeFailed(what);
                continue;
            }
            notWritten.push_back(r);
            ExchangeReport refused;
            refused.outcome = Outcome::exception;
            refused.exceptionCode = result;
            complain(instrument_.console(), kExitLineFailure, exchangeFailureText(what, refused, instrument_.place()));
        }
        notWritten.insert(notWritten.end(), writes.skipped.begin(), writes.skipped.end());
        complain(instrument_.console(), kExitLineFailure, writeSummary(written, unanswered, notWritten));
        return false;
    }

    // Says the assignments not done: the address and speed held back for the end, then those from `next` on.
    int stopped(const std::vector<const Assignment*>& heldBack, const std::vector<Assignment>& assignments,
                std::size_t next) {
        std::string rest;
        const auto add = [&rest](const Assignment& a) { rest += " " + std::string(keyOfRow(a.row)) + "=" + a.text; };
        for (const Assignment* a : heldBack) add(*a);
        for (std::size_t i = next; i < assignments.size(); ++i) add(assignments[i]);
        if (!rest.empty()) complain(instrument_.console(), kExitLineFailure, "not done:" + rest);
        return kExitLineFailure;
    }

    int stoppedBySignal(const std::vector<const Assignment*>& heldBack, const std::vector<Assignment>& assignments,
                        std::size_t next) {
        complain(instrument_.console(), kExitLineFailure,
                 "the set stopped at a signal, after the request in progress; " + writeSummary(written_, {}, {}));
        return stopped(heldBack, assignments, next);
    }

    // The address and the speed: both together in one request when both are given; nothing when
    // neither changes.
    int writeLink(const std::vector<const Assignment*>& link) {
        int32_t address = row(row::Adr).value, speed = row(row::Spd).value;
        bool addressGiven = false, speedGiven = false;
        for (const Assignment* a : link) {
            (a->row == row::Adr ? address : speed) = a->raw;
            (a->row == row::Adr ? addressGiven : speedGiven) = true;
        }
        if (address == row(row::Adr).value && speed == row(row::Spd).value) {
            if (addressGiven) out_ << "address = " << address << " (unchanged: nothing written)" << std::endl;
            if (speedGiven)
                out_ << "speed = " << valueText(row::Spd, speed) << " (unchanged: nothing written)" << std::endl;
            return kExitOk;
        }
        uint8_t result = 0;
        if (addressGiven && speedGiven)
            result = instrument_.link().writeAddressAndSpeed(address, speed);
        else
            result =
                instrument_.link().writeParameter(addressGiven ? row::Adr : row::Spd, addressGiven ? address : speed);
        if (result != 0) {
            instrument_.exchangeFailed(addressGiven ? "writing the address" : "writing the speed");
            if (result == kNoReply)
                complain(instrument_.console(), kExitLineFailure,
                         "sent, no reply: the new address and speed may or may not be applied");
            return kExitLineFailure;
        }
        if (addressGiven) out_ << "address = " << address << std::endl;
        if (speedGiven) out_ << "speed = " << valueText(row::Spd, speed) << std::endl;
        out_ << "  the instrument answers there once it takes the new settings" << std::endl;
        return kExitOk;
    }

    ReachedInstrument& instrument_;
    std::ostream& out_;
    ParamTable rows_ = kParamTemplate;
    std::vector<int> written_;  // the rows written so far, in their order
};

}  // namespace

int setParameters(const LineOptions& line, const std::vector<std::string>& texts, Console& console) {
    std::vector<Assignment> assignments;
    for (const std::string& text : texts) {
        auto parsed = parseAssignment(text);
        if (const auto* refusal = std::get_if<std::string>(&parsed)) return complain(console, kExitUsage, *refusal);
        assignments.push_back(std::get<Assignment>(std::move(parsed)));
    }
    return withInstrument(line, console,
                          [&](ReachedInstrument& instrument) { return Setter(instrument).run(assignments); });
}

}  // namespace k54::ctl
