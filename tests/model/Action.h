#pragma once
// One operator action on the window, as the randomized test generates it and prints it.
#include <optional>
#include <ostream>
#include <string>

namespace k54::model {

enum class ActionKind {
    SwitchPage,      // click a page's tab
    Choose,          // pick an item of a parameter list
    Type,            // click a numeric field, select all, type, then commit
    PasswordEnter,   // click the password field, type digits, press Enter, answer the question
    PasswordButton,  // click the password field, type digits, click «Запись», answer the question
    PasswordReset,   // click «Сброс», answer the question
    FactoryWrite,    // click «Исходная», answer the question
    ToggleLink,      // click «Подключить» / «Отключить»
    ToggleMeasure,   // click the live-measurement check box
};

// What the operator clicks while the action's exchanges wait on the line. The window refuses it: it does
// nothing, and the action goes on as if it had not been tried. (Keys typed meanwhile are typed after the
// action; the waiting window's tests have them.)
enum class Meddle { None, ClickFactory, ClickConnect, ChooseInputType, ClickPage, TickMeasurement };

// How a typed number is committed.
enum class Commit { Enter, Tab, ClickField };

struct Action {
    ActionKind kind = ActionKind::SwitchPage;
    int page = 0;         // SwitchPage
    std::string control;  // the list or field acted on
    int item = 0;         // Choose
    std::string text;     // Type, PasswordEnter, PasswordButton
    Commit commit = Commit::Enter;
    std::string target;            // ClickField: the field clicked to commit
    bool yes = false;              // the answer to the question box
    Meddle meddle = Meddle::None;  // tried during the action's first wait on the line (the headless window)
};

std::ostream& operator<<(std::ostream& os, const Action& action);

// The number a typed text stands for, read by the documented syntax: optional blanks, an optional
// sign, digits with at most one decimal separator (the system's), an optional exponent, optional
// blanks; a lone separator is 0. Nothing when the text is no such number.
std::optional<double> typedNumber(const std::string& text, char separator);

// The text with every separator of the other kind turned into the system's, as a commit does.
std::string withSystemSeparator(std::string text, char separator);

}  // namespace k54::model
