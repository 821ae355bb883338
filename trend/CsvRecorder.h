#pragma once
// A recording of live measurement: one CSV row per poll, written and flushed at once, so that a crash
// of the program loses at most the row being written. Columns: the poll's time (ISO 8601 with the
// local offset), the value as the window showed it, its unit. A poll that got no answer is a row with
// "Прибор не отвечает" for its value and no unit. Fields are quoted as RFC 4180 asks (a value with a
// decimal comma is quoted).
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "base/IsoTime.h"
#include "config/rules/MeasurementListener.h"

namespace k54 {

inline constexpr std::string_view kCsvHeader = "Время,Значение,Единица";

class CsvRecorder {
public:
    // Creates (or empties) the file and writes the header; throws std::runtime_error when it cannot.
    explicit CsvRecorder(const std::filesystem::path& file, UtcOffsetAt offsetAt = localUtcOffset);

    // Writes the poll's row; false when the row could not be written (the disk full, the file gone).
    bool record(const MeasurementPoll& poll);
    std::size_t rows() const { return rows_; }

private:
    bool writeLine(const std::string& line);

    std::ofstream out_;
    UtcOffsetAt offsetAt_;
    std::size_t rows_ = 0;
};

// One field as RFC 4180 writes it: quoted, with its quotes doubled, when it holds a comma, a quote or
// a line break.
std::string csvField(std::string_view text);

}  // namespace k54
