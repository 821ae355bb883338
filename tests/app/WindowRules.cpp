#include "tests/app/WindowRules.h"

#include "config/operations/RowBinding.h"
#include "form/Status.h"

namespace k54::test {
namespace {

// Adds a problem when `got` is not `want`.
template <class T>
void expectEqual(Problems& problems, const std::string& what, const T& got, const T& want) {
    if (got == want) return;
    std::string line = what + ": got ";
    if constexpr (std::is_same_v<T, std::string>) {
        line += "\"" + got + "\", want \"" + want + "\"";
    } else {
        line += std::to_string(got) + ", want " + std::to_string(want);
    }
    problems.push_back(line);
}

void expectText(Problems& problems, const Form& form, const char* control, const std::string& want) {
    expectEqual(problems, std::string(control), form.text(control), want);
}

void startLook(WindowSession& s, Problems& problems) {
    const Form& form = s.form;
    expectText(problems, form, "VerPC", "v.1.06.0000");
    expectText(problems, form, "Adr_E", "1");
    expectText(problems, form, "Spd_B", "19200");
    expectText(problems, form, "Psw_E", "0000");
    expectText(problems, form, "ConnectCom", "Подключить");
    expectText(problems, form, "sMgr", " ");
    expectText(problems, form, "sUnt", " ");
    expectEqual(problems, std::string("panel 0"), form.panelText(0), std::string("v.1.00.0001"));
    if (form.isDown("ConnectCom")) problems.push_back("ConnectCom is down");
    if (form.isChecked("Mgr_En")) problems.push_back("Mgr_En is ticked");
    if (form.isEnabled("InforF")) problems.push_back("InforF is enabled");
    for (const char* hidden : {"Config", "MeasureL", "TitulControl", "Panel_Tsp", "Panel_Tmp", "Ptr_B", "Ptr_T"})
        if (form.isVisible(hidden)) problems.push_back(std::string(hidden) + " is visible");
}

void onlyTheClockRuns(WindowSession& s, Problems& problems) {
    const Form& form = s.form;
    if (!form.isTimerEnabled("TimerReal")) problems.push_back("TimerReal is off");
    if (form.isTimerEnabled("Timer_ReadMg")) problems.push_back("Timer_ReadMg is on");
    if (form.isTimerEnabled("Timer_Mgr")) problems.push_back("Timer_Mgr is on");
    expectEqual(problems, std::string("TimerReal's interval"), form.timerInterval("TimerReal"), 1000);
    expectEqual(problems, std::string("Timer_ReadMg's interval"), form.timerInterval("Timer_ReadMg"), 100);
    expectEqual(problems, std::string("Timer_Mgr's interval"), form.timerInterval("Timer_Mgr"), 1000);
}

void rowsBoundToTheirControls(WindowSession& s, Problems& problems) {
    for (const ParamRow& row : s.k.params) {
        const std::string name(row.controlName);
        if (!row.bound) problems.push_back(name + " is not bound");
        const ControlKind kind = s.form.kindOf(row.controlName);
        const bool fits = row.kind == ParamKind::Combo ? kind == ControlKind::Combo
                                                       : kind == ControlKind::Edit || kind == ControlKind::MaskedEdit;
        if (!fits) problems.push_back(name + " is bound to a control of another kind");
    }
}

void reportsGoToPanel3AndTheLog(WindowSession& s, Problems& problems) {
    const std::string before = s.form.logText();
    reportStatus(s.form, "первая");
    reportStatus(s.form, "вторая");
    expectEqual(problems, std::string("panel 3"), s.form.panelText(3), std::string("вторая"));
    expectEqual(problems, std::string("the log"), s.form.logText(), before + "первая\nвторая\n");
    clearLog(s.form);
    reportStatus(s.form, "одна");
    expectEqual(problems, std::string("the log after clearing"), s.form.logText(), std::string("одна\n"));
}

void changesFromCode(WindowSession& s, Problems& problems) {
    s.form.setText("Adr_E", "7");  // a text set from code raises its change: the handler takes it
    expectEqual(problems, std::string("slave address"), int{s.k.slaveAddress}, 7);
    s.form.setItemIndex("Spd_B", 6);  // a list choice from code raises none
    expectEqual(problems, std::string("speed index"), int{s.k.speedIndex}, 3);
    s.form.setChecked("Mgr_En", true);  // a check box set from code raises its click
    if (!s.k.hasLinkFlags(kLinkPolling) || !s.form.isTimerEnabled("Timer_ReadMg"))
        problems.push_back("ticking Mgr_En from code did not start polling");
    s.form.setChecked("Mgr_En", false);
    if (s.k.hasLinkFlags(kLinkPolling) || s.form.isTimerEnabled("Timer_ReadMg"))
        problems.push_back("clearing Mgr_En from code did not stop polling");
}

void valuesShowInTheirControls(WindowSession& s, Problems& problems) {
    struct Case {
        int row;
        int32_t value;
        const char* text;  // an edit's text
        int item;          // a list's item
    };
    const Case cases[] = {
        {row::Gs1, 1, "0.1", 0},          {row::rLn, 1234, "12.34", 0},
        {row::Dpl, -500, "-50.0", 0},     {row::rLn, -1, "-0.01", 0},
        {row::Dph, 12340, "1234.0", 0},   {row::Icd, 2000, "20.00", 0},
        {row::Ndt, 1, nullptr, 0},        {row::Ndt, 30, nullptr, 29},
        {row::Ndt, 0, nullptr, -1},       {row::La, 16, nullptr, 15},
        {20 /* Ptr_B */, 1, nullptr, -1}, {row::Mod, 22, nullptr, 22},
        {row::Mod, 23, nullptr, -1},      {row::Sch, -1, nullptr, -1},
        {row::Psw, 1234, "0000", 0},  // the password is never shown
    };
    for (const Case& c : cases) {
        ParamRow& row = s.k.row(c.row);
        row.value = c.value;
        showReadValue(s, c.row);
        const std::string what = std::string(row.controlName) + " showing " + std::to_string(c.value);
        if (c.text)
            expectEqual(problems, what, s.form.text(row.controlName), std::string(c.text));
        else
            expectEqual(problems, what, s.form.itemIndex(row.controlName), c.item);
    }
}

}  // namespace

const std::vector<WindowRule>& windowRules() {
    static const std::vector<WindowRule> rules{
        {"start look", startLook},
        {"only the clock runs", onlyTheClockRuns},
        {"rows bound to their controls", rowsBoundToTheirControls},
        {"reports go to panel 3 and the log", reportsGoToPanel3AndTheLog},
        {"changes from code", changesFromCode},
        {"values show in their controls", valuesShowInTheirControls},
    };
    return rules;
}

}  // namespace k54::test
