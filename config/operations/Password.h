#pragma once
// The instrument's four-digit service password: typed, confirmed, written or reset; outcomes logged.
#include <optional>
#include <string_view>

#include "config/operations/WindowSession.h"
#include "config/rules/PasswordText.h"
#include "form/KeyCodes.h"

namespace k54 {

void clearPasswordField(WindowSession& s);
void capturePassword(WindowSession& s);
// A character typed into the field; false when it must not reach the field.
bool passwordKeyPress(WindowSession& s, int key);
void submitPassword(WindowSession& s);
void confirmAndWritePassword(WindowSession& s);
void confirmAndResetPassword(WindowSession& s);
uint8_t writePassword(WindowSession& s);

}  // namespace k54
