#include "serial/win32/Win32Serial.h"

#include "serial/K54com.h"
#include "serial/win32/Win32DosDevices.h"
#include "serial/win32/Win32LineSettings.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace k54 {

namespace {

// A byte count for ReadFile and WriteFile that the int32_t result can hold.
DWORD transferCount(std::size_t size) {
    constexpr auto kLargest = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());
    return static_cast<DWORD>(std::min(size, kLargest));
}

// Line settings, queues and time-outs; their results are not examined: once the device is open the
// port counts as open whatever the driver answered.
void configure(HANDLE handle, uint32_t baud, const ReadTimeouts& readTimeouts) {
    DCB dcb = win32LineSettings(baud);
    static_cast<void>(::SetCommState(handle, &dcb));
    static_cast<void>(::SetupComm(handle, kWin32QueueSize, kWin32QueueSize));
    COMMTIMEOUTS timeouts = win32Timeouts(readTimeouts);
    static_cast<void>(::SetCommTimeouts(handle, &timeouts));
}

// Windows refuses a port that another program has open with "access denied" (it opens ports exclusively).
OpenFailureReason openFailureReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_UNIT:
            return OpenFailureReason::noSuchDevice;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return OpenFailureReason::busy;
        default:
            return OpenFailureReason::other;
    }
}

}  // namespace

void soundOpenFailureBeep() {
    static_cast<void>(::Beep(0, 0));
}

Win32SerialBackend::Win32SerialBackend(std::function<void()> openFailureAlert, ReadTimeouts timeouts,
                                       std::string fixedDevice)
    : openFailureAlert_(std::move(openFailureAlert)), timeouts_(timeouts), fixedDevice_(std::move(fixedDevice)) {}

bool Win32SerialBackend::openDevice(uint8_t port, uint32_t baud) {
    closeDevice();
    failure_ = {};
    const std::string name = fixedDevice_.empty() ? cPort::deviceName(port) : fixedDevice_;
    UniqueHandle handle(::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) {
        const DWORD error = ::GetLastError();
        failure_.reason = openFailureReason(error);
        failure_.device = name;
        failure_.systemError = static_cast<int>(error);
        if (openFailureAlert_) {
            openFailureAlert_();
        }
        return false;
    }
    configure(handle.get(), baud, timeouts_);
    handle_ = std::move(handle);
    return true;
}

void Win32SerialBackend::purgeInput() {
    if (handle_.valid()) {
        static_cast<void>(::PurgeComm(handle_.get(), PURGE_RXCLEAR));
    }
}

void Win32SerialBackend::purgeOutput() {
    if (handle_.valid()) {
        static_cast<void>(::PurgeComm(handle_.get(), PURGE_TXCLEAR));
    }
}

void Win32SerialBackend::escape(DWORD function) const {
    if (handle_.valid()) {
        static_cast<void>(::EscapeCommFunction(handle_.get(), function));
    }
}

void Win32SerialBackend::clearDtr() {
    escape(CLRDTR);
}

void Win32SerialBackend::setRts() {
    escape(SETRTS);
}

int32_t Win32SerialBackend::write(std::span<const uint8_t> bytes) {
    if (!handle_.valid()) {
        return 0;
    }
    // The count the driver reports is the result, whether or not the call ended in an error.
    DWORD written = 0;
    static_cast<void>(::WriteFile(handle_.get(), bytes.data(), transferCount(bytes.size()), &written, nullptr));
    return static_cast<int32_t>(std::min(written, transferCount(bytes.size())));
}

int32_t Win32SerialBackend::read(std::span<uint8_t> into) {
    if (!handle_.valid()) {
        return 0;
    }
    return std::max(readUnder(win32Timeouts(timeouts_), into), 0);
}

int32_t Win32SerialBackend::readAvailable(std::span<uint8_t> into, std::chrono::milliseconds wait) {
    if (!handle_.valid()) {
        return -1;
    }
    if (into.empty()) {
        return 0;
    }
    const std::size_t queued = queuedInput();
    return readUnder(win32WaitTimeouts(wait), into.first(queued > 0 ? std::min(queued, into.size()) : 1));
}

std::size_t Win32SerialBackend::queuedInput() const {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle_.get(), &errors, &status)) {
        return 0;
    }
    return status.cbInQue;
}

int32_t Win32SerialBackend::readUnder(COMMTIMEOUTS timeouts, std::span<uint8_t> into) {
    // A read that ends by a time-out still succeeds: the count tells what came.
    static_cast<void>(::SetCommTimeouts(handle_.get(), &timeouts));
    DWORD received = 0;
    if (!::ReadFile(handle_.get(), into.data(), transferCount(into.size()), &received, nullptr)) {
        return received > 0 ? static_cast<int32_t>(std::min(received, transferCount(into.size()))) : -1;
    }
    return static_cast<int32_t>(std::min(received, transferCount(into.size())));
}

void Win32SerialBackend::closeDevice() {
    handle_.reset();
}

bool Win32SerialBackend::isOpen() const {
    return handle_.valid();
}

std::vector<std::string> Win32SerialBackend::deviceNames() const {
    return queryDosDeviceNames();
}

std::string Win32SerialBackend::describe(uint8_t port) const {
    return "\\\\.\\COM" + std::to_string(port);
}

}  // namespace k54
