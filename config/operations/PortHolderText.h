#pragma once
// What the window adds to «Ошибка инициализации ComN» when the port is held by another program: the
// operator then knows which program to end (as k54ctl says it on the command line).
#include <optional>
#include <string>

#include "serial/OpenFailure.h"

namespace k54 {

// «Порт занят: процесс 4711 (minicom)» for a port whose lock file names a live process, «Порт занят
// другой программой» for one another program has open for itself; nothing for other failures.
std::optional<std::string> portHolderLine(const OpenFailure& failure);

}  // namespace k54
