#pragma once
// Rows and their window controls: binding by name, and showing a row's value in its control.
#include <string>

#include "config/Session.h"

namespace k54 {

// Binds every row to the window control named by its controlName.
void bindRows(Session& s);

// The list item that shows a list row's value (one-based rows start at value 1); may lie outside
// the list, which then shows no selection.
int listIndexForValue(const ParamRow& row);
// The value that choosing item index of a list row gives.
int32_t valueForListIndex(const ParamRow& row, int index);

// An edit row's number as a configuration read shows it: value / scale + 0.0001 in single
// precision, written with the row's template.
std::string readDisplayText(const ParamRow& row, char decimalSeparator, float& displayValue);

// Shows a row's value in its bound control as a configuration read does; the password row keeps
// its field's text.
void showReadValue(Session& s, int rowIndex);

// Shows an edit row's value as value x 0.1 with its template (the range and setpoint resets).
void showTenthsValue(Session& s, int rowIndex);

}  // namespace k54
