#include "serial/K54com.h"

#include "serial/Crc16.h"

#include <algorithm>
#include <utility>

namespace k54 {

namespace {

constexpr uint8_t kFirstNamespacePort = 10;

std::string openFailureText(uint8_t port) {
    return "Ошибка инициализации Com" + std::to_string(port);
}

// True when the frame's last two bytes hold the CRC of the bytes before them, low byte first.
bool frameChecks(std::span<const uint8_t> frame) {
    if (frame.size() < 2) {
        return false;
    }
    const std::size_t body = frame.size() - 2;
    const uint16_t crc = crc16Modbus(frame.first(body));
    const auto low = static_cast<uint8_t>(crc & 0xFFU);
    const auto high = static_cast<uint8_t>(crc >> 8U);
    return frame[body] == low && frame[body + 1] == high;
}

}  // namespace

cPort::cPort(std::unique_ptr<SerialBackend> backend) : backend_(std::move(backend)) {}

bool cPort::open(uint8_t port, uint8_t speedIndex, StatusSink& sink) {
    if (!setup(port, speedIndex)) {
        sink.beep();
        sink.reportStatus(openFailureText(port));
        return false;
    }
    backend_->purgeInput();
    backend_->purgeOutput();
    backend_->clearDtr();
    backend_->setRts();
    return true;
}

bool cPort::setup(uint8_t port, uint8_t speedIndex) {
    if (speedIndex >= kBaudRates.size()) {
        return false;
    }
    if (backend_->isOpen()) {
        close();
    }
    lastRequest_.clear();
    echo_.reset();
    stopped_ = false;
    return backend_->openDevice(port, kBaudRates.at(speedIndex));
}

int32_t cPort::transmit(std::span<const uint8_t> bytes) {
    if (!backend_->isOpen() || bytes.empty() || stopped_) {
        return 0;
    }
    const int32_t written = backend_->write(bytes);
    const std::size_t sent = std::min(static_cast<std::size_t>(std::max(written, 0)), bytes.size());
    lastRequest_.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(sent));
    return written;
}

int32_t cPort::receive(int32_t count, std::span<uint8_t> buffer) {
    if (buffer.size() < static_cast<std::size_t>(kReceiveBufferSize)) {
        return 0;
    }
    const std::span<uint8_t> window = buffer.first(static_cast<std::size_t>(kReceiveBufferSize));
    std::ranges::fill(window, uint8_t{0});
    if (count <= 0 || count > kReceiveBufferSize || !backend_->isOpen()) {
        return 0;
    }
    const int32_t got = backend_->read(window.first(static_cast<std::size_t>(count)));
    if (got < 2 || got > count) {
        return 0;
    }
    return frameChecks(window.first(static_cast<std::size_t>(got))) ? got : 0;
}

Reception cPort::receiveReply(std::span<uint8_t> buffer, std::size_t longestReply, const ReplyShape& reply) {
    Reception reception;
    if (buffer.size() < static_cast<std::size_t>(kReceiveBufferSize)) {
        return reception;
    }
    const std::span<uint8_t> window = buffer.first(static_cast<std::size_t>(kReceiveBufferSize));
    std::ranges::fill(window, uint8_t{0});
    if (!backend_->isOpen()) {
        reception.end = ReadEnd::lineFailed;
        return reception;
    }
    if (stopped_) {
        reception.end = ReadEnd::abandoned;
        return reception;
    }
    longestReply = std::min(longestReply, window.size());
    reception.line.resize(lastRequest_.size() + longestReply);
    const FrameLength withEcho = [this, &reply](std::span<const uint8_t> arrived) {
        return echo_.needed(arrived, lastRequest_, reply);
    };
    WaitHook hook;
    if (waitHook_) {
        hook = [this] {
            stopped_ = stopped_ || !waitHook_();
            return !stopped_;
        };
    }
    const FrameRead read =
        readFrame(*backend_, reception.line, backend_->readTimeouts().forCount(longestReply), withEcho, hook);
    reception.line.resize(read.count);
    reception.end = read.end;
    reception.echoLength = echo_.takeEcho(reception.line, lastRequest_, reply);
    const std::span<const uint8_t> replyBytes = reception.reply();
    std::ranges::copy(replyBytes.first(std::min(replyBytes.size(), window.size())), window.begin());
    return reception;
}

void cPort::discardInput() {
    if (backend_->isOpen()) {
        backend_->purgeInput();
    }
}

void cPort::setWaitHook(WaitHook hook) {
    waitHook_ = std::move(hook);
}

void cPort::close() {
    if (!backend_->isOpen()) {
        return;
    }
    backend_->clearDtr();
    backend_->closeDevice();
}

bool cPort::isOpen() const {
    return backend_->isOpen();
}

void cPort::setReadTimeouts(const ReadTimeouts& timeouts) {
    backend_->setReadTimeouts(timeouts);
}

ReadTimeouts cPort::readTimeouts() const {
    return backend_->readTimeouts();
}

std::vector<std::string> cPort::deviceNames() const {
    return backend_->deviceNames();
}

std::string cPort::describe(uint8_t port) const {
    return backend_->describe(port);
}

OpenFailure cPort::openFailure() const {
    return backend_->openFailure();
}

uint16_t cPort::crc16(std::span<const uint8_t> bytes) {
    return crc16Modbus(bytes);
}

std::string cPort::deviceName(uint8_t port) {
    const std::string number = std::to_string(port);
    return port < kFirstNamespacePort ? "Com" + number : "\\\\.\\Com" + number;
}

}  // namespace k54
