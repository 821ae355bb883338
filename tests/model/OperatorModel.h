#pragma once
// The model of the configurator as the operator drives it: the instrument's register image, the
// configurator's parameter values, what every control shows, and where the focus is, following Qt's
// order of focus events (a field's focus-out commits it, its focus-in shows its value again; a message
// box takes the window's activation away, and only a window manager gives it back).
#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "config/params/ParamTable.h"
#include "tests/model/Action.h"
#include "tests/model/ModelTable.h"

namespace k54::model {

// What the model expects one action to do besides the new state.
struct Expectation {
    std::set<int> allowedRegisters;       // registers the action may write: its rows and their follow-ups
    int boxes = 0;                        // message boxes it shows
    bool asks = false;                    // one of them is a question
    std::vector<std::string> focusMoves;  // where the focus goes, in order
    bool writesWithoutLink = false;       // a write was due while disconnected (it fails and is reported)
    std::vector<std::string> steps;       // what the configurator does, for failure messages
};

class Model {
public:
    // The window connected to an instrument at its factory configuration, focus on «Подключить».
    Model(bool reactivatesAfterBox, char separator);

    bool allows(const Action& action) const;
    Expectation apply(const Action& action);

    // The focusable controls and the targets the generator may pick.
    bool isFocusable(std::string_view control) const;
    std::vector<std::string> focusableFields() const;
    std::vector<std::string> focusableLists() const;

    // What control `row` shows: an edit's text, or a list's item index as text.
    std::string shown(int row) const;
    int32_t value(int row) const { return table.at(static_cast<std::size_t>(row)).value; }

    ParamTable table;  // the configurator's values (the rule functions work on this table)
    Image image;       // the instrument's registers 0 - 38
    std::map<std::string, std::string, std::less<>> texts;  // the numeric fields and the password field
    bool connected = true;
    bool measuring = false;
    bool active = true;  // the window is the active window
    bool reactivates;    // a window manager activates it again after a box
    char separator;
    int page = 5;  // the page shown: «Интерфейс» at start
    std::string focus = "ConnectCom";
    std::string entered;                          // the field whose focus-in ran and whose focus-out has not
    std::array<std::string, kPages> pageFocus{};  // each page's last focused control
    uint16_t password = 0;

private:
    struct Step;
    void moveFocus(std::string_view to, Step& step);
    void switchPage(int to, Step& step);
    void commitField(std::string_view field, Step& step);
    void capturePassword(Step& step);
    void enterField(std::string_view field);
    void chooseItem(std::string_view list, int item, Step& step);
    void send(const std::vector<int>& rows, Step& step);
    void writePassword(Step& step);
    void readConfiguration();
    void showBox(Step& step);
    void ask(Step& step);
    void settle(Step& step);
    std::string textOf(int row, int decimals) const;
    std::string nextFocusable(std::string_view from, bool pagesHidden) const;
    bool focusable(std::string_view control, bool pagesHidden) const;
};

}  // namespace k54::model
