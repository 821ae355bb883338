#pragma once

// The Windows serial back end: the port opened by name with CreateFileA ("Com9", "\\.\Com10"), a
// device control block built from zero (8E1, binary, no flow control, DTR enabled, RTS toggled),
// 32-byte queues, the channel's five time-outs, and blocking ReadFile/WriteFile bounded by them.

#include "serial/SerialBackend.h"
#include "serial/win32/UniqueHandle.h"

#include <functional>

namespace k54 {

// The Win32 alert of a failed open: Beep with frequency 0 and duration 0.
void soundOpenFailureBeep();

class Win32SerialBackend final : public SerialBackend {
public:
    // `openFailureAlert` sounds when CreateFileA refuses a port; `timeouts` are the read limits; a
    // `fixedDevice` ("COM3", "\\.\COM10"), when given, is opened whatever port number is asked for.
    explicit Win32SerialBackend(std::function<void()> openFailureAlert = soundOpenFailureBeep,
                                ReadTimeouts timeouts = {}, std::string fixedDevice = {});

    bool openDevice(uint8_t port, uint32_t baud) override;
    void purgeInput() override;
    void purgeOutput() override;
    void clearDtr() override;
    void setRts() override;
    int32_t write(std::span<const uint8_t> bytes) override;
    // ReadFile under the read limits (SetCommTimeouts).
    int32_t read(std::span<uint8_t> into) override;
    // The bytes the driver holds (ClearCommError), or, when it holds none, one byte waited for under
    // win32WaitTimeouts(wait): the frame reader's next call takes the rest.
    int32_t readAvailable(std::span<uint8_t> into, std::chrono::milliseconds wait) override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override { timeouts_ = timeouts; }
    ReadTimeouts readTimeouts() const override { return timeouts_; }
    void closeDevice() override;
    bool isOpen() const override;
    // The names QueryDosDeviceA gives, unchanged; nothing when it fails.
    std::vector<std::string> deviceNames() const override;
    // The device-namespace path of the port, e.g. "\\.\COM10".
    std::string describe(uint8_t port) const override;
    OpenFailure openFailure() const override { return failure_; }

    // The open device (INVALID_HANDLE_VALUE when none), for reading back what the driver took.
    HANDLE nativeHandle() const { return handle_.get(); }

private:
    void escape(DWORD function) const;
    // ReadFile under the given time-outs; the count read, or -1 when the call failed.
    int32_t readUnder(COMMTIMEOUTS timeouts, std::span<uint8_t> into);
    // The bytes waiting in the driver's input queue; 0 when it cannot tell.
    std::size_t queuedInput() const;

    std::function<void()> openFailureAlert_;
    ReadTimeouts timeouts_;
    std::string fixedDevice_;
    UniqueHandle handle_;
    OpenFailure failure_;
};

}  // namespace k54
