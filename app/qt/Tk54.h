#pragma once
// The window k54 of class Tk54: Qt widgets built from the window's layout table, the Form operations
// over them, and the window's handlers (inherited) reached through the one wiring table.
#include <QHash>
#include <QWidget>
#include <memory>

#include "app/K5402p.h"
#include "app/qt/InputHold.h"
#include "app/qt/WaitingInput.h"
#include "form/Form.h"
#include "trend/Trend.h"

class QLabel;
class QStatusBar;

namespace k54 {

class TrendWindow;

class Tk54 final : public QWidget, public Form, public WindowEvents {
    Q_OBJECT
public:
    Tk54(cPort& port, mBus& bus, k54L& state, const SystemSettings& system, QWidget* parent = nullptr);
    ~Tk54() override;

    // Ends the program with the exit status (a stop signal): at once when the window is idle; during an
    // operation its wait is given up, its boxes closed, and the program ends as soon as it has unwound.
    void endProgram(int exitStatus);

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
    void repaintStatusBar() override;
    std::string logText() const override;
    void appendLog(std::string_view line) override;
    void clearLogLines() override;
    int progress(std::string_view name) const override;
    void setProgress(std::string_view name, int position) override;
    int timerInterval(std::string_view name) const override;
    void setTimerInterval(std::string_view name, int milliseconds) override;
    bool isTimerEnabled(std::string_view name) const override;
    void setTimerEnabled(std::string_view name, bool enabled) override;
    void showInformation(std::string_view text) override;
    void showMessage(std::string_view text) override;
    bool askYesNo(std::string_view text, std::string_view caption) override;
    void beep() override;
    void showTrendWindow() override;
    std::optional<std::string> chooseFileToSave(std::string_view caption, std::string_view suggestedName) override;
    std::optional<std::string> chooseFileToOpen(std::string_view caption) override;
    void closeWindow() override;
    bool stopRequested() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placeTrendWindowBeside();
    QObject* control(std::string_view name) const;
    template <class T>
    T* controlAs(std::string_view name) const;
    void buildControls();
    void buildStatusBar(QStatusBar* bar);
    void wireEvents();
    void wire(const Wire& wire, QObject* object);
    // Runs the handler wired to the control's event; an error that escapes it is shown in a box.
    bool dispatch(EventKind kind, std::string_view name, int key = 0);
    // The channel's wait hook: the window paints, moves and follows its timers while the line is waited
    // on, with the operator's input held; false once the window is closing.
    bool keepWaiting();
    // Once the outermost handler has returned: the normal cursor back, a pending close or exit done.
    void workEnded();
    // Whether a handler runs even while the line is waited on: those that only show (the clock, the
    // poll lamp) and «Выход», which closes the window as the close box does. Every other one would start
    // an exchange inside another or change what it works on.
    static bool runsWhileWaiting(EventKind kind, std::string_view name);

    QHash<QString, QObject*> controls_;
    QLabel* panels_[4] = {};
    bool activatedOnce_ = false;
    std::string enteredField_;  // the field the focus entered last and has not left
    Trend trend_;               // follows live measurement from the start, whether its window is open or not
    std::unique_ptr<TrendWindow> trendWindow_;

    InputHold inputHold_;
    WaitingInput waitingInput_;
    int handlersRunning_ = 0;        // handlers in progress, nested ones counted
    bool waiting_ = false;           // inside keepWaiting
    bool busyCursor_ = false;        // the busy cursor shows
    bool stopAsked_ = false;         // Esc during the work in progress
    bool closing_ = false;           // the window is to close once the work has unwound
    std::optional<int> exitStatus_;  // ... and the program to end with this status
};

}  // namespace k54
