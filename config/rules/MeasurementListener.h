#pragma once
// Whoever follows live measurement (the trend, a recording) is told of every poll, exactly as the
// window showed it, and of polling being switched on and off. It adds nothing on the line: it hears the
// polls the window makes. Told on the window's thread, inside the poll.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace k54 {

// What a poll that got no valid reply shows instead of a value (polling then stops).
inline constexpr std::string_view kNoAnswer = "Прибор не отвечает";

// The input type's range in the units of the value shown (see measurementBand).
struct MeasurementBand {
    double low = 0, high = 0;
};

struct MeasurementPoll {
    std::chrono::system_clock::time_point time;  // when the poll was made
    bool answered = false;                       // false: no valid reply, nothing shown, polling stops
    std::string text;                     // the value's text as the window shows it (padded as its format pads it)
    double value = 0;                     // the number that text shows
    int decimals = 0;                     // digits after the decimal separator in text
    std::string unit;                     // the unit as the window shows it
    std::optional<MeasurementBand> band;  // nothing for an input type outside the table
};

class MeasurementListener {
public:
    virtual ~MeasurementListener() = default;
    virtual void measurementPolled(const MeasurementPoll& poll) = 0;
    // Polling started (true) or stopped (false); stopping may be told again while already stopped.
    virtual void measurementSwitched(bool on) = 0;
};

}  // namespace k54
