#include "config/instrument/ParameterWrites.h"

#include <algorithm>

namespace k54 {

bool ParameterWrites::failed() const {
    return !skipped.empty() || std::ranges::any_of(results, [](const auto& written) { return written.second != 0; });
}

bool ParameterWrites::lineSilent() const {
    return std::ranges::any_of(results, [](const auto& written) { return written.second == kNoReply; });
}

std::optional<std::pair<int, uint8_t>> ParameterWrites::firstFailure() const {
    const auto failed = std::ranges::find_if(results, [](const auto& written) { return written.second != 0; });
    if (failed == results.end()) return std::nullopt;
    return *failed;
}

std::string writeFailureReason(uint8_t modbusResult) {
    if (modbusResult == kNoReply) return "прибор не ответил";
    return "прибор отказал, код " + std::to_string(modbusResult);
}

ParameterWrites writeParameters(InstrumentLink& link, const ParamTable& rows, const std::vector<int>& rowIndices) {
    ParameterWrites writes;
    for (const int rowIndex : rowIndices) {
        if (writes.lineSilent()) {
            writes.skipped.push_back(rowIndex);
            continue;
        }
        const uint8_t result = link.writeParameter(rowIndex, rows.at(static_cast<std::size_t>(rowIndex)).value);
        writes.results.emplace_back(rowIndex, result);
    }
    return writes;
}

}  // namespace k54
