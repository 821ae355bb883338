// watch: the live measured value, polled at an interval (the window's 500 ms unless told), converted
// exactly as the window converts it, one line per poll (time, value, unit) and, when asked, a CSV row
// per poll in the trend's recording format. Ends after --count polls, at a signal (Ctrl-C), or at the
// first poll without an answer (as the window's polling stops there).
#include <chrono>
#include <memory>
#include <thread>

#include "base/IsoTime.h"
#include "base/PathText.h"
#include "config/rules/MeasurementConversion.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ParameterText.h"
#include "k54ctl/ReachedInstrument.h"
#include "trend/CsvRecorder.h"

namespace k54::ctl {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kInterruptCheck{50};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string{} : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// Waits until `until`; false when an interrupt came first.
bool waitUntil(SteadyClock::time_point until, const Console& console) {
    while (SteadyClock::now() < until) {
        if (console.wasInterrupted()) return false;
        std::this_thread::sleep_for(std::min<SteadyClock::duration>(until - SteadyClock::now(), kInterruptCheck));
    }
    return !console.wasInterrupted();
}

class Watcher {
public:
    Watcher(ReachedInstrument& instrument, const WatchOptions& watch, CsvRecorder* recorder)
        : instrument_(instrument), watch_(watch), recorder_(recorder) {}

    int run() {
        RegisterImage image{};
        if (instrument_.link().readConfiguration(image) != 0)
            return instrument_.exchangeFailed("reading the configuration (the value's conversion and unit)");
        rows_ = rowsOf(image);
        Console& console = instrument_.console();
        auto next = SteadyClock::now();
        for (int polls = 0; !watch_.count || polls < *watch_.count; ++polls) {
            if (polls > 0 && !waitUntil(next, console)) break;
            next += milliseconds(watch_.intervalMs);
            if (const int ended = poll(); ended != kExitOk) return ended;
        }
        return kExitOk;
    }

private:
    int poll() {
        const auto time = std::chrono::system_clock::now();
        int32_t raw = 0;
        const bool answered = instrument_.link().readMeasurement(raw) == 0;
        const MeasurementPoll shown = measurementPoll(rows_, answered ? std::optional(raw) : std::nullopt, time, '.');
        if (recorder_ && !recorder_->record(shown))
            return complain(instrument_.console(), kExitUsage, "cannot write " + watch_.csvFile + " any more");
        std::ostream& out = instrument_.console().out;
        out << isoTimestamp(time, localUtcOffset(time)) << "  ";
        if (!answered) {
            out << "no answer" << std::endl;
            return instrument_.exchangeFailed("reading the measured value");
        }
        out << trimmed(shown.text) << (shown.unit.empty() ? "" : " " + shown.unit) << std::endl;
        return kExitOk;
    }

    ReachedInstrument& instrument_;
    const WatchOptions& watch_;
    CsvRecorder* recorder_;
    ParamTable rows_ = kParamTemplate;
};

}  // namespace

int watchMeasurement(const LineOptions& line, const WatchOptions& watch, Console& console) {
    std::unique_ptr<CsvRecorder> recorder;
    if (!watch.csvFile.empty()) {
        try {
            recorder = std::make_unique<CsvRecorder>(pathFromUtf8(watch.csvFile));
        } catch (const std::exception&) {
            return complain(console, kExitUsage, "cannot write " + watch.csvFile);
        }
    }
    return withInstrument(
        line, console, [&](ReachedInstrument& instrument) { return Watcher(instrument, watch, recorder.get()).run(); });
}

}  // namespace k54::ctl
