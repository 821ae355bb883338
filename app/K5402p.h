#pragma once
// The window's event handlers. Each forwards to one configuration operation and does nothing else;
// the Qt window Tk54 and the in-memory window of the tests both inherit them, and both route events
// to them through the one wiring table below.
#include <string_view>
#include <vector>

#include "config/operations/WindowSession.h"
#include "form/KeyCodes.h"

namespace k54 {

// DropDown: the operator opens a list (its items are about to show).
enum class EventKind { Create, Activate, Click, Change, Enter, Exit, KeyDown, KeyPress, Timer, DropDown };

// What a handler receives: the control that raised the event and, for key events, the key
// (a key-press handler sets it to 0 to keep the character out of the field).
struct Event {
    std::string_view sender;
    ControlKind senderKind = ControlKind::Form;
    int key = 0;
};

class WindowEvents {
public:
    WindowEvents(cPort& port, mBus& bus, k54L& state, Form& form, const SystemSettings& system);
    virtual ~WindowEvents() = default;
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

    void FormCreate(Event& e);
    void FormActivate(Event& e);
    void DemoExitClick(Event& e);
    void ClearMemoClick(Event& e);
    void Adr_EChange(Event& e);
    void Spd_BChange(Event& e);
    void Com_BChange(Event& e);
    void Com_BDropDown(Event& e);
    void ConnectComClick(Event& e);
    void SourceClick(Event& e);
    void Cfg_SaveClick(Event& e);
    void Cfg_LoadClick(Event& e);
    void Mod_BChange(Event& e);
    void Us1_EEnter(Event& e);
    void Us1_EExit(Event& e);
    void Us1_EKeyDown(Event& e);
    void Psw_EExit(Event& e);
    void Psw_EKeyPress(Event& e);
    void Psw_WriteClick(Event& e);
    void Psw_ResetClick(Event& e);
    void Timer_ReadMgTimer(Event& e);
    void TimerRealTimer(Event& e);
    void Mon_EnClick(Event& e);
    void Timer_MgrTimer(Event& e);
    void Mgr_TrendClick(Event& e);

    // Runs the handler wired to this control's event; false when none is wired.
    bool raise(EventKind kind, Event& e);

    WindowSession& session() { return session_; }

private:
    WindowSession session_;
};

using Handler = void (WindowEvents::*)(Event&);

struct Wire {
    std::string_view control;
    EventKind event;
    Handler handler;
};

// Every control event the window serves and its handler.
const std::vector<Wire>& eventWiring();

}  // namespace k54
