// set KEY=VALUE...: each assignment applied in the order given, by the window's rules: a number as value
// entry takes it (cut, held to the row's limits, coarsened, stored as the range mode allows, with the
// resets it brings), a list item as a list change takes it (a new range mode resets the ranges, a new
// input type reads the configuration back). The address and speed go last, together in one request,
// since the instrument may answer elsewhere once it takes them. Every assignment is checked before
// anything is sent; the first that fails on the line ends the command.
#include <algorithm>
#include <limits>

#include "config/EntryRules.h"
#include "config/ListItems.h"
#include "config/ListRules.h"
#include "config/ParamKeys.h"
#include "config/ParamValueText.h"
#include "config/ParameterWrites.h"
#include "k54ctl/Assignment.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/Instrument.h"
#include "k54ctl/ParameterText.h"

namespace k54::ctl {
namespace {

bool isAddressOrSpeed(int row) {
    return row == row::Adr || row == row::Spd;
}

// A register value's engineering text; a limit beyond the register (a range without bound) as it is.
std::string limitText(int row, int64_t limit) {
    if (limit < std::numeric_limits<int32_t>::min() || limit > std::numeric_limits<int32_t>::max())
        return std::to_string(limit);
    return engineeringText(row, static_cast<int32_t>(limit));
}

class Setter {
public:
    explicit Setter(Instrument& instrument) : instrument_(instrument), out_(instrument.console().out) {}

    int run(const std::vector<Assignment>& assignments) {
        if (!readRows()) return kExitLineFailure;
        std::vector<const Assignment*> link;
        for (std::size_t i = 0; i < assignments.size(); ++i) {
            const Assignment& a = assignments[i];
            if (isAddressOrSpeed(a.row)) {
                link.push_back(&a);
                continue;
            }
            if (!(a.number ? enterValue(a) : chooseItem(a))) return stopped(assignments, i + 1);
        }
        return link.empty() ? kExitOk : writeLink(link);
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

    // The value entry of the window: the number cut to the row's units, held to its limits, coarsened,
    // stored as the range mode lets it be, sent with what it resets.
    bool enterValue(const Assignment& a) {
        const RawLimits limits = valueLimits(rows_, a.row);
        const LimitedEntry entry = limitEntry(rows_, a.row, nudgedEntry(*a.number));
        const ChangePlan plan = storeEntry(rows_, a.row, entry.raw);
        std::string notes;
        if (entry.held)
            notes += " (" + a.text + " is outside " + limitText(a.row, limits.low) + " ... " +
                     limitText(a.row, limits.high) + ": held to the nearer limit)";
        if (entry.coarse) notes += " (from 1000 on in whole units)";
        if (row(a.row).value != entry.raw) notes += " (" + rangeModeText() + " does not let it be set)";
        return send(a.row, plan, notes);
    }

    // The list change of the window: the item's value, and what it brings with it.
    bool chooseItem(const Assignment& a) {
        ParamRow chosen = row(a.row);
        chosen.value = a.raw;
        const ChangePlan plan = applyListChoice(rows_, a.row, listIndexForValue(chosen));
        if (!send(a.row, plan, {})) return false;
        if (!plan.readBack) return true;
        if (!readRows()) return false;
        out_ << "  the configuration read back for the new input type" << std::endl;
        return true;
    }

    std::string rangeModeText() {
        return std::string(keyOfRow(row::Rng)) + " " + valueText(row::Rng, row(row::Rng).value);
    }

    // Writes the plan's rows and says what was stored; false when a write failed.
    bool send(int assigned, const ChangePlan& plan, const std::string& notes) {
        const ParameterWrites writes = writeParameters(instrument_.link(), rows_, plan.sends);
        if (writes.failed()) return reportFailedWrites(writes);
        out_ << keyOfRow(assigned) << " = " << valueWithUnit(rows_, assigned, row(assigned).value) << notes;
        std::string resets;
        for (const int r : plan.sends)
            if (r != assigned)
                resets += (resets.empty() ? "" : ", ") + std::string(keyOfRow(r)) + " = " +
                          valueWithUnit(rows_, r, row(r).value);
        if (!resets.empty()) out_ << "; reset " << resets;
        out_ << std::endl;
        return true;
    }

    // Says which writes failed and how; false.
    bool reportFailedWrites(const ParameterWrites& writes) {
        for (const auto& [r, result] : writes.results) {
            if (result == 0) continue;
            const std::string what = "writing " + std::string(keyOfRow(r));
            if (result == kNoReply) {
                instrument_.exchangeFailed(what);
            } else {
                ExchangeReport refused;
                refused.outcome = Outcome::exception;
                refused.exceptionCode = result;
                complain(instrument_.console(), kExitLineFailure,
                         exchangeFailureText(what, refused, instrument_.place()));
            }
        }
        std::string skipped;
        for (const int r : writes.skipped) skipped += " " + std::string(keyOfRow(r));
        if (!skipped.empty()) complain(instrument_.console(), kExitLineFailure, "not written:" + skipped);
        return false;
    }

    int stopped(const std::vector<Assignment>& assignments, std::size_t next) {
        std::string rest;
        for (std::size_t i = next; i < assignments.size(); ++i)
            rest += " " + std::string(keyOfRow(assignments[i].row)) + "=" + assignments[i].text;
        if (!rest.empty()) complain(instrument_.console(), kExitLineFailure, "not done:" + rest);
        return kExitLineFailure;
    }

    // The address and the speed: both together in one request when both are given.
    int writeLink(const std::vector<const Assignment*>& link) {
        int32_t address = row(row::Adr).value, speed = row(row::Spd).value;
        bool addressGiven = false, speedGiven = false;
        for (const Assignment* a : link) {
            (a->row == row::Adr ? address : speed) = a->raw;
            (a->row == row::Adr ? addressGiven : speedGiven) = true;
        }
        uint8_t result = 0;
        if (addressGiven && speedGiven)
            result = instrument_.link().writeAddressAndSpeed(address, speed);
        else
            result =
                instrument_.link().writeParameter(addressGiven ? row::Adr : row::Spd, addressGiven ? address : speed);
        if (result != 0) return instrument_.exchangeFailed(addressGiven ? "writing the address" : "writing the speed");
        if (addressGiven) out_ << "address = " << address << std::endl;
        if (speedGiven) out_ << "speed = " << valueText(row::Spd, speed) << std::endl;
        out_ << "  the instrument answers there once it takes the new settings" << std::endl;
        return kExitOk;
    }

    Instrument& instrument_;
    std::ostream& out_;
    ParamTable rows_ = kParamTemplate;
};

}  // namespace

int setParameters(const LineOptions& line, const std::vector<std::string>& texts, Console& console) {
    std::vector<Assignment> assignments;
    for (const std::string& text : texts) {
        auto parsed = parseAssignment(text);
        if (const auto* refusal = std::get_if<std::string>(&parsed)) return complain(console, kExitUsage, *refusal);
        assignments.push_back(std::get<Assignment>(std::move(parsed)));
    }
    return withInstrument(line, console, [&](Instrument& instrument) { return Setter(instrument).run(assignments); });
}

}  // namespace k54::ctl
