#pragma once
// Numbers typed into the ten parameter edits and the address field.
#include <cstdint>
#include <string_view>

#include "config/Session.h"

namespace k54 {

inline constexpr std::string_view kBadNumber = "Неверный формат числа";

struct RawLimits {
    int64_t low, high;
};

// The inclusive raw bounds of an edit row, from the input type, the range mode and the other rows.
RawLimits valueLimits(const k54L& k, int rowIndex);

// The edit gains focus: shows its row's number for editing and remembers the row.
void beginValueEntry(Session& s, std::string_view sender);
// The edit is left or Enter is pressed: parse, limit, store, send and show the remembered row's value.
void commitValueEntry(Session& s, std::string_view sender);
// The address field changed: the slave address of every request follows it.
void applyAddressText(Session& s);

}  // namespace k54
