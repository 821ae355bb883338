#pragma once
// Rows and their window controls: binding by name, and showing a row's value in its control.
#include <string>

#include "config/operations/WindowSession.h"
#include "config/rules/ChangePlan.h"

namespace k54 {

// Binds every row to the window control named by its controlName.
void bindRows(WindowSession& s);

// An edit row's number as a configuration read shows it: value / scale + 0.0001 in single
// precision, written with the row's template.
std::string readDisplayText(const ParamRow& row, char decimalSeparator, float& displayValue);

// Shows a row's value in its bound control as a configuration read does; the password row keeps
// its field's text.
void showReadValue(WindowSession& s, int rowIndex);

// Shows an edit row's value as value x 0.1 with its template (the range and setpoint resets).
void showTenthsValue(WindowSession& s, int rowIndex);

// Shows the range and setpoint rows that a change reset.
void showResets(WindowSession& s, const ChangePlan& plan);

}  // namespace k54
