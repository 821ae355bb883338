#pragma once
// The trend of the live value: it follows live measurement (as its listener), keeps the values in a
// bounded buffer (a new series wherever the unit or the scale changes, so that only comparable values
// are drawn and summed up under the unit shown), knows whether polling runs, and records every poll
// to a CSV file while asked to.
// The trend window draws from it and is told when it changes; it lives for the whole run, so the values
// are there whenever the window opens.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "config/rules/MeasurementListener.h"
#include "trend/CsvRecorder.h"
#include "trend/TrendSpan.h"

namespace k54 {

// What a recording reports to the operator.
inline constexpr std::string_view kRecordingCannotStart = "Не удалось создать файл записи";
inline constexpr std::string_view kRecordingFailed = "Ошибка записи в файл, запись остановлена";

class Trend final : public MeasurementListener {
public:
    explicit Trend(std::size_t capacity = kTrendCapacity, UtcOffsetAt offsetAt = localUtcOffset);

    // --- MeasurementListener ---
    void measurementPolled(const MeasurementPoll& poll) override;
    void measurementSwitched(bool on) override;

    // Called after every change (a poll, polling on or off, a recording started or ended).
    void onChange(std::function<void()> callback) { onChange_ = std::move(callback); }

    const TrendBuffer& buffer() const { return buffer_; }
    bool measuring() const { return measuring_; }
    // The newest poll that showed a value (its unit, precision and band), if any.
    const std::optional<MeasurementPoll>& lastShown() const { return lastShown_; }
    // The interval the span covers, ending at the newest poll.
    TrendInterval interval(TrendSpan span) const;

    // Starts recording to a new file; false, with recordingError() set, when it cannot be created.
    bool startRecording(const std::filesystem::path& file);
    void stopRecording();
    bool recording() const { return recorder_ != nullptr; }
    std::size_t recordedRows() const { return recorder_ ? recorder_->rows() : 0; }
    // Why the last recording could not start or ended by itself; empty when none did.
    const std::string& recordingError() const { return recordingError_; }

private:
    void changed();

    TrendBuffer buffer_;
    UtcOffsetAt offsetAt_;
    bool measuring_ = false;
    std::optional<MeasurementPoll> lastShown_;
    std::optional<std::chrono::system_clock::time_point> newest_;
    std::unique_ptr<CsvRecorder> recorder_;
    std::string recordingError_;
    std::function<void()> onChange_;
};

}  // namespace k54
