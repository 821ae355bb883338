#pragma once
// The control FIFO: a named pipe the simulated instrument creates and reads command lines from.
#include <string>
#include <vector>

#include "serial/posix/UniqueFd.h"

namespace k54::sim {

class ControlFifo {
public:
    // Creates the FIFO (mode 0600); throws std::runtime_error when the path exists or cannot be made.
    explicit ControlFifo(std::string path);
    ~ControlFifo();
    ControlFifo(const ControlFifo&) = delete;
    ControlFifo& operator=(const ControlFifo&) = delete;

    int fd() const { return reader_.get(); }

    // The complete lines written so far; a partial line waits for its end.
    std::vector<std::string> takeLines();

private:
    std::string path_;
    UniqueFd reader_;
    UniqueFd keepOpen_;  // our own writer, so that writers coming and going never signal end of file
    std::string partial_;
};

}  // namespace k54::sim
