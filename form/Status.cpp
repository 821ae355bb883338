#include "form/Status.h"

namespace k54 {

void reportStatus(Form& form, std::string_view text) {
    form.setPanelText(3, text);
    form.repaintStatusBar();
    form.appendLog(text);
}

void clearLog(Form& form) {
    form.clearLogLines();
}

}  // namespace k54
