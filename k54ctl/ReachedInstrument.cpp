#include "k54ctl/ReachedInstrument.h"

#include <cstdlib>

#include "base/PathText.h"
#include "config/files/ConfigFile.h"
#include "k54ctl/ExitStatus.h"

namespace k54::ctl {
namespace {

// The traffic log asked for: --traffic-log, else K54_TRAFFIC_LOG as the window takes it.
std::string trafficLogPath(const LineOptions& options) {
    if (!options.trafficLog.empty()) return options.trafficLog;
    const char* fromEnvironment = std::getenv("K54_TRAFFIC_LOG");
    return fromEnvironment != nullptr ? fromEnvironment : "";
}

}  // namespace

int complain(Console& console, int status, const std::string& text) {
    console.err << "k54ctl: " << text << std::endl;
    return status;
}

ReachedInstrument::ReachedInstrument(Line& line, const LineOptions& options, Console& console)
    : line_(line), options_(options), console_(console), link_(line.bus(), static_cast<uint8_t>(options.address)) {}

LinePlace ReachedInstrument::place() const {
    return {line_.choice().name, options_.baud, options_.address};
}

int ReachedInstrument::exchangeFailed(const std::string& what) {
    return complain(console_, kExitLineFailure, exchangeFailureText(what, line_.bus().lastExchange(), place()));
}

int ReachedInstrument::openFailed() {
    return complain(console_, kExitLineFailure,
                    openFailureText(line_.port().openFailure(), line_.choice().name, options_.baud));
}

int ReachedInstrument::reach() {
    if (!line_.open(options_.baud)) return openFailed();
    if (link_.readFirmware(firmware_) != 0) return exchangeFailed("reading the firmware version");
    if (line_.trafficLogFailed()) return kExitUsage;  // said by withLine; nothing written yet
    const std::string at = " at address " + std::to_string(options_.address) + " on " + line_.choice().name;
    switch (firmwareAcceptance(firmware_)) {
        case FirmwareAcceptance::accepted:
            return kExitOk;
        case FirmwareAcceptance::noInstrument:
            return complain(console_, kExitLineFailure,
                            "the device" + at + " reports no firmware version (V1 = 0): it is no " +
                                std::string(kInstrumentModel) + ".");
        case FirmwareAcceptance::tooOld:
            break;
    }
    return complain(console_, kExitLineFailure,
                    "the instrument" + at + " has firmware " + firmwareText(firmware_) +
                        ", older than 1.90.0013, the oldest this program works with. Update its firmware.");
}

int withLine(const LineOptions& options, Console& console, const std::function<int(Line&)>& work) {
    auto chosen = choosePort(options);
    if (const auto* refusal = std::get_if<std::string>(&chosen)) return complain(console, kExitUsage, *refusal);
    Line line(options, std::get<PortChoice>(std::move(chosen)));
    const std::string log = trafficLogPath(options);
    if (!log.empty() && !line.logTrafficTo(pathFromUtf8(log)))
        return complain(console, kExitUsage, "cannot write the traffic log " + log);
    const int status = work(line);
    if (!line.trafficLogFailed()) return status;
    complain(console, kExitUsage, "cannot write the traffic log " + log + ": it is incomplete");
    return status == kExitOk ? kExitUsage : status;
}

int withInstrument(const LineOptions& options, Console& console, const std::function<int(ReachedInstrument&)>& work) {
    return withLine(options, console, [&](Line& line) {
        ReachedInstrument instrument(line, options, console);
        const int reached = instrument.reach();
        return reached == kExitOk ? work(instrument) : reached;
    });
}

}  // namespace k54::ctl
