#pragma once
// Numbers typed into the ten parameter edits and the address field.
#include <string_view>

#include "config/operations/WindowSession.h"

namespace k54 {

inline constexpr std::string_view kBadNumber = "Неверный формат числа";

// The edit gains focus: shows its row's number for editing and remembers the row.
void beginValueEntry(WindowSession& s, std::string_view sender);
// The edit is left or Enter is pressed: parse, limit, store, send and show the value of the edit's
// own row. An edit that is none of the ten numeric parameter rows commits nothing.
void commitValueEntry(WindowSession& s, std::string_view sender);
// The address field changed: the slave address of every request follows it.
void applyAddressText(WindowSession& s);

}  // namespace k54
