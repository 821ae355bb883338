#include "tests/model/OperatorModel.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "config/rules/EntryRules.h"
#include "config/rules/RangeRules.h"

namespace k54::model {
namespace {

constexpr int kMod = 0, kSch = 1, kRng = 5, kDpl = 6, kDph = 7, kIol = 8, kIoh = 9, kAdr = 17, kPsw = 19;
constexpr int kRangeRows[] = {kDpl, kDph, kIol, kIoh};
constexpr int kSetpointRows[] = {27, 28, 29, 30};

int rowOf(std::string_view control) {
    const auto row = modelRowOf(control);
    if (!row) throw std::logic_error("no parameter row for " + std::string(control));
    return *row;
}

// The registers an action on a row may write, from the model's own table: the row's own, and for the
// display range (whose commit may load the full input range) both display-range rows; the range mode
// resets the display and the scaled range.
std::vector<int> mayWrite(int row) {
    std::vector<int> rows{row};
    if (row == kDpl || row == kDph) rows = {kDpl, kDph};
    if (row == kRng) rows = {kRng, kDpl, kDph, kIol, kIoh};
    std::vector<int> registers;
    for (const int r : rows) {
        const std::vector<int> regs = registersOf(r);
        registers.insert(registers.end(), regs.begin(), regs.end());
    }
    return registers;
}

// The rows a new range mode sends after the mode itself: upper limits before lower ones.
std::vector<int> rangeModeSends(int32_t mode) {
    if (mode == 0 || mode == 1) return {kRng, kDph, kDpl};
    if (mode == 2) return {kRng, kDph, kDpl, kIoh, kIol};
    return {kRng, kIoh, kIol};
}

// The rows a committed number sends: a display-range number in the modes that do not let the operator
// set it loads the full input range first.
std::vector<int> commitSends(int row, int32_t mode) {
    if ((row == kDpl || row == kDph) && (mode == 0 || mode == 2)) return {kDph, kDpl, row};
    return {row};
}

std::optional<uint16_t> passwordNumber(const std::string& text) {
    std::string digits;
    for (const char c : text)
        if (c != ' ') digits += c;
    if (digits.empty() || digits.size() > 4 ||
        !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<uint16_t>(std::stoi(digits));
}

}  // namespace

struct Model::Step {
    Expectation& e;
    bool boxShown = false;
};

Model::Model(bool reactivatesAfterBox, char separator_)
    : table(kParamTemplate), image(factoryImage()), reactivates(reactivatesAfterBox), separator(separator_) {
    for (int row = 0; row < kRows; ++row)
        if (modelRow(row).name != table.at(static_cast<std::size_t>(row)).controlName)
            throw std::logic_error("the model's rows are not in the configurator's order");
    texts["Psw_E"] = "0000";
    readConfiguration();
}

std::string Model::textOf(int row, int decimals) const {
    return decimalText(value(row), modelRow(row).scale, decimals, separator);
}

std::string Model::shown(int row) const {
    const ModelRow& r = modelRow(row);
    if (r.items > 0) return std::to_string(itemForValue(row, value(row)));
    if (row == kAdr) return std::to_string(value(row));
    return texts.at(std::string(r.name));
}

bool Model::focusable(std::string_view control, bool pagesHidden) const {
    const int controlPage = pageOf(control);
    if (controlPage != kNoPage && (pagesHidden || controlPage != page)) return false;
    const int32_t type = value(kMod);
    if (control == "Sch_B") return isResistanceInput(type);
    if (control == "rLn_E") return isResistanceInput(type) && value(kSch) == 1;
    if (control == "Mcj_B") return isThermocouple(type);
    if (control == "Ptr_B") return false;
    if (control == "Mgr_En" || control == "Source") return connected;
    if (control == "Adr_E" || control == "Spd_B" || control == "Com_B") return !connected;
    return true;
}

bool Model::isFocusable(std::string_view control) const {
    return focusable(control, false);
}

std::string Model::nextFocusable(std::string_view from, bool pagesHidden) const {
    const auto& chain = focusChain();
    const auto at = std::ranges::find_if(chain, [&](const ChainEntry& e) { return e.name == from; });
    const std::size_t start = at == chain.end() ? 0 : static_cast<std::size_t>(at - chain.begin());
    for (std::size_t i = 1; i <= chain.size(); ++i) {
        const ChainEntry& next = chain.at((start + i) % chain.size());
        if (focusable(next.name, pagesHidden)) return std::string(next.name);
    }
    return std::string(from);
}

std::vector<std::string> Model::focusableFields() const {
    std::vector<std::string> fields;
    for (const std::string_view f : numericFields())
        if (isFocusable(f)) fields.emplace_back(f);
    return fields;
}

std::vector<std::string> Model::focusableLists() const {
    std::vector<std::string> lists;
    for (const std::string_view l : pageLists())
        if (isFocusable(l)) lists.emplace_back(l);
    return lists;
}

bool Model::allows(const Action& a) const {
    switch (a.kind) {
        case ActionKind::SwitchPage:
            return a.page >= 0 && a.page < kPages && a.page != page;
        case ActionKind::Choose: {
            const auto row = modelRowOf(a.control);
            return row && modelRow(*row).items > a.item && a.item >= 0 && isFocusable(a.control) &&
                   std::ranges::find(pageLists(), a.control) != pageLists().end();
        }
        case ActionKind::Type:
            return isNumericField(a.control) && isFocusable(a.control) &&
                   (a.commit != Commit::ClickField ||
                    (isNumericField(a.target) && a.target != a.control && isFocusable(a.target)));
        case ActionKind::PasswordEnter:
        case ActionKind::PasswordButton:
        case ActionKind::PasswordReset:
            return page == 5;
        case ActionKind::FactoryWrite:
        case ActionKind::ToggleMeasure:
            return connected;
        case ActionKind::ToggleLink:
            return true;
    }
    return false;
}

Expectation Model::apply(const Action& a) {
    Expectation e;
    Step step{e};
    switch (a.kind) {
        case ActionKind::SwitchPage:
            switchPage(a.page, step);
            break;
        case ActionKind::Choose:
            moveFocus(a.control, step);
            settle(step);
            chooseItem(a.control, a.item, step);
            break;
        case ActionKind::Type:
            moveFocus(a.control, step);
            settle(step);
            texts[a.control] = a.text;
            if (a.commit == Commit::Enter)
                commitField(a.control, step);
            else
                moveFocus(a.commit == Commit::Tab ? nextFocusable(a.control, false) : a.target, step);
            break;
        case ActionKind::PasswordEnter: {
            moveFocus("Psw_E", step);
            settle(step);
            texts["Psw_E"] = a.text;
            const auto number = passwordNumber(a.text);
            if (!number) {
                e.steps.push_back("password field holds no number");
                texts["Psw_E"] = "0000";
                break;
            }
            password = *number;
            ask(step);
            if (a.yes) writePassword(step);
            texts["Psw_E"] = "0000";
            break;
        }
        case ActionKind::PasswordButton:
            moveFocus("Psw_E", step);
            settle(step);
            texts["Psw_E"] = a.text;
            moveFocus("Psw_Write", step);
            ask(step);
            if (a.yes) writePassword(step);
            texts["Psw_E"] = "0000";
            break;
        case ActionKind::PasswordReset:
            moveFocus("Psw_Reset", step);
            ask(step);
            if (a.yes) {
                password = 0;
                writePassword(step);
            }
            break;
        case ActionKind::FactoryWrite:
            moveFocus("Source", step);
            ask(step);
            if (a.yes) {
                for (int r = 0; r < kRegisters; ++r) e.allowedRegisters.insert(r);
                image = factoryImage();
                readConfiguration();
                e.steps.push_back("factory configuration written and read back");
            }
            break;
        case ActionKind::ToggleLink:
            moveFocus("ConnectCom", step);
            connected = !connected;
            measuring = false;
            if (connected) readConfiguration();
            e.steps.push_back(connected ? "connected, configuration read" : "disconnected");
            break;
        case ActionKind::ToggleMeasure:
            moveFocus("Mgr_En", step);
            measuring = !measuring;
            break;
    }
    settle(step);
    return e;
}

// Qt moves the focus first and then sends the focus-out to the control left and the focus-in to the one
// entered, both only while the window is active. A box shown by the focus-out takes the activation, so
// the focus-in does not come.
void Model::moveFocus(std::string_view to, Step& step) {
    if (to == focus) return;
    const std::string left = std::exchange(focus, std::string(to));
    if (const int p = pageOf(to); p != kNoPage) pageFocus.at(static_cast<std::size_t>(p)) = focus;
    step.e.focusMoves.push_back(focus);
    if (active && !left.empty() && entered == left) {
        entered.clear();
        if (isNumericField(left)) commitField(left, step);
        if (left == "Psw_E") capturePassword(step);
    }
    if (active && hasFocusHandlers(focus) && entered != focus) enterField(focus);
}

// Qt's tab widget: hiding the page that holds the focus sends it on to the next control outside the
// pages (the old field is left); the new page then gives the focus to its last focused control, or to
// its first control that takes the focus.
void Model::switchPage(int to, Step& step) {
    const int from = std::exchange(page, to);
    if (pageOf(focus) != from || from == kNoPage) return;
    const std::string left = focus;
    if (active) moveFocus(nextFocusable(left, true), step);
    const std::string& remembered = pageFocus.at(static_cast<std::size_t>(to));
    std::string first;
    for (const ChainEntry& e : focusChain())
        if (first.empty() && e.page == to && isFocusable(e.name)) first = e.name;
    moveFocus(remembered.empty() ? first : remembered, step);
}

void Model::enterField(std::string_view field) {
    entered = std::string(field);
    if (isNumericField(field)) texts[entered] = textOf(rowOf(field), modelRow(rowOf(field)).decimals);
}

void Model::commitField(std::string_view field, Step& step) {
    const int row = rowOf(field);
    std::string& text = texts[std::string(field)];
    text = withSystemSeparator(text, separator);
    const auto number = typedNumber(text, separator);
    step.e.steps.push_back("commit " + std::string(field) + " '" + text + "'");
    if (!number) {
        showBox(step);
        return;
    }
    const int32_t mode = value(kRng);
    const LimitedEntry entry = limitEntry(table, row, nudgedEntry(*number));
    const ChangePlan plan = storeEntry(table, row, entry.raw);
    if (plan.rangeShown)
        for (const int r : kRangeRows) texts[std::string(modelRow(r).name)] = textOf(r, 1);
    if (plan.setpointsShown)
        for (const int r : kSetpointRows) texts[std::string(modelRow(r).name)] = textOf(r, 1);
    text = textOf(row, entry.coarse ? 0 : modelRow(row).decimals);
    for (const int reg : mayWrite(row)) step.e.allowedRegisters.insert(reg);
    send(commitSends(row, mode), step);
}

void Model::capturePassword(Step& step) {
    if (const auto number = passwordNumber(texts["Psw_E"])) password = *number;
    step.e.steps.push_back("password field left: " + std::to_string(password));
    texts["Psw_E"] = "0000";
}

void Model::chooseItem(std::string_view list, int item, Step& step) {
    const int row = rowOf(list);
    const int32_t chosen = modelRow(row).oneBased ? item + 1 : item;
    table.at(static_cast<std::size_t>(row)).value = chosen;
    step.e.steps.push_back(std::string(list) + " := " + std::to_string(chosen));
    for (const int reg : mayWrite(row)) step.e.allowedRegisters.insert(reg);
    if (row == kRng) {
        resetDisplayRange(table, chosen);
        const bool setpoints = resetSetpoints(table, chosen);
        for (const int r : kRangeRows) texts[std::string(modelRow(r).name)] = textOf(r, 1);
        if (setpoints)
            for (const int r : kSetpointRows) texts[std::string(modelRow(r).name)] = textOf(r, 1);
        send(rangeModeSends(chosen), step);
    } else {
        send({row}, step);
    }
    if (row == kMod && connected) readConfiguration();
}

void Model::send(const std::vector<int>& rows, Step& step) {
    if (!connected) {
        step.e.writesWithoutLink = true;
        return;
    }
    for (const int r : rows) putRowValue(image, r, value(r));
}

void Model::writePassword(Step& step) {
    step.e.allowedRegisters.insert(modelRow(kPsw).reg);
    step.e.steps.push_back("password " + std::to_string(password) + " written");
    if (connected)
        putRowValue(image, kPsw, password);
    else
        step.e.writesWithoutLink = true;
}

void Model::readConfiguration() {
    for (int row = 0; row < kRows; ++row) table.at(static_cast<std::size_t>(row)).value = rowValue(image, row);
    for (const std::string_view f : numericFields())
        texts[std::string(f)] = textOf(rowOf(f), modelRow(rowOf(f)).decimals);
}

void Model::ask(Step& step) {
    step.e.asks = true;
    showBox(step);
}

void Model::showBox(Step& step) {
    ++step.e.boxes;
    step.boxShown = true;
    active = false;
}

// After a box a window manager activates the window again before the operator's next input (a click,
// the typing, a key): the focused field is entered then, if its focus-in did not come.
void Model::settle(Step& step) {
    if (!std::exchange(step.boxShown, false) || !reactivates) return;
    active = true;
    if (hasFocusHandlers(focus) && entered != focus) enterField(focus);
}

}  // namespace k54::model
