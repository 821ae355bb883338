#pragma once
// The link to one instrument: the port list, the link settings, connecting with the firmware check,
// disconnecting, and the window's connected and disconnected looks.
#include <string>
#include <vector>

#include "config/InstrumentLink.h"
#include "config/Session.h"
#include "serial/PortNumbers.h"

namespace k54 {

inline constexpr std::string_view kConfiguratorVersion = "v.1.06.0000";

void listSerialPorts(Session& s);
// The operator opens the port list: while no port is held, the list is made anew (an adapter plugged
// in since shows up), showing the port that «Подключить» uses when it is still there, and none (never
// another port) when its device is gone.
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
