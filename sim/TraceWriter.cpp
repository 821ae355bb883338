#include "sim/TraceWriter.h"

#include <stdexcept>

namespace k54::sim {

std::string hexBytes(std::span<const uint8_t> bytes) {
    static constexpr std::string_view digits = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += digits.at(byte >> 4);
        text += digits.at(byte & 0x0F);
    }
    return text;
}

TraceWriter::TraceWriter(const std::string& path) {
    if (path.empty()) return;
    file_.open(path, std::ios::out | std::ios::app);
    if (!file_) throw std::runtime_error("cannot open trace file " + path);
}

void TraceWriter::request(std::span<const uint8_t> bytes) {
    line("req " + hexBytes(bytes));
}

void TraceWriter::echo(std::span<const uint8_t> bytes) {
    line("echo " + hexBytes(bytes));
}

void TraceWriter::reply(std::span<const uint8_t> bytes, std::optional<int> instrument) {
    const std::string answeredBy = instrument ? " (instrument " + std::to_string(*instrument) + ")" : "";
    line("rep " + hexBytes(bytes) + answeredBy);
}

void TraceWriter::noReply(std::string_view reason) {
    line("rep none (" + std::string(reason) + ")");
}

void TraceWriter::line(std::string_view text) {
    if (!file_.is_open()) return;
    file_ << text << '\n';
    file_.flush();
}

}  // namespace k54::sim
