#pragma once
// The window as an in-memory model of its controls, for running the logic without a display.
// It keeps the same event semantics as the Qt window: a text set from code raises the field's change
// event, a list choice from code raises none, a check box set from code raises its click.
// Tests act as the operator through its operator calls (choose, type, focus, click), answer question
// boxes from a queue and fire timers by hand.
//
// Focus follows the Qt window's order of events. A field is entered (its focus-in handler runs) once
// per stay and left (its focus-out handler) when the focus moves on. A message box takes the window's
// activation away: the field keeps the focus but is not left. When the box is done, a desktop with a
// window manager activates the window again after the operator's action has run to its end: the window
// is activated and the focused field entered, if it was not. Without a window manager
// (reactivatesAfterBox false) the window stays inactive: the focus still moves and keys still reach the
// focused field, but no focus-in or focus-out handler runs any more.
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/K5402p.h"
#include "app/WindowLayout.h"
#include "form/Form.h"

namespace k54 {

class HeadlessForm final : public Form {
public:
    enum class BoxKind { Information, Message, Question, SaveFile, OpenFile };
    struct Box {
        BoxKind kind;
        std::string text;
        std::string caption;
    };
    using EventSink = std::function<bool(EventKind, Event&)>;

    explicit HeadlessForm(bool reactivatesAfterBox = true);

    // Where the model's events go (the window's handlers).
    void setEventSink(EventSink sink) { sink_ = std::move(sink); }

    // --- Form ---
    bool hasControl(std::string_view name) const override;
    ControlKind kindOf(std::string_view name) const override;
    std::string text(std::string_view name) const override;
    void setText(std::string_view name, std::string_view text) override;
    void selectAllText(std::string_view name) override;
    bool isVisible(std::string_view name) const override;
    void setVisible(std::string_view name, bool visible) override;
    bool isEnabled(std::string_view name) const override;
    void setEnabled(std::string_view name, bool enabled) override;
    Colour colour(std::string_view name) const override;
    void setColour(std::string_view name, Colour colour) override;
    int itemIndex(std::string_view name) const override;
    void setItemIndex(std::string_view name, int index) override;
    int itemCount(std::string_view name) const override;
    std::string itemText(std::string_view name, int index) const override;
    std::string itemHint(std::string_view name, int index) const override;
    void clearItems(std::string_view name) override;
    void addItem(std::string_view name, std::string_view text, std::string_view hint) override;
    bool isChecked(std::string_view name) const override;
    void setChecked(std::string_view name, bool checked) override;
    bool isDown(std::string_view name) const override;
    void setDown(std::string_view name, bool down) override;
    std::string panelText(int panel) const override;
    void setPanelText(int panel, std::string_view text) override;
    void repaintStatusBar() override { ++repaints_; }
    std::string logText() const override;
    void appendLog(std::string_view line) override { log_.emplace_back(line); }
    void clearLogLines() override { log_.clear(); }
    int progress(std::string_view name) const override;
    void setProgress(std::string_view name, int position) override;
    int timerInterval(std::string_view name) const override;
    void setTimerInterval(std::string_view name, int milliseconds) override;
    bool isTimerEnabled(std::string_view name) const override;
    void setTimerEnabled(std::string_view name, bool enabled) override;
    void showInformation(std::string_view text) override;
    void showMessage(std::string_view text) override;
    bool askYesNo(std::string_view text, std::string_view caption) override;
    void beep() override { ++beeps_; }
    void showTrendWindow() override { ++trendWindowShown_; }
    std::optional<std::string> chooseFileToSave(std::string_view caption, std::string_view suggestedName) override;
    std::optional<std::string> chooseFileToOpen(std::string_view caption) override;
    void closeWindow() override { closed_ = true; }
    bool stopRequested() const override { return stopAsked_ || closing_; }

