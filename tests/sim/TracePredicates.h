#pragma once
// Conditions on k54sim's trace, for SimInstrument::waitForTrace.
#include <algorithm>
#include <regex>
#include <string>

#include "tests/support/SimInstrument.h"

namespace k54::test {

// The trace holds this exact line.
inline auto hasLine(const std::string& line) {
    return [line](const TraceLines& lines) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
}

// The trace holds a line that the whole regular expression matches.
inline auto hasLineMatching(const std::string& pattern) {
    return [pattern](const TraceLines& lines) {
        const std::regex expression(pattern);
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return std::regex_match(line, expression); });
    };
}

// " XX XX": the two CRC bytes of a traced frame, whatever they are.
inline const std::string kAnyCrc = " [0-9A-F]{2} [0-9A-F]{2}";

}  // namespace k54::test
