#pragma once
// A parameter's value as k54ctl writes it: the engineering number (a list's number with its item's
// text), and its unit for the configuration the rows hold.
#include <string>
#include <vector>

#include "config/params/ParamTable.h"

namespace k54::ctl {

// "850.0", or for a list "3 «4-проводная»" (the number alone when it picks no item).
std::string valueText(int rowIndex, int32_t raw);
// The value with its unit where it has one: "850.0 °C", "3 «4-проводная»".
std::string valueWithUnit(const ParamTable& rows, int rowIndex, int32_t raw);
// The rows k54ctl shows, reads and compares: all but the service password.
std::vector<int> shownRows();

}  // namespace k54::ctl
