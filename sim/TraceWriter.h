#pragma once
// The traffic trace: one line per request, per echo and per reply, flushed at once, so tests can follow it.
//   req 01 03 00 29 00 02 15 C3
//   echo 01 03 00 29 00 02 15 C3           (the echo fault: the request handed back to the master)
//   rep 01 03 04 01 5A 00 0D 1A 19
//   rep 1E 03 04 01 5A 00 0D F4 D8 (instrument 30)   (with more than one instrument on the line)
//   rep none (REASON)
#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace k54::sim {

// Upper-case hex, bytes separated by single spaces.
std::string hexBytes(std::span<const uint8_t> bytes);

class TraceWriter {
public:
    // Appends to the file at `path`; an empty path writes nothing. Throws when the file cannot be opened.
    explicit TraceWriter(const std::string& path);

    void request(std::span<const uint8_t> bytes);
    void echo(std::span<const uint8_t> bytes);
    // `instrument`: the address of the instrument that made the reply, where the trace must say which.
    void reply(std::span<const uint8_t> bytes, std::optional<int> instrument = std::nullopt);
    void noReply(std::string_view reason);

private:
    void line(std::string_view text);

    std::ofstream file_;
};

}  // namespace k54::sim
