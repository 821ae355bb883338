#include "serial/win32/Win32DosDevices.h"

#include "serial/DosDeviceList.h"

#include <windows.h>

#include <span>

namespace k54 {

std::vector<std::string> queryDosDeviceNames() {
    std::vector<char> buffer(kDosDeviceListSize, '\0');
    const DWORD filled = ::QueryDosDeviceA(nullptr, buffer.data(), kDosDeviceListSize);
    if (filled == 0 || filled > buffer.size()) {
        return {};
    }
    return splitDosDeviceList(std::span<const char>(buffer).first(filled));
}

}  // namespace k54
