// scan: every address at every speed (or those asked for), by reading the version registers, with a
// short answer window; each instrument found is printed as it is found.
#include <chrono>
#include <map>

#include "base/TextFormat.h"
#include "config/files/ConfigFile.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ProgressBar.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/ReadLimits.h"
#include "k54ctl/ScanPlan.h"

namespace k54::ctl {
namespace {

using Clock = std::chrono::steady_clock;

std::string speedsText(const std::vector<uint32_t>& speeds) {
    std::string text;
    for (const uint32_t baud : speeds) text += (text.empty() ? "" : ", ") + std::to_string(baud);
    return text + " baud";
}

// What answered a probe: an instrument with its firmware, or another device.
std::string foundText(const ExchangeReport& report, const FirmwareVersion& firmware) {
    const std::string none = ": no " + std::string(kInstrumentModel);
    if (report.outcome == Outcome::exception)
        return "a device that refuses the version read (" + describe(report) + ")" + none;
    switch (firmwareAcceptance(firmware)) {
        case FirmwareAcceptance::accepted:
            return "firmware " + firmwareText(firmware);
        case FirmwareAcceptance::tooOld:
            return "firmware " + firmwareText(firmware) + " (older than 1.90.0013: not supported)";
        case FirmwareAcceptance::noInstrument:
            break;
    }
    return "a device without a firmware version (V1 = 0)" + none;
}

bool garbled(Outcome outcome) {
    return outcome == Outcome::incomplete || outcome == Outcome::badCrc || outcome == Outcome::malformed ||
           outcome == Outcome::stranger || outcome == Outcome::wrongFunction;
}

class Scanner {
public:
    Scanner(Line& line, const ScanOptions& options, const std::vector<Probe>& plan, Console& console)
        : line_(line), options_(options), plan_(plan), console_(console), bar_(console, "scan") {}

    int run(const std::string& scanned) {
        const auto start = Clock::now();
        std::size_t made = 0;
        for (const Probe& probe : plan_) {
            if (console_.wasInterrupted()) break;
            if (probe.baud != openBaud_ && !openAt(probe.baud)) return openFailed(probe.baud);
            bar_.show(static_cast<int>(made), static_cast<int>(plan_.size()),
                      std::to_string(probe.baud) + " baud, address " + std::to_string(probe.address));
            ++made;
            if (this->probe(probe) && options_.first) break;
        }
        bar_.clear();
        return summary(scanned, made, Clock::now() - start);
    }

private:
    bool openAt(uint32_t baud) {
        if (!line_.open(baud)) return false;
        line_.port().setReadTimeouts(scanTimeouts(baud, std::chrono::milliseconds(options_.answerMs)));
        openBaud_ = baud;
        return true;
    }

    int openFailed(uint32_t baud) {
        bar_.clear();
        return complain(console_, kExitLineFailure,
                        openFailureText(line_.port().openFailure(), line_.choice().name, baud));
    }

    // Whether anything answered at the probe's address and speed.
    bool probe(const Probe& probe) {
        InstrumentLink link(line_.bus(), static_cast<uint8_t>(probe.address));
        FirmwareVersion firmware;
        link.readFirmware(firmware);
        const ExchangeReport& report = line_.bus().lastExchange();
        if (garbled(report.outcome)) ++garbledAt_[probe.baud];
        if (report.outcome != Outcome::answered && report.outcome != Outcome::exception) return false;
        bar_.clear();
        console_.out << "address " << probe.address << ", " << probe.baud << " baud: " << foundText(report, firmware)
                     << std::endl;
        ++found_;
        return true;
    }

    int summary(const std::string& scanned, std::size_t made, Clock::duration took) {
        const double seconds = std::chrono::duration<double>(took).count();
        const std::string probes = std::to_string(made) + " of " + std::to_string(plan_.size()) + " probes in " +
                                   formatText("%.1f s", seconds);
        if (console_.wasInterrupted())
            return complain(console_, kExitLineFailure,
                            "scan interrupted after " + probes + "; " + std::to_string(found_) +
                                (found_ == 1 ? " device" : " devices") + " found");
        if (found_ > 0) {
            console_.err << "scan: " << found_ << (found_ == 1 ? " device" : " devices") << " found on "
                         << line_.choice().name << " (" << probes << ")" << std::endl;
            return kExitOk;
        }
        std::string text = "nothing answered on " + line_.choice().name + " " + scanned + " (" + probes +
                           "). Check the wiring (RS-485 A and B, the common ground), that the instrument is "
                           "powered, and that the port is the adapter's (k54ctl ports).";
        for (const auto& [baud, count] : garbledAt_)
            text += " Garbled replies came at " + std::to_string(baud) + " baud (" + std::to_string(count) +
                    "): something there answers with another framing than 8E1, or the line is noisy.";
        return complain(console_, kExitLineFailure, text);
    }

    Line& line_;
    const ScanOptions& options_;
    const std::vector<Probe>& plan_;
    Console& console_;
    ProgressBar bar_;
    uint32_t openBaud_ = 0;
    int found_ = 0;
    std::map<uint32_t, int> garbledAt_;
};

}  // namespace

int scanLine(const LineOptions& line, const ScanOptions& scan, Console& console) {
    const auto range = parseAddressRange(scan.addresses);
    if (!range)
        return complain(console, kExitUsage,
                        "--address '" + scan.addresses + "' is no address range: give A-B (or A), 1 <= A <= B <= 254");
    const std::vector<uint32_t> speeds =
        scan.speeds.empty() ? std::vector<uint32_t>(kScanSpeedOrder.begin(), kScanSpeedOrder.end()) : scan.speeds;
    const std::vector<Probe> plan = scanPlan(*range, speeds);
    const std::string scanned =
        "at addresses " + std::to_string(range->first) + "-" + std::to_string(range->last) + ", " + speedsText(speeds);
    return withLine(line, console, [&](Line& opened) { return Scanner(opened, scan, plan, console).run(scanned); });
}

}  // namespace k54::ctl
