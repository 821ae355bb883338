// ports: the serial ports the window would list, with the device behind each.
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/Line.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/TextTable.h"
#include "serial/PortNumbers.h"

namespace k54::ctl {

int listPorts(const LineOptions& line, Console& console) {
    const auto backend = platformBackend(line);
    TextTable table;
    for (const int port : portNumbersFromDeviceNames(backend->deviceNames()))
        table.addRow({portName(port), backend->describe(static_cast<uint8_t>(port))});
    if (table.empty())
        return complain(console, kExitLineFailure,
                        "no serial port found. Check that the adapter is plugged in and its driver loaded.");
    table.write(console.out);
    return kExitOk;
}

}  // namespace k54::ctl
