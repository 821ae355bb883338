// load and diff: a configuration file against the instrument. The file is checked whole before the
// line is touched: a file with any problem ends a load (exit status 2) with nothing written; so does a
// load of values that break a relation the window keeps, unless --as-is takes them. diff compares what
// such files hold and says why they would not load.
#include <algorithm>
#include <optional>

#include "base/LocalTime.h"
#include "base/PathText.h"
#include "config/files/ConfigDiff.h"
#include "config/files/ConfigFile.h"
#include "config/files/ParamKeys.h"
#include "config/instrument/Backup.h"
#include "config/instrument/Restore.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ParameterText.h"
#include "k54ctl/ProgressBar.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/StandardStreams.h"
#include "k54ctl/TextTable.h"
#include "k54ctl/WriteSummary.h"

namespace k54::ctl {
namespace {

constexpr std::string_view kWholeFile = "the file: ";

enum class Breaches { Refused, Taken };

void sayNotices(const std::string& file, const LoadedConfiguration& loaded, Console& console) {
    for (const ConfigNotice& notice : loaded.notices)
        console.err << "k54ctl: note: " << file << ": " << describeNotice(notice) << std::endl;
}

void sayProblems(const std::string& file, const LoadedConfiguration& loaded, Console& console,
                 std::string_view after = {}) {
    for (const ConfigProblem& problem : loaded.problems) {
        // A problem of the whole file is told after the file's name, without "the file" again.
        std::string text = describeProblem(problem);
        if (text.starts_with(kWholeFile)) text.erase(0, kWholeFile.size());
        console.err << "k54ctl: " << file << ": " << text << after << std::endl;
    }
}

// The relations the window keeps that the file breaks: notes, unless they refuse the file.
void sayBreaches(const std::string& file, const LoadedConfiguration& loaded, Console& console, bool refused) {
    for (const ConfigProblem& breach : loaded.relationBreaches)
        console.err << "k54ctl: " << (refused ? "" : "note: ") << file << ": " << describeProblem(breach)
                    << " (a relation the window keeps; an instrument may hold it)" << std::endl;
}

// The file's configuration, its notices and the relations it breaks said; nothing (its problems said)
// when it has any problem, or breaks a relation that `breaches` refuses.
std::optional<RegisterImage> checkedFile(const std::string& file, Console& console, Breaches breaches) {
    const LoadedConfiguration loaded = readConfigurationFrom(file, console);
    const std::string name = inputName(file);
    sayNotices(name, loaded, console);
    if (!loaded.configuration) {
        sayProblems(name, loaded, console);
        console.err << "k54ctl: " << name << " is refused: nothing written" << std::endl;
        return std::nullopt;
    }
    const bool refused = breaches == Breaches::Refused && !loaded.relationBreaches.empty();
    sayBreaches(name, loaded, console, refused);
    if (refused) {
        console.err << "k54ctl: " << name
                    << " is refused: nothing written. To write these values as they are, give --as-is." << std::endl;
        return std::nullopt;
    }
    return loaded.configuration->registers;
}

// What the file holds, also where it would not load or loads only --as-is (said as notes, since a
// comparison is still sound); nothing (its problems said) when it is no configuration file whose every
// value reads.
std::optional<RegisterImage> comparedFile(const std::string& file, Console& console) {
    const LoadedConfiguration loaded = readConfigurationFrom(file, console);
    const std::string name = inputName(file);
    sayNotices(name, loaded, console);
    sayProblems(name, loaded, console, loaded.entries ? " (the file would not load)" : "");
    sayBreaches(name, loaded, console, false);
    return loaded.entries;
}

std::string labelOf(int r) {
    return std::string(kParamKeys.at(static_cast<std::size_t>(r)).label);
}

// The differing rows, each from the instrument's value to the file's.
void writeChanges(std::ostream& out, const RegisterImage& current, const RegisterImage& target,
                  const std::vector<int>& rows, std::string_view note = {}) {
    const ParamTable from = rowsOf(current), to = rowsOf(target);
    TextTable table;
    for (const int r : rows)
        table.addRow({std::string(keyOfRow(r)), labelOf(r), valueWithUnit(from, r, valueInImage(current, r)), "->",
                      valueWithUnit(to, r, valueInImage(target, r)) + std::string(note)});
    table.write(out);
}

// The link rows that differ but stay as they are without --with-address.
std::vector<int> keptLinkRows(const RegisterImage& current, const RegisterImage& target) {
    const std::vector<int> all = restorePlan(current, target, true), written = restorePlan(current, target, false);
    std::vector<int> kept;
    std::ranges::copy_if(all, std::back_inserter(kept),
                         [&](int r) { return std::ranges::find(written, r) == written.end(); });
    return kept;
}

int dryRun(ReachedInstrument& instrument, const RegisterImage& target, bool withAddress) {
    RegisterImage current{};
    if (instrument.link().readConfiguration(current) != 0)
        return instrument.exchangeFailed("reading the configuration");
    std::ostream& out = instrument.console().out;
    const std::vector<int> plan = restorePlan(current, target, withAddress);
    writeChanges(out, current, target, plan);
    if (!withAddress)
        writeChanges(out, current, target, keptLinkRows(current, target), "  (kept: only with --with-address)");
    out << plan.size() << (plan.size() == 1 ? " parameter" : " parameters")
        << " would be written; nothing written (--dry-run)" << std::endl;
    return kExitOk;
}

// What the load did before it stopped, and where the configuration it overwrote is kept.
int restoreStopped(ReachedInstrument& instrument, const RestoreReport& report) {
    Console& console = instrument.console();
    const bool unanswered = report.outcome == RestoreOutcome::WriteFailed && report.modbusResult == kNoReply;
    std::vector<int> notWritten = report.unwritten;
    if (unanswered && !notWritten.empty()) notWritten.erase(notWritten.begin());
    complain(
        console, kExitLineFailure,
        writeSummary(report.written, unanswered ? std::optional(report.unwritten.front()) : std::nullopt, notWritten));
    if (report.backup.written() && !report.written.empty())
        complain(console, kExitLineFailure,
                 "the configuration before the load is in " + utf8Text(report.backup.path) + ": load it to undo");
    return kExitLineFailure;
}

int restoreFailed(ReachedInstrument& instrument, const RestoreReport& report) {
    Console& console = instrument.console();
    switch (report.outcome) {
        case RestoreOutcome::ReadFailed:
            return instrument.exchangeFailed("reading the configuration");
        case RestoreOutcome::BackupFailed:
            return complain(console, kExitUsage,
                            "cannot back up the instrument's configuration before overwriting it (" +
                                report.backup.error +
                                "): nothing written. Give a folder that can be written: --backup-dir DIR.");
        case RestoreOutcome::WriteFailed:
            instrument.exchangeFailed("writing " + std::string(keyOfRow(report.unwritten.front())));
            break;
        case RestoreOutcome::ReadBackFailed:
            instrument.exchangeFailed("reading the configuration back");
            break;
        case RestoreOutcome::ReadBackDiffers: {
            const ParamTable held = rowsOf(report.readBack.value_or(RegisterImage{}));
            for (const Difference& d : report.readBackDifferences)
                console.err << "k54ctl: " << keyOfRow(d.row) << " was written as " << valueText(d.row, d.from)
                            << ", the instrument holds " << valueWithUnit(held, d.row, d.to) << std::endl;
            console.err << "k54ctl: the instrument does not hold what was written" << std::endl;
            break;
        }
        case RestoreOutcome::Stopped:
            console.err << "k54ctl: the load stopped at a signal, after the request in progress" << std::endl;
            break;
        case RestoreOutcome::Restored:
            return kExitOk;
    }
    return restoreStopped(instrument, report);
}

// The rows written and read back, and the link rows written after the read-back, which only reaching
// the instrument at its new address could check.
void sayWritten(std::ostream& out, const RestoreReport& report) {
    std::vector<int> checked, link;
    for (const int r : report.written) (isLinkRow(r) ? link : checked).push_back(r);
    if (!checked.empty()) out << "written and read back: " << keyList(checked) << std::endl;
    if (!link.empty()) out << "written last, not read back: " << keyList(link) << std::endl;
}

int restore(ReachedInstrument& instrument, const RegisterImage& target, const LoadOptions& load) {
    Console& console = instrument.console();
    ProgressBar bar(console, "load");
    RestoreOptions options;
    options.withLink = load.withAddress;
    options.backupFolder = load.backupDir.empty() ? defaultBackupFolder() : pathFromUtf8(load.backupDir);
    options.now = localCalendarTimeNow();
    options.progress = [&bar](int done, int total) { bar.show(done, total); };
    // Said as soon as it is there, so that it is known however the load ends.
    options.backedUp = [&](const BackupOutcome& backup) {
        bar.clear();
        console.out << "backup: " << utf8Text(backup.path) << std::endl;
    };
    options.stopRequested = [&console] { return console.wasInterrupted(); };
    const RestoreReport report = restoreConfiguration(instrument.link(), target, options);
    bar.clear();
    if (report.outcome != RestoreOutcome::Restored) return restoreFailed(instrument, report);
    if (report.planned.empty()) {
        console.out << "the instrument already holds this configuration: nothing written" << std::endl;
        return kExitOk;
    }
    sayWritten(console.out, report);
    if (report.linkChanged) {
        const int32_t speed = valueInImage(target, row::Spd);
        console.out << "the instrument answers at address " << valueInImage(target, row::Adr) << ", "
                    << (speed >= 0 && speed < static_cast<int32_t>(kBaudRates.size())
                            ? std::to_string(kBaudRates.at(static_cast<std::size_t>(speed))) + " baud"
                            : "speed " + std::to_string(speed))
                    << " once it takes the new settings" << std::endl;
    }
    return kExitOk;
}

}  // namespace

int loadConfiguration(const LineOptions& line, const LoadOptions& load, Console& console) {
    const auto target = checkedFile(load.file, console, load.asIs ? Breaches::Taken : Breaches::Refused);
    if (!target) return kExitUsage;
    return withInstrument(line, console, [&](ReachedInstrument& instrument) {
        return load.dryRun ? dryRun(instrument, *target, load.withAddress) : restore(instrument, *target, load);
    });
}

int diffConfiguration(const LineOptions& line, const std::string& file, Console& console) {
    const auto fromFile = comparedFile(file, console);
    if (!fromFile) return kExitTrouble;
    bool differs = false;
    const int status = withInstrument(line, console, [&](ReachedInstrument& instrument) {
        RegisterImage current{};
        if (instrument.link().readConfiguration(current) != 0)
            return instrument.exchangeFailed("reading the configuration");
        const ParamTable inFile = rowsOf(*fromFile), held = rowsOf(current);
        TextTable table;
        for (const Difference& d : differences(*fromFile, current, true))
            table.addRow({std::string(keyOfRow(d.row)), labelOf(d.row), "file " + valueWithUnit(inFile, d.row, d.from),
                          "instrument " + valueWithUnit(held, d.row, d.to)});
        differs = !table.empty();
        if (differs)
            table.write(console.out);
        else
            console.out << "no differences: the instrument holds the configuration of " << inputName(file) << std::endl;
        return kExitOk;
    });
    // As diff(1): whatever kept the comparison from being made is trouble, not a difference.
    if (status != kExitOk) return kExitTrouble;
    return differs ? kExitDiffers : kExitOk;
}

}  // namespace k54::ctl
