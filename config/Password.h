#pragma once
// The instrument's four-digit service password: typed, confirmed, written or reset; outcomes logged.
#include <optional>
#include <string_view>

#include "config/PasswordText.h"
#include "config/Session.h"
#include "form/Keys.h"

namespace k54 {

void clearPasswordField(Session& s);
void capturePassword(Session& s);
// A character typed into the field; false when it must not reach the field.
bool passwordKeyPress(Session& s, int key);
void submitPassword(Session& s);
void confirmAndWritePassword(Session& s);
void confirmAndResetPassword(Session& s);
uint8_t writePassword(Session& s);

}  // namespace k54
