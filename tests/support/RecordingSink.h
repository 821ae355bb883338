#pragma once

#include "serial/StatusSink.h"

#include <string>
#include <vector>

namespace k54::test {

// Records what the channel reports about a failed open.
class RecordingSink final : public StatusSink {
public:
    void beep() override { ++beeps; }
    void reportStatus(std::string_view text) override { statuses.emplace_back(text); }

    int beeps = 0;
    std::vector<std::string> statuses;
};

}  // namespace k54::test
