// read and save: the instrument's whole configuration as a table, as JSON, or into a file.
#include "base/LocalTime.h"
#include "base/PathText.h"
#include "config/files/ConfigFile.h"
#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/params/ListItems.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ParameterText.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/StandardStreams.h"
#include "k54ctl/TextTable.h"

namespace k54::ctl {
namespace {

// The configuration registers read, with the firmware read on reaching the instrument, saved now;
// nothing (the failure said) when the read fails.
std::optional<SavedConfiguration> readSaved(ReachedInstrument& instrument) {
    RegisterImage image{};
    if (instrument.link().readConfiguration(image) != 0) {
        instrument.exchangeFailed("reading the configuration");
        return std::nullopt;
    }
    return SavedConfiguration{firmwareText(instrument.firmware()), savedAtText(localCalendarTimeNow()), image};
}

void writeTable(std::ostream& out, const RegisterImage& image) {
    const ParamTable rows = rowsOf(image);
    TextTable table;
    for (const int r : shownRows()) {
        // A list has no unit: its item's text takes the unit's column.
        const int32_t raw = rows.at(static_cast<std::size_t>(r)).value;
        const auto item = listItemText(r, raw);
        table.addRow({std::string(keyOfRow(r)), std::string(kParamKeys.at(static_cast<std::size_t>(r)).label),
                      engineeringText(r, raw),
                      item ? "«" + std::string(*item) + "»" : std::string(parameterUnit(rows, r))});
    }
    table.write(out);
}

}  // namespace

int readConfiguration(const LineOptions& line, bool json, Console& console) {
    return withInstrument(line, console, [&](ReachedInstrument& instrument) {
        const auto saved = readSaved(instrument);
        if (!saved) return kExitLineFailure;
        if (json)
            console.out << configurationFileText(*saved);
        else
            writeTable(console.out, saved->registers);
        return kExitOk;
    });
}

int saveConfiguration(const LineOptions& line, const std::string& file, Console& console) {
    return withInstrument(line, console, [&](ReachedInstrument& instrument) {
        const auto saved = readSaved(instrument);
        if (!saved) return kExitLineFailure;
        // Into standard output the file alone goes, so that a pipe or a redirection holds just the file.
        const bool toOutput = isStandardStream(file);
        if (toOutput) {
            if (!(console.out << configurationFileText(*saved) << std::flush)) return kExitUsage;  // said at the end
        } else if (const auto failed = saveConfigurationFile(pathFromUtf8(file), *saved)) {
            return complain(console, kExitUsage, "cannot write " + file + ": " + *failed);
        }
        for (const ConfigProblem& problem : problemsOnLoading(*saved))
            console.err << "k54ctl: note: this configuration would not load as it stands: " << describeProblem(problem)
                        << std::endl;
        (toOutput ? console.err : console.out)
            << "saved the configuration of address " << line.address << " (firmware " << saved->firmware << ") to "
            << (toOutput ? "standard output" : file) << std::endl;
        return kExitOk;
    });
}

}  // namespace k54::ctl
