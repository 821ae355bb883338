#pragma once
// The faults the line emulator injects into the traffic, each named like "silent" or "gap=150".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k54::sim {

struct FaultSet {
    bool silent = false;                     // never answer
    bool badCrc = false;                     // flip a bit of the reply's CRC
    bool truncate = false;                   // send only the first half of the reply
    bool garbage = false;                    // junk bytes before the reply
    bool trailing = false;                   // junk bytes after the reply
    bool wrongFunction = false;              // reply with another function code
    bool echo = false;                       // the line hands every request back to its sender first
    std::optional<uint8_t> exceptionCode;    // answer with this exception instead of executing
    std::optional<uint8_t> strangerAddress;  // reply as this slave address
    int gapMs = 0;                           // pause in the middle of the reply
    int lateMs = 0;                          // wait before answering
    int dropEvery = 0;                       // the n-th, 2n-th, ... request gets no reply (0: none)
};

// Adds the named fault ("silent", "gap=150", ...) to those in the set; the reason it is refused, or
// nothing when added.
std::optional<std::string> addFault(FaultSet& faults, std::string_view fault);

// One line per fault, indented for the help text.
std::string_view faultHelp();

}  // namespace k54::sim
