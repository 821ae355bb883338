#include "app/K5402p.h"

#include "app/WindowLayout.h"
#include "config/operations/ConfigReadWrite.h"
#include "config/operations/Connection.h"
#include "config/operations/FileOperations.h"
#include "config/operations/InputTypeView.h"
#include "config/operations/Measurement.h"
#include "config/operations/Password.h"
#include "config/operations/ValueEntry.h"
#include "form/Status.h"

namespace k54 {
namespace {

constexpr std::string_view kParameterLists[] = {"Mod_B", "Sch_B", "Mcj_B", "Ufp_B", "Brn_B", "Rng_B",
                                                "Ind_B", "Ndt_B", "Lt__B", "Lp__B", "La__B", "Ld__B",
                                                "Rl1_B", "Rl2_B", "Out_B", "Sqr_B", "Ien_B", "Ptr_B"};
constexpr std::string_view kParameterEdits[] = {"rLn_E", "Us1_E", "Gs1_E", "Us2_E", "Gs2_E",
                                                "Dpl_E", "Dph_E", "Iol_E", "Ioh_E", "Icd_E"};

std::vector<Wire> buildWiring() {
    using W = WindowEvents;
    std::vector<Wire> wires{
        {kWindowName, EventKind::Create, &W::FormCreate},
        {kWindowName, EventKind::Activate, &W::FormActivate},
        {"DemoExit", EventKind::Click, &W::DemoExitClick},
        {"ClearMemo", EventKind::Click, &W::ClearMemoClick},
        {"Adr_E", EventKind::Change, &W::Adr_EChange},
        {"Spd_B", EventKind::Change, &W::Spd_BChange},
        {"Com_B", EventKind::Change, &W::Com_BChange},
        {"Com_B", EventKind::DropDown, &W::Com_BDropDown},
        {"ConnectCom", EventKind::Click, &W::ConnectComClick},
        {"Source", EventKind::Click, &W::SourceClick},
        {"Cfg_Save", EventKind::Click, &W::Cfg_SaveClick},
        {"Cfg_Load", EventKind::Click, &W::Cfg_LoadClick},
        {"Psw_E", EventKind::Exit, &W::Psw_EExit},
        {"Psw_E", EventKind::KeyPress, &W::Psw_EKeyPress},
        {"Psw_Write", EventKind::Click, &W::Psw_WriteClick},
        {"Psw_Reset", EventKind::Click, &W::Psw_ResetClick},
        {"Timer_ReadMg", EventKind::Timer, &W::Timer_ReadMgTimer},
        {"TimerReal", EventKind::Timer, &W::TimerRealTimer},
        {"Mgr_En", EventKind::Click, &W::Mon_EnClick},
        {"Timer_Mgr", EventKind::Timer, &W::Timer_MgrTimer},
        {"Mgr_Trend", EventKind::Click, &W::Mgr_TrendClick},
    };
    for (const std::string_view list : kParameterLists) wires.push_back({list, EventKind::Change, &W::Mod_BChange});
    for (const std::string_view edit : kParameterEdits) {
        wires.push_back({edit, EventKind::Enter, &W::Us1_EEnter});
        wires.push_back({edit, EventKind::Exit, &W::Us1_EExit});
        wires.push_back({edit, EventKind::KeyDown, &W::Us1_EKeyDown});
    }
    return wires;
}

}  // namespace

const std::vector<Wire>& eventWiring() {
    static const std::vector<Wire> wiring = buildWiring();
    return wiring;
}

WindowEvents::WindowEvents(cPort& port, mBus& bus, k54L& state, Form& form, const SystemSettings& system)
    : session_{state, form, port, bus, system} {}

bool WindowEvents::raise(EventKind kind, Event& e) {
    for (const Wire& wire : eventWiring()) {
        if (wire.control == e.sender && wire.event == kind) {
            (this->*wire.handler)(e);
            return true;
        }
    }
    return false;
}

void WindowEvents::FormCreate(Event&) {
    stopMeasurementPoll(session_);
    clearPasswordField(session_);
    listSerialPorts(session_);
    showClock(session_);  // the current time from the start, not the design text until the first tick
}

void WindowEvents::FormActivate(Event&) {
    initialiseWindow(session_);
}
void WindowEvents::DemoExitClick(Event&) {
    session_.form.closeWindow();
}
void WindowEvents::ClearMemoClick(Event&) {
    clearLog(session_.form);
}
void WindowEvents::Adr_EChange(Event&) {
    applyAddressText(session_);
}
void WindowEvents::Spd_BChange(Event&) {
    selectSpeed(session_);
}
void WindowEvents::Com_BChange(Event&) {
    selectPort(session_);
}

void WindowEvents::Com_BDropDown(Event&) {
    refreshSerialPorts(session_);
}

void WindowEvents::ConnectComClick(Event&) {
    if (toggleConnection(session_)) readConfiguration(session_);
}

void WindowEvents::SourceClick(Event&) {
    confirmAndWriteFactory(session_);
}
void WindowEvents::Cfg_SaveClick(Event&) {
    saveConfigurationToFile(session_);
}
void WindowEvents::Cfg_LoadClick(Event&) {
    loadConfigurationFromFile(session_);
}
void WindowEvents::Mod_BChange(Event& e) {
    applyListChange(session_, e.sender, e.senderKind);
}
void WindowEvents::Us1_EEnter(Event& e) {
    beginValueEntry(session_, e.sender);
}
void WindowEvents::Us1_EExit(Event& e) {
    commitValueEntry(session_, e.sender);
}

void WindowEvents::Us1_EKeyDown(Event& e) {
    if (e.key == kKeyEnter) commitValueEntry(session_, e.sender);
}

void WindowEvents::Psw_EExit(Event&) {
    capturePassword(session_);
}

void WindowEvents::Psw_EKeyPress(Event& e) {
    if (!passwordKeyPress(session_, e.key)) e.key = 0;
}

void WindowEvents::Psw_WriteClick(Event&) {
    submitPassword(session_);
}
void WindowEvents::Psw_ResetClick(Event&) {
    confirmAndResetPassword(session_);
}
void WindowEvents::Timer_ReadMgTimer(Event&) {
    pollMeasurement(session_);
}
void WindowEvents::TimerRealTimer(Event&) {
    showClock(session_);
}

void WindowEvents::Mon_EnClick(Event& e) {
    if (e.senderKind != ControlKind::CheckBox || e.sender != "Mgr_En") return;
    if (session_.form.isChecked("Mgr_En"))
        startMeasurementPoll(session_);
    else
        stopMeasurementPoll(session_);
}

void WindowEvents::Timer_MgrTimer(Event&) {
    endPollBlink(session_);
}

void WindowEvents::Mgr_TrendClick(Event&) {
    session_.form.showTrendWindow();
}

}  // namespace k54
