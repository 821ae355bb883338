#include "sim/ControlFifo.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "sim/FdIo.h"

namespace k54::sim {

ControlFifo::ControlFifo(std::string path) : path_(std::move(path)) {
    if (::mkfifo(path_.c_str(), 0600) != 0) {
        throw std::runtime_error("cannot create control FIFO " + path_ + ": " + std::strerror(errno));
    }
    reader_.reset(::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    keepOpen_.reset(::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (!reader_.valid() || !keepOpen_.valid()) {
        const int error = errno;
        ::unlink(path_.c_str());
        throw std::runtime_error("cannot open control FIFO " + path_ + ": " + std::strerror(error));
    }
}

ControlFifo::~ControlFifo() {
    ::unlink(path_.c_str());
}

std::vector<std::string> ControlFifo::takeLines() {
    std::vector<uint8_t> bytes;
    readAvailable(reader_.get(), bytes);
    partial_.append(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    for (auto end = partial_.find('\n'); end != std::string::npos; end = partial_.find('\n')) {
        lines.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    return lines;
}

}  // namespace k54::sim
