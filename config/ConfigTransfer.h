#pragma once
// Moving the configuration between the instrument and the window: the whole read, one parameter's
// write, and the factory write.
#include "config/Session.h"

namespace k54 {

inline constexpr std::string_view kParameterWriteFailed = "Ошибка записи параметра";

// Reads registers 0 - 38 in one request and shows every row; true when read and shown.
bool readConfiguration(Session& s);

// Sends one row's value (a wide row as two registers, high word first); the Modbus result.
uint8_t writeParameter(Session& s, int rowIndex);

// Sends the rows in order and reports "Ошибка записи параметра" once if any send failed.
bool sendParameters(Session& s, std::initializer_list<int> rows);

// Sends every row's factory value; true when every write succeeded.
bool writeFactoryConfiguration(Session& s);

// The "Исходная" button: asks, then writes the factory configuration and reads it back.
void confirmAndWriteFactory(Session& s);

}  // namespace k54
