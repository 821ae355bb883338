#pragma once
// The traffic trace: one line per request and per reply, flushed at once, so tests can follow it.
//   req 01 03 00 29 00 02 15 C3
//   rep 01 03 04 01 5A 00 0D 1A 19
//   rep none (REASON)
#include <cstdint>
#include <fstream>
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
    void reply(std::span<const uint8_t> bytes);
    void noReply(std::string_view reason);

private:
    void line(std::string_view text);

    std::ofstream file_;
};

}  // namespace k54::sim
