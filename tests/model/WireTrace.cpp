#include "tests/model/WireTrace.h"

#include <fstream>
#include <sstream>

namespace k54::model {
namespace {

std::vector<uint8_t> hexBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream in(text);
    for (std::string byte; in >> byte;) bytes.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
    return bytes;
}

int word(const std::vector<uint8_t>& bytes, std::size_t at) {
    return (bytes.at(at) << 8) | bytes.at(at + 1);
}

}  // namespace

bool Exchange::answered() const {
    if (reply.rfind("rep ", 0) != 0 || reply.rfind("rep none", 0) == 0) return false;
    const std::vector<uint8_t> bytes = hexBytes(reply.substr(4));
    return bytes.size() >= 2 && request.size() >= 2 && bytes[1] == request[1];
}

std::vector<int> Exchange::writtenRegisters() const {
    std::vector<int> registers;
    if (request.size() >= 8 && request[1] == 6) registers.push_back(word(request, 2));
    if (request.size() >= 9 && request[1] == 16)
        for (int i = 0; i < word(request, 4); ++i) registers.push_back(word(request, 2) + i);
    return registers;
}

WireTrace::WireTrace(std::filesystem::path path) : path_(std::move(path)), image_(factoryImage()) {
    std::error_code noTraceYet;
    const auto size = std::filesystem::file_size(path_, noTraceYet);
    offset_ = noTraceYet ? 0 : static_cast<std::size_t>(size);
}

std::vector<Exchange> WireTrace::takeNew() {
    std::ifstream file(path_, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset_));
    std::string chunk((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    offset_ += chunk.size();
    partial_ += chunk;

    std::vector<Exchange> done;
    std::size_t lineEnd;
    while ((lineEnd = partial_.find('\n')) != std::string::npos) {
        const std::string line = partial_.substr(0, lineEnd);
        partial_.erase(0, lineEnd + 1);
        if (line.rfind("req ", 0) == 0) {
            pending_.push_back({hexBytes(line.substr(4)), {}});
        } else if (line.rfind("rep ", 0) == 0 && !pending_.empty()) {
            Exchange exchange = std::move(pending_.front());
            pending_.erase(pending_.begin());
            exchange.reply = line;
            done.push_back(std::move(exchange));
        }
    }
    for (const Exchange& x : done) {
        if (!x.answered()) continue;
        const std::vector<int> regs = x.writtenRegisters();
        for (std::size_t i = 0; i < regs.size(); ++i) {
            const std::size_t valueAt = x.request[1] == 6 ? 4 : 7 + 2 * i;
            if (regs[i] >= 0 && regs[i] < kRegisters)
                image_.at(static_cast<std::size_t>(regs[i])) = static_cast<uint16_t>(word(x.request, valueAt));
        }
    }
    return done;
}

}  // namespace k54::model
