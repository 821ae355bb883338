// factory: the factory configuration written to the instrument, after a confirmation (--yes, or a
// question on a terminal) and a backup of what it holds; then read back and compared, as the window
// reads it back.
#include <algorithm>

#include "base/LocalTime.h"
#include "base/PathText.h"
#include "config/files/ConfigDiff.h"
#include "config/files/ParamKeys.h"
#include "config/instrument/Backup.h"
#include "config/instrument/FactoryWrite.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ParameterText.h"
#include "k54ctl/ProgressBar.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/ScanPlan.h"
#include "k54ctl/WriteSummary.h"

namespace k54::ctl {
namespace {

// --yes, or "y" / "yes" to the question on a terminal.
bool confirmed(const FactoryOptions& factory, Console& console, const LineOptions& line) {
    if (factory.yes) return true;
    console.err << "Write the factory configuration to the instrument at address " << line.address
                << "? It overwrites every parameter, the address and speed too. [y/N] " << std::flush;
    const auto answer = console.readLine ? console.readLine() : std::nullopt;
    return answer && (*answer == "y" || *answer == "Y" || *answer == "yes");
}

std::string rowList(const std::vector<int>& rows) {
    std::string text;
    for (const int r : rows) text += " " + std::string(keyOfRow(r));
    return text;
}

// Says what the factory write did before it stopped (a refusal, a request without a reply, a signal)
// and where the configuration it overwrote is kept.
int writeStopped(ReachedInstrument& instrument, const FactoryWriteReport& report, const BackupOutcome& backup) {
    Console& console = instrument.console();
    std::vector<int> written, notWritten = report.refused;
    const int end = report.unanswered ? *report.unanswered : report.stoppedAt.value_or(kParamCount);
    for (int r = 0; r < end; ++r)
        if (std::ranges::find(report.refused, r) == report.refused.end()) written.push_back(r);
    for (int r = report.unanswered ? end + 1 : end; r < kParamCount; ++r) notWritten.push_back(r);
    if (report.unanswered)
        instrument.exchangeFailed("writing " + std::string(keyOfRow(*report.unanswered)));
    else if (report.stoppedAt)
        console.err << "k54ctl: the factory write stopped at a signal, after the request in progress" << std::endl;
    else
        complain(console, kExitLineFailure, "the instrument refused" + rowList(report.refused));
    complain(console, kExitLineFailure, writeSummary(written, report.unanswered, notWritten));
    return complain(console, kExitLineFailure,
                    "the configuration before the factory write is in " + utf8Text(backup.path) + ": load it to undo");
}

int writeAndCheck(ReachedInstrument& instrument, const FactoryOptions& factory, const LineOptions& line) {
    Console& console = instrument.console();
    const auto folder = factory.backupDir.empty() ? defaultBackupFolder() : pathFromUtf8(factory.backupDir);
    const TakenBackup taken = takeBackup(instrument.link(), folder, localCalendarTimeNow());
    if (taken.modbusResult != 0) return instrument.exchangeFailed("reading the configuration to back it up");
    if (!taken.backup.written())
        return complain(console, kExitUsage,
                        "cannot back up the instrument's configuration (" + taken.backup.error +
                            "): nothing written. Give a folder that can be written: --backup-dir DIR.");
    console.out << "backup: " << utf8Text(taken.backup.path) << std::endl;

    ProgressBar bar(console, "factory");
    const FactoryWriteReport report = writeFactoryValues(
        instrument.link(), [&bar](int done, int total) { bar.show(done, total); },
        [&console] { return console.wasInterrupted(); });
    bar.clear();
    if (!report.allWritten()) return writeStopped(instrument, report, taken.backup);
    console.out << "the factory configuration is written" << std::endl;
    console.out << "the instrument answers at address " << kFactoryAddress << ", " << kFactoryBaud
                << " baud (its factory setting) once it takes it" << std::endl;

    RegisterImage held{};
    if (instrument.link().readConfiguration(held) != 0) {
        if (line.address == kFactoryAddress && line.baud == kFactoryBaud)
            return instrument.exchangeFailed("reading the configuration back");
        console.err << "k54ctl: note: not read back: the instrument no longer answers at address " << line.address
                    << ", " << line.baud << " baud" << std::endl;
        return kExitOk;
    }
    std::vector<int> differing;
    for (const Difference& d : differences(registerImage(kParamTemplate, true), held, false))
        differing.push_back(d.row);
    if (!differing.empty())
        return complain(console, kExitLineFailure,
                        "read back, the instrument holds other values for" + rowList(differing));
    console.out << "read back: the instrument holds the factory configuration" << std::endl;
    return kExitOk;
}

}  // namespace

int writeFactory(const LineOptions& line, const FactoryOptions& factory, Console& console) {
    if (!factory.yes && !console.inIsTerminal)
        return complain(console, kExitUsage,
                        "the factory write overwrites the whole configuration: give --yes (or run it on a terminal "
                        "to be asked)");
    return withInstrument(line, console, [&](ReachedInstrument& instrument) {
        if (!confirmed(factory, console, line)) {
            console.err << "k54ctl: nothing written" << std::endl;
            return kExitLineFailure;
        }
        return writeAndCheck(instrument, factory, line);
    });
}

}  // namespace k54::ctl
