#pragma once
// The link to one instrument: the port list, the link settings, connecting with the firmware check,
// disconnecting, and the window's connected and disconnected looks.
#include <string>
#include <vector>

#include "config/Session.h"

namespace k54 {

inline constexpr std::string_view kConfiguratorVersion = "v.1.06.0000";
inline constexpr uint16_t kRegVersion = 41;
inline constexpr int32_t kMinDeviceVersion = 0x015A000D;  // v.1.90.0013

// The port numbers 1 - 255 that the platform's device names "COMn" name, each once, ascending.
std::vector<int> portNumbersFromDeviceNames(const std::vector<std::string>& names);

// The firmware version bytes V1 V2 V3 V4 as one signed number, and its text "v.1.90.0013".
int32_t deviceVersion(uint8_t v1, uint8_t v2, uint8_t v3, uint8_t v4);

void listSerialPorts(Session& s);
// The operator opens the port list: while no port is held, the list is made anew (an adapter plugged
// in since shows up), keeping the chosen port when it is still there.
void refreshSerialPorts(Session& s);
void initialiseWindow(Session& s);
void selectSpeed(Session& s);
void selectPort(Session& s);
// True when the instrument has just been connected (the caller then reads its configuration).
bool toggleConnection(Session& s);
bool checkDeviceVersion(Session& s);
void showConnected(Session& s);
void showDisconnected(Session& s);

}  // namespace k54
