#include "config/operations/Password.h"

#include "base/TextFormat.h"
#include "config/operations/ValueEntry.h"

namespace k54 {
namespace {

constexpr std::string_view kField = "Psw_E";

std::string fourDigits(uint16_t password) {
    return formatText("%04d", password);
}

// Takes the field's number into password; a field without one is refused in the log.
bool takeFieldPassword(WindowSession& s) {
    const auto number = passwordFromText(s.form.text(kField));
    if (!number) {
        s.form.appendLog(kBadNumber);
        return false;
    }
    s.k.password = *number;
    return true;
}

}  // namespace

void clearPasswordField(WindowSession& s) {
    s.form.setText(kField, "0000");
}

void capturePassword(WindowSession& s) {
    takeFieldPassword(s);
    clearPasswordField(s);
}

bool passwordKeyPress(WindowSession& s, int key) {
    if ((key >= '0' && key <= '9') || key == kKeyBackspace) return true;
    if (key == kKeyEnter) {
        if (takeFieldPassword(s))
            confirmAndWritePassword(s);
        else
            clearPasswordField(s);
        return false;
    }
    s.form.beep();
    return false;
}

void submitPassword(WindowSession& s) {
    s.form.setText(kField, fourDigits(s.k.password));
    confirmAndWritePassword(s);
}

void confirmAndWritePassword(WindowSession& s) {
    if (s.form.askYesNo("Записать пароль?", "Подтверждение")) {
        if (writePassword(s) == 0) {
            s.form.setText(kField, fourDigits(s.k.password));
            s.form.appendLog("Установлен сервисный пароль" + fourDigits(s.k.password));
        } else {
            s.form.appendLog("Ошибка записи пароля");
        }
    } else {
        s.form.appendLog("Пароль не изменен!");
    }
    clearPasswordField(s);
}

void confirmAndResetPassword(WindowSession& s) {
    if (!s.form.askYesNo("Сбросить пароль?", "Подтверждение")) return;
    clearPasswordField(s);
    s.k.password = 0;
    s.form.appendLog(writePassword(s) == 0 ? "Пароль обнулен" : "Ошибка записи пароля");
}

uint8_t writePassword(WindowSession& s) {
    return instrumentLink(s).writeParameter(row::Psw, s.k.password);
}

}  // namespace k54
