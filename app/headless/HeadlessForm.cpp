#include "app/headless/HeadlessForm.h"

#include <stdexcept>
#include <utility>

namespace k54 {

HeadlessForm::HeadlessForm(bool reactivatesAfterBox) : reactivatesAfterBox_(reactivatesAfterBox) {
    for (const ControlSpec& entry : windowLayout()) {
        State s;
        s.kind = entry.kind;
        s.text = entry.text;
        for (const std::string& item : entry.items) s.items.push_back({item, {}});
        s.itemIndex = entry.itemIndex;
        s.maxLength = entry.maxLength;
        s.visible = entry.visible;
        s.enabled = entry.enabled;
        s.interval = entry.interval;
        controls_.emplace(entry.name, std::move(s));
    }
    for (std::size_t i = 0; i < kStatusPanels.size(); ++i) panels_.at(i) = kStatusPanels.at(i).text;
}

HeadlessForm::State& HeadlessForm::state(std::string_view name) {
    const auto it = controls_.find(name);
    if (it == controls_.end()) throw std::out_of_range("no control named " + std::string(name));
    return it->second;
}

const HeadlessForm::State& HeadlessForm::state(std::string_view name) const {
    const auto it = controls_.find(name);
    if (it == controls_.end()) throw std::out_of_range("no control named " + std::string(name));
    return it->second;
}

void HeadlessForm::raise(EventKind kind, std::string_view name, int key) {
    raiseKey(kind, name, key);
}

int HeadlessForm::raiseKey(EventKind kind, std::string_view name, int key) {
    Event e{name, kindOf(name), key};
    ++handlersRunning_;
    if (sink_) sink_(kind, e);
    if (--handlersRunning_ == 0) {
        stopAsked_ = false;
        if (std::exchange(closing_, false)) closed_ = true;
        for (const auto& type : std::exchange(typedAhead_, {})) type();
    }
    return e.key;
}

bool HeadlessForm::keepWaiting() {
    if (closing_) return false;
    waiting_ = true;
    if (whileWaiting_) whileWaiting_();
    waiting_ = false;
    return !closing_;
}

bool HeadlessForm::held() {
    if (!waiting_) return false;
    ++heldInputs_;
    return true;
}

bool HeadlessForm::keptForLater(std::function<void()> type) {
    if (!waiting_) return false;
    typedAhead_.push_back(std::move(type));
    return true;
}

void HeadlessForm::operatorPressesEscape() {
    if (waiting_) stopAsked_ = true;
}

void HeadlessForm::operatorCloses() {
    if (handlersRunning_ > 0)
        closing_ = true;
    else
        closed_ = true;
}

bool HeadlessForm::hasControl(std::string_view name) const {
    return controls_.count(name) != 0;
}

ControlKind HeadlessForm::kindOf(std::string_view name) const {
    return name == kWindowName ? ControlKind::Form : state(name).kind;
}

std::string HeadlessForm::text(std::string_view name) const {
    const State& s = state(name);
    if (s.kind != ControlKind::Combo) return s.text;
    return s.itemIndex >= 0 && s.itemIndex < static_cast<int>(s.items.size())
               ? s.items.at(static_cast<std::size_t>(s.itemIndex)).text
               : std::string{};
}

void HeadlessForm::setText(std::string_view name, std::string_view text) {
    State& s = state(name);
    if (s.text == text) return;
    s.text = std::string(text);
    if (s.kind == ControlKind::Edit || s.kind == ControlKind::MaskedEdit) {
        ++s.changeEvents;
        raise(EventKind::Change, name);
    }
}

void HeadlessForm::selectAllText(std::string_view name) {
    state(name);
}
bool HeadlessForm::isVisible(std::string_view name) const {
    return state(name).visible;
}
void HeadlessForm::setVisible(std::string_view name, bool visible) {
    state(name).visible = visible;
}
bool HeadlessForm::isEnabled(std::string_view name) const {
    return state(name).enabled;
}
void HeadlessForm::setEnabled(std::string_view name, bool enabled) {
    state(name).enabled = enabled;
}
Colour HeadlessForm::colour(std::string_view name) const {
    return state(name).colour;
}
void HeadlessForm::setColour(std::string_view name, Colour colour) {
    state(name).colour = colour;
}
int HeadlessForm::itemIndex(std::string_view name) const {
    return state(name).itemIndex;
}

void HeadlessForm::setItemIndex(std::string_view name, int index) {
    State& s = state(name);
    s.itemIndex = index >= 0 && index < static_cast<int>(s.items.size()) ? index : -1;
}

int HeadlessForm::itemCount(std::string_view name) const {
    return static_cast<int>(state(name).items.size());
}

std::string HeadlessForm::itemText(std::string_view name, int index) const {
    return state(name).items.at(static_cast<std::size_t>(index)).text;
}

std::string HeadlessForm::itemHint(std::string_view name, int index) const {
    return state(name).items.at(static_cast<std::size_t>(index)).hint;
}

void HeadlessForm::clearItems(std::string_view name) {
    State& s = state(name);
    s.items.clear();
    s.itemIndex = -1;
}

void HeadlessForm::addItem(std::string_view name, std::string_view text, std::string_view hint) {
    state(name).items.push_back({std::string(text), std::string(hint)});
}

bool HeadlessForm::isChecked(std::string_view name) const {
    return state(name).checked;
}

void HeadlessForm::setChecked(std::string_view name, bool checked) {
    State& s = state(name);
    if (s.checked == checked) return;
    s.checked = checked;
    raise(EventKind::Click, name);
}

bool HeadlessForm::isDown(std::string_view name) const {
    return state(name).down;
}
void HeadlessForm::setDown(std::string_view name, bool down) {
    state(name).down = down;
}
std::string HeadlessForm::panelText(int panel) const {
    return panels_.at(static_cast<std::size_t>(panel));
}
void HeadlessForm::setPanelText(int panel, std::string_view text) {
    panels_.at(static_cast<std::size_t>(panel)) = text;
}

std::string HeadlessForm::logText() const {
    std::string all;
    for (const std::string& line : log_) all += line + "\n";
    return all;
}

int HeadlessForm::progress(std::string_view name) const {
    return state(name).position;
}
void HeadlessForm::setProgress(std::string_view name, int position) {
    state(name).position = position;
}
int HeadlessForm::timerInterval(std::string_view name) const {
    return state(name).interval;
}
void HeadlessForm::setTimerInterval(std::string_view name, int milliseconds) {
    state(name).interval = milliseconds;
}
bool HeadlessForm::isTimerEnabled(std::string_view name) const {
    return state(name).enabled;
}
void HeadlessForm::setTimerEnabled(std::string_view name, bool enabled) {
    state(name).enabled = enabled;
}

// A box takes the window's activation: the focused field loses the focus only for the box's time, so
// it is not left. A window that is closing shows none (a question is answered No, a dialog cancelled).
bool HeadlessForm::recordBox(BoxKind kind, std::string_view text, std::string_view caption) {
    if (closing_) return false;
    boxes_.push_back({kind, std::string(text), std::string(caption)});
    active_ = false;
    boxClosed_ = true;
    return true;
}

void HeadlessForm::showInformation(std::string_view text) {
    recordBox(BoxKind::Information, text, {});
}
void HeadlessForm::showMessage(std::string_view text) {
    recordBox(BoxKind::Message, text, {});
}

bool HeadlessForm::askYesNo(std::string_view text, std::string_view caption) {
    // A question the test did not expect is answered No.
    if (!recordBox(BoxKind::Question, text, caption) || answers_.empty()) return false;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

// A file dialog is recorded as a box (its text the suggested name) and answered from the queue.
std::optional<std::string> HeadlessForm::answerFileDialog(BoxKind kind, std::string_view suggestedName,
                                                          std::string_view caption) {
    // A dialog the test did not expect is cancelled.
    if (!recordBox(kind, suggestedName, caption) || fileAnswers_.empty()) return std::nullopt;
    std::optional<std::string> path = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return path;
}

std::optional<std::string> HeadlessForm::chooseFileToSave(std::string_view caption, std::string_view suggestedName) {
    return answerFileDialog(BoxKind::SaveFile, suggestedName, caption);
}

std::optional<std::string> HeadlessForm::chooseFileToOpen(std::string_view caption) {
    return answerFileDialog(BoxKind::OpenFile, {}, caption);
}

void HeadlessForm::create() {
    raise(EventKind::Create, kWindowName);
}
void HeadlessForm::activate() {
    raise(EventKind::Activate, kWindowName);
}

void HeadlessForm::settle() {
    if (!boxClosed_ || !reactivatesAfterBox_) return;
    boxClosed_ = false;
    active_ = true;
    activate();
    if (!focused_.empty() && entered_ != focused_) {
        entered_ = focused_;
        raise(EventKind::Enter, focused_);
    }
    settle();  // the handlers just run may have shown a box of their own
}

void HeadlessForm::operatorChooses(std::string_view list, int index) {
    if (held()) return;
    setItemIndex(list, index);
    raise(EventKind::Change, list);
    settle();
}

void HeadlessForm::operatorTypes(std::string_view field, std::string_view text) {
    if (keptForLater([this, f = std::string(field), t = std::string(text)] { operatorTypes(f, t); })) return;
    setText(field, text);
    settle();
}

bool HeadlessForm::operatorTypesChar(std::string_view field, int character) {
    if (keptForLater([this, f = std::string(field), character] { operatorTypesChar(f, character); })) return true;
    const int passed = raiseKey(EventKind::KeyPress, field, character);
    if (passed == 0) {
        settle();
        return false;
    }
    State& s = state(field);
    if (passed == 8) {
        if (!s.text.empty()) setText(field, s.text.substr(0, s.text.size() - 1));
    } else if (s.maxLength == 0 || static_cast<int>(s.text.size()) < s.maxLength) {
        setText(field, s.text + static_cast<char>(passed));
    }
    settle();
    return true;
}

// As Qt moves the focus: the window's focus control changes first, then the control left gets its
// focus-out and the new one its focus-in, each only while the window is active. A box shown by the
// focus-out handler takes the activation, and the new control's focus-in then waits for the window
// to be activated again.
void HeadlessForm::focus(std::string_view control) {
    if (held()) return;
    if (focused_ == control) return;
    const std::string left = std::exchange(focused_, std::string(control));
    if (active_ && !left.empty() && entered_ == left) {
        entered_.clear();
        raise(EventKind::Exit, left);
    }
    if (active_ && !focused_.empty() && entered_ != focused_) {
        entered_ = focused_;
        raise(EventKind::Enter, focused_);
    }
    settle();
}

void HeadlessForm::leaveFocus() {
    focus({});
}

void HeadlessForm::pressKey(std::string_view control, int virtualKey) {
    if (keptForLater([this, c = std::string(control), virtualKey] { pressKey(c, virtualKey); })) return;
    raise(EventKind::KeyDown, control, virtualKey);
    settle();
}

void HeadlessForm::click(std::string_view control) {
    if (waiting_ && control == "DemoExit") {  // «Выход» ends the wait as the close box does
        operatorCloses();
        return;
    }
    if (held()) return;
    State& s = state(control);
    if (s.kind == ControlKind::CheckBox) {
        setChecked(control, !s.checked);  // raises the click
    } else {
        if (s.kind == ControlKind::LatchButton) s.down = !s.down;
        raise(EventKind::Click, control);
    }
    settle();
}

void HeadlessForm::operatorOpensList(std::string_view list) {
    if (held()) return;
    raise(EventKind::DropDown, list);
    settle();
}

bool HeadlessForm::fireTimer(std::string_view timer) {
    if (!state(timer).enabled) return false;
    // Only the display timers run while the line is waited on; the poll's next tick comes after.
    if (waiting_ && timer != "TimerReal" && timer != "Timer_Mgr") return false;
    raise(EventKind::Timer, timer);
    settle();
    return true;
}

int HeadlessForm::changeEvents(std::string_view control) const {
    return state(control).changeEvents;
}

HeadlessWindow::HeadlessWindow(cPort& port, mBus& bus, k54L& state, const SystemSettings& system,
                               bool reactivatesAfterBox)
    : form(reactivatesAfterBox), events(port, bus, state, form, system) {
    form.setEventSink([this](EventKind kind, Event& e) { return events.raise(kind, e); });
    port.setWaitHook([this] { return form.keepWaiting(); });
}

HeadlessWindow::~HeadlessWindow() {
    events.session().port.setWaitHook({});
}

void HeadlessWindow::start() {
    form.create();
    form.activate();
}

}  // namespace k54
