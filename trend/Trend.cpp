#include "trend/Trend.h"

#include <system_error>

#include "base/PathText.h"

namespace k54 {
namespace {

// Values of two polls are comparable when they are shown in the same unit on the same scale: a new
// input type, range mode, range or factory configuration changes the one or the other.
bool sameScale(const MeasurementPoll& a, const MeasurementPoll& b) {
    const auto bandsEqual = [](const auto& x, const auto& y) {
        return x.has_value() == y.has_value() && (!x || (x->low == y->low && x->high == y->high));
    };
    return a.unit == b.unit && bandsEqual(a.band, b.band);
}

}  // namespace

Trend::Trend(std::size_t capacity, UtcOffsetAt offsetAt) : buffer_(capacity), offsetAt_(std::move(offsetAt)) {}

void Trend::measurementPolled(const MeasurementPoll& poll) {
    newest_ = poll.time;
    if (poll.answered) {
        if (lastShown_ && !sameScale(*lastShown_, poll)) buffer_.startSeries();
        buffer_.add(poll.time, poll.value);
        lastShown_ = poll;
    } else {
        buffer_.markGap();
    }
    if (recorder_ && !recorder_->record(poll)) {
        recorder_.reset();
        recordingError_ = kRecordingFailed;
    }
    changed();
}

void Trend::measurementSwitched(bool on) {
    if (!on) buffer_.markGap();
    if (measuring_ == on) return;
    measuring_ = on;
    changed();
}

TrendInterval Trend::interval(TrendSpan span) const {
    return spanInterval(buffer_, span, newest_.value_or(std::chrono::system_clock::now()));
}

bool Trend::startRecording(const std::filesystem::path& file) {
    recorder_.reset();
    try {
        recorder_ = std::make_unique<CsvRecorder>(file, offsetAt_);
        recordingError_.clear();
    } catch (const std::system_error& e) {
        recordingError_ = std::string(kRecordingCannotStart) + ": " + utf8Text(file) + " (" + e.code().message() + ")";
    }
    changed();
    return recorder_ != nullptr;
}

void Trend::stopRecording() {
    recorder_.reset();
    changed();
}

void Trend::changed() {
    if (onChange_) onChange_();
}

}  // namespace k54