    // --- the operator and the event loop, as tests drive them ---
    void create();    // the window has been built
    void activate();  // the window becomes active
    void operatorChooses(std::string_view list, int index);
    void operatorTypes(std::string_view field, std::string_view text);  // replaces the text
    bool operatorTypesChar(std::string_view field, int character);      // false when refused
    void focus(std::string_view control);                               // leaves the focused control, enters this one
    void leaveFocus();  // the focus moves to a control with no focus handlers
    void pressKey(std::string_view control, int virtualKey);
    void click(std::string_view control);
    void operatorOpensList(std::string_view list);
    bool fireTimer(std::string_view timer);  // false when the timer is not running
    void answerNextQuestion(bool yes) { answers_.push_back(yes); }
    void clearAnswers() { answers_.clear(); }
    // The next file dialog's answer: a path, or nothing for Cancel.
    void answerNextFileDialog(std::optional<std::string> path) { fileAnswers_.push_back(std::move(path)); }

    // --- the line's waits, under the Qt window's rules: while the line is waited on, the operator's
    // clicks are refused (they do nothing) and the keys typed are kept and typed once the work has ended,
    // display timers still run, Esc asks the work to stop, and closing the window gives up the wait and
    // closes once the work has unwound ---
    // What the operator does during each wait (the channel's hook calls it, at least every 10 ms).
    void setWhileWaiting(std::function<void()> act) { whileWaiting_ = std::move(act); }
    bool keepWaiting();  // the channel's wait hook
    void operatorPressesEscape();
    void operatorCloses();                          // the close box
    int heldInputs() const { return heldInputs_; }  // clicks refused while waiting

    // --- what the operator saw ---
    const std::vector<std::string>& logLines() const { return log_; }
    const std::vector<Box>& boxes() const { return boxes_; }
    void clearBoxes() { boxes_.clear(); }
    int beeps() const { return beeps_; }
    int repaints() const { return repaints_; }
    bool closed() const { return closed_; }
    int trendWindowShown() const { return trendWindowShown_; }
    int changeEvents(std::string_view control) const;
    const std::string& focused() const { return focused_; }
    bool active() const { return active_; }

private:
    struct Item {
        std::string text, hint;
    };
    struct State {
        ControlKind kind;
        std::string text;
        std::vector<Item> items;
        int itemIndex = -1;
        int maxLength = 0;
        bool visible = true, enabled = true, checked = false, down = false;
        Colour colour = kButtonFace;
        int interval = 0, position = 0;
        int changeEvents = 0;
    };

    State& state(std::string_view name);
    const State& state(std::string_view name) const;
    void raise(EventKind kind, std::string_view name, int key = 0);
    int raiseKey(EventKind kind, std::string_view name, int key);
    bool recordBox(BoxKind kind, std::string_view text, std::string_view caption);
    std::optional<std::string> answerFileDialog(BoxKind kind, std::string_view suggestedName, std::string_view caption);
    // The end of an operator's action: the window manager activates the window again after a box.
    void settle();

    std::map<std::string, State, std::less<>> controls_;
    std::array<std::string, 4> panels_;
    std::vector<std::string> log_;
    std::vector<Box> boxes_;
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    EventSink sink_;
    std::string focused_;  // the window's focus control
    std::string entered_;  // the field whose focus-in ran and whose focus-out has not
    bool active_ = true;
    bool boxClosed_ = false;  // a box was shown since the window was last activated
    bool reactivatesAfterBox_;
    int beeps_ = 0, repaints_ = 0;
    bool closed_ = false;
    int trendWindowShown_ = 0;
    std::function<void()> whileWaiting_;
    std::vector<std::function<void()>> typedAhead_;  // keys typed while waiting, to type once the work ends
    int handlersRunning_ = 0;
    int heldInputs_ = 0;
    bool waiting_ = false, stopAsked_ = false, closing_ = false;

    // True (and counted) when the operator's click is refused by a wait.
    bool held();
    // True when the keys are kept for later (then `type` runs once the work has ended).
    bool keptForLater(std::function<void()> type);
};

// The headless window: the model and its handlers, wired like the real one.
class HeadlessWindow {
public:
    HeadlessWindow(cPort& port, mBus& bus, k54L& state, const SystemSettings& system, bool reactivatesAfterBox = true);
    ~HeadlessWindow();
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;
    HeadlessForm form;
    WindowEvents events;

    // Builds, creates and activates the window as the program's start does.
    void start();
};

}  // namespace k54
