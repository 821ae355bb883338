// info: the instrument reached and checked as the window checks it, and its firmware version.
#include "config/files/ConfigFile.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/TextTable.h"

namespace k54::ctl {

int showInfo(const LineOptions& line, Console& console) {
    return withInstrument(line, console, [&](ReachedInstrument& instrument) {
        TextTable table;
        table.addRow({"model", std::string(kInstrumentModel)});
        table.addRow({"firmware", firmwareText(instrument.firmware())});
        table.addRow({"address", std::to_string(line.address)});
        table.addRow({"speed", std::to_string(line.baud) + " baud"});
        table.addRow({"port", instrument.line().description()});
        table.write(console.out);
        return kExitOk;
    });
}

}  // namespace k54::ctl
