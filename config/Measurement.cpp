#include "config/Measurement.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "config/InputView.h"
#include "config/TextFormat.h"

namespace k54 {
namespace {

struct PrecisionFormat {
    int32_t integerDivisor;
    float floatDivisor;
    const char* format;
};

constexpr std::array<PrecisionFormat, 4> kPrecisionFormats{{
    {1000, 1.0f, "%6.0f"},
    {100, 10.0f, "%7.1f"},
    {10, 100.0f, "%8.2f"},
    {1, 1000.0f, "%9.3f"},
}};

// Maps raw (thousandths) from [lo, hi] (tenths) onto the scaled range [ioLo, ioHi] (tenths).
int32_t mapOntoScaledRange(int32_t raw, int64_t lo, int64_t hi, int64_t ioLo, int64_t ioHi) {
    if (hi == lo) return static_cast<int32_t>(std::clamp<int64_t>(ioLo * 100, INT32_MIN, INT32_MAX));
    const long double scaled =
        std::trunc((raw - lo * 100.0L) * static_cast<long double>(ioHi - ioLo) / static_cast<long double>(hi - lo));
    const long double result = scaled + static_cast<long double>(ioLo * 100);
    return static_cast<int32_t>(std::clamp<long double>(result, INT32_MIN, INT32_MAX));
}

void flashLamp(Session& s) {
    s.form.setTimerEnabled("Timer_Mgr", true);
    s.form.setColour("Mgr_Id", kLampGreen);
}

}  // namespace

int32_t convertMeasurement(const k54L& k, int32_t raw) {
    const int32_t mode = k.row(row::Rng).value;
    const int64_t ioLo = k.row(row::Iol).value, ioHi = k.row(row::Ioh).value;
    if (mode == kScaledFull) {
        const auto range = inputRangeTenths(k.row(row::Mod).value);
        return range ? mapOntoScaledRange(raw, range->low, range->high, ioLo, ioHi) : raw;
    }
    if (mode == kScaledSet) return mapOntoScaledRange(raw, k.row(row::Dpl).value, k.row(row::Dph).value, ioLo, ioHi);
    return raw;
}

std::string formatMeasurement(int32_t thousandths, int precision, char decimalSeparator) {
    const PrecisionFormat& f = kPrecisionFormats.at(static_cast<std::size_t>(std::clamp(precision, 0, 3)));
    const float value = static_cast<float>(thousandths / f.integerDivisor) / f.floatDivisor;
    std::string text = formatText(f.format, static_cast<double>(value));
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

std::string clockText(const std::tm& time) {
    const int year = time.tm_year + 1900;
    return formatText("%02d%02d-%02d-%02d   %02d:%02d:%02d", year / 100, year % 100, time.tm_mon + 1, time.tm_mday,
                      time.tm_hour, time.tm_min, time.tm_sec);
}

void startMeasurementPoll(Session& s) {
    s.form.setTimerInterval("Timer_ReadMg", 500);
    s.form.setTimerInterval("Timer_Mgr", 200);
    s.form.setTimerEnabled("Timer_ReadMg", true);
    s.k.setLinkFlags(kLinkPolling);
}

void stopMeasurementPoll(Session& s) {
    s.form.setTimerEnabled("Timer_ReadMg", false);
    s.k.clearLinkFlags(kLinkPolling);
    s.form.setText("sMgr", " ");
    s.form.setText("sUnt", " ");
    s.form.setChecked("Mgr_En", false);
}

bool pollMeasurement(Session& s) {
    const bool read = s.bus.readRegisters(s.k.txFrame, s.k.rxFrame, s.k.slaveAddress, kRegMeasurement, 2) == 0;
    if (read) {
        const int32_t raw = decodeWide(replyRegister(s.k.rxFrame, 0), replyRegister(s.k.rxFrame, 1));
        const int precision = s.k.row(row::Ufp).value & 0xFF;
        s.form.setText("sMgr", formatMeasurement(convertMeasurement(s.k, raw), precision, s.system.decimalSeparator));
        const auto info = inputTypeInfo(s.k.row(row::Mod).value);
        s.form.setText("sUnt", info ? info->units : std::string_view{});
    } else {
        stopMeasurementPoll(s);
    }
    flashLamp(s);
    return read;
}

void endPollBlink(Session& s) {
    s.form.setColour("Mgr_Id", kButtonFace);
    s.form.setTimerEnabled("Timer_Mgr", false);
}

void showClock(Session& s) {
    if (s.system.localTime) s.form.setText("RealTime", clockText(s.system.localTime()));
}

}  // namespace k54
