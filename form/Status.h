#pragma once
// The one way every operation reports a status line, and the log's clearing.
#include <string_view>

#include "form/Form.h"

namespace k54 {

// Status bar panel 3, repainted at once, and the same text as the log's new last line.
void reportStatus(Form& form, std::string_view text);

// Empties the log; the status bar keeps its text.
void clearLog(Form& form);

}  // namespace k54
