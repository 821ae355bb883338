#pragma once
// The link to one instrument: the port list, the link settings, connecting with the firmware check,
// disconnecting, and the window's connected and disconnected looks.
#include <string>
#include <vector>

#include "config/instrument/InstrumentLink.h"
#include "config/operations/WindowSession.h"
#include "serial/PortNumbers.h"

namespace k54 {

inline constexpr std::string_view kConfiguratorVersion = "v.1.06.0000";

void listSerialPorts(WindowSession& s);
// The operator opens the port list: while no port is held, the list is made anew (an adapter plugged
// in since shows up), showing the port that «Подключить» uses when it is still there, and none (never
// another port) when its device is gone.
void refreshSerialPorts(WindowSession& s);
void initialiseWindow(WindowSession& s);
void selectSpeed(WindowSession& s);
void selectPort(WindowSession& s);
// True when the instrument has just been connected (the caller then reads its configuration).
bool toggleConnection(WindowSession& s);
bool checkDeviceVersion(WindowSession& s);
void showConnected(WindowSession& s);
void showDisconnected(WindowSession& s);

}  // namespace k54
