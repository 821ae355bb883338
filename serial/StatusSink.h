#pragma once

#include <string_view>

namespace k54 {

// Where cPort::open reports a failed open (the window supplies it): a beep, then a status line.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void beep() = 0;
    virtual void reportStatus(std::string_view text) = 0;
};

}  // namespace k54
