#include "config/Trend.h"

#include <exception>

namespace k54 {

Trend::Trend(std::size_t capacity, UtcOffsetAt offsetAt) : buffer_(capacity), offsetAt_(std::move(offsetAt)) {}

void Trend::measurementPolled(const MeasurementPoll& poll) {
    newest_ = poll.time;
    if (poll.answered) {
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
    } catch (const std::exception&) {
        recordingError_ = kRecordingCannotStart;
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
