#pragma once
// The instrument's side of the line, from k54sim's trace alone: the requests each action sent, the
// registers they wrote, and the register image they left (the instrument is at the factory
// configuration when the trace is taken up, and a write request that got its normal reply changed it).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/model/ModelTable.h"

namespace k54::model {

struct Exchange {
    std::vector<uint8_t> request;
    std::string reply;                          // the reply line as traced ("rep ..."), empty while none is traced
    bool answered() const;                      // a reply that is no exception and no silence
    std::vector<int> writtenRegisters() const;  // function 6 and 16 requests
};

class WireTrace {
public:
    // Follows the trace from its present end: what a k54sim started or reset now does from here on.
    explicit WireTrace(std::filesystem::path path);

    // The exchanges traced since the last call; the image follows every answered write among them.
    std::vector<Exchange> takeNew();
    const Image& image() const { return image_; }
    // A request went out and no reply to it is traced yet.
    bool awaitingReply() const { return !pending_.empty(); }

private:
    std::filesystem::path path_;
    std::size_t offset_ = 0;
    std::string partial_;
    Image image_;
    std::vector<Exchange> pending_;  // a request whose reply is not traced yet
};

}  // namespace k54::model
