#include "config/operations/Measurement.h"

#include <chrono>
#include <optional>

#include "base/TextFormat.h"
#include "config/rules/MeasurementConversion.h"
#include "form/Status.h"

namespace k54 {
namespace {

void flashLamp(WindowSession& s) {
    s.form.setTimerEnabled("Timer_Mgr", true);
    s.form.setColour("Mgr_Id", kLampGreen);
}

// The value as the window shows it; a poll with no value when raw is nothing.
MeasurementPoll shownPoll(const WindowSession& s, std::optional<int32_t> raw) {
    return measurementPoll(s.k.params, raw, std::chrono::system_clock::now(), s.system.decimalSeparator);
}

void tellPolled(WindowSession& s, const MeasurementPoll& poll) {
    if (s.measurementListener) s.measurementListener->measurementPolled(poll);
}

void tellSwitched(WindowSession& s, bool on) {
    if (s.measurementListener) s.measurementListener->measurementSwitched(on);
}

}  // namespace

std::string clockText(const std::tm& time) {
    const int year = time.tm_year + 1900;
    return formatText("%02d%02d-%02d-%02d   %02d:%02d:%02d", year / 100, year % 100, time.tm_mon + 1, time.tm_mday,
                      time.tm_hour, time.tm_min, time.tm_sec);
}

void startMeasurementPoll(WindowSession& s) {
    s.form.setTimerInterval("Timer_ReadMg", 500);
    s.form.setTimerInterval("Timer_Mgr", 200);
    s.form.setTimerEnabled("Timer_ReadMg", true);
    s.k.setLinkFlags(kLinkPolling);
    tellSwitched(s, true);
}

void stopMeasurementPoll(WindowSession& s) {
    s.form.setTimerEnabled("Timer_ReadMg", false);
    s.k.clearLinkFlags(kLinkPolling);
    s.form.setText("sMgr", " ");
    s.form.setText("sUnt", " ");
    s.form.setChecked("Mgr_En", false);
    tellSwitched(s, false);
}

bool pollMeasurement(WindowSession& s) {
    int32_t raw = 0;
    const bool read = instrumentLink(s).readMeasurement(raw) == 0;
    if (read) {
        const MeasurementPoll poll = shownPoll(s, raw);
        s.form.setText("sMgr", poll.text);
        s.form.setText("sUnt", poll.unit);
        tellPolled(s, poll);
    } else {
        tellPolled(s, shownPoll(s, std::nullopt));
        stopMeasurementPoll(s);
        // Polling stops either way; the status line and the log tell the operator why the value went
        // blank (the status line would otherwise still say the instrument is connected).
        reportStatus(s.form, kNoAnswer);
    }
    flashLamp(s);
    return read;
}

void endPollBlink(WindowSession& s) {
    s.form.setColour("Mgr_Id", kButtonFace);
    s.form.setTimerEnabled("Timer_Mgr", false);
}

void showClock(WindowSession& s) {
    if (s.system.localTime) s.form.setText("RealTime", clockText(s.system.localTime()));
}

}  // namespace k54
