#include "trend/CsvRecorder.h"

#include <cerrno>
#include <string>
#include <system_error>

namespace k54 {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

}  // namespace

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

CsvRecorder::CsvRecorder(const std::filesystem::path& file, UtcOffsetAt offsetAt)
    : out_(file, std::ios::binary | std::ios::trunc), offsetAt_(std::move(offsetAt)) {
    // The system's reason goes with the failure: the operator must learn why, not only that.
    if (!out_ || !writeLine(std::string(kCsvHeader)))
        throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(), "cannot write " + file.string());
}

bool CsvRecorder::record(const MeasurementPoll& poll) {
    const std::string time = isoTimestamp(poll.time, offsetAt_(poll.time));
    const std::string value = poll.answered ? csvField(trimmed(poll.text)) : std::string(kNoAnswer);
    const std::string unit = poll.answered ? csvField(poll.unit) : std::string{};
    if (!writeLine(time + ',' + value + ',' + unit)) return false;
    ++rows_;
    return true;
}

bool CsvRecorder::writeLine(const std::string& line) {
    out_ << line << '\n' << std::flush;  // handed to the system with each row: a crash of the program loses none
    return static_cast<bool>(out_);
}

}  // namespace k54
