#pragma once
// The window as the logic sees it: named controls and the few operations done on them.
// Two implementations: the Qt window Tk54 and an in-memory model used by the core's tests.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k54 {

enum class ControlKind {
    Form,        // the window itself
    StaticText,  // caption only
    Edit,        // single-line text field
    MaskedEdit,  // text field with an input mask
    Combo,       // drop-down list, pick only
    CheckBox,
    Button,
    LatchButton,  // each click toggles its pressed state
    Panel,        // plain container; the small ones are coloured lamps
    GroupBox,     // titled frame
    PageControl,
    Page,
    Memo,
    ProgressBar,
    StatusBar,
    Timer,
};

// A panel colour: the system button face or an RGB value.
struct Colour {
    bool buttonFace = true;
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};
inline constexpr Colour kButtonFace{};
inline constexpr Colour kLampGreen{false, 0, 128, 0};

class Form {
public:
    virtual ~Form() = default;

    virtual bool hasControl(std::string_view name) const = 0;
    virtual ControlKind kindOf(std::string_view name) const = 0;

    // Text of a field, list (the chosen item) or masked field; caption of a label, button or frame.
    virtual std::string text(std::string_view name) const = 0;
    virtual void setText(std::string_view name, std::string_view text) = 0;
    virtual void selectAllText(std::string_view name) = 0;

    virtual bool isVisible(std::string_view name) const = 0;
    virtual void setVisible(std::string_view name, bool visible) = 0;
    virtual bool isEnabled(std::string_view name) const = 0;
    virtual void setEnabled(std::string_view name, bool enabled) = 0;
    virtual Colour colour(std::string_view name) const = 0;
    virtual void setColour(std::string_view name, Colour colour) = 0;

    // Lists. An index of -1 means nothing chosen; choosing from code raises no change event.
    virtual int itemIndex(std::string_view name) const = 0;
    virtual void setItemIndex(std::string_view name, int index) = 0;
    virtual int itemCount(std::string_view name) const = 0;
    virtual std::string itemText(std::string_view name, int index) const = 0;
    virtual std::string itemHint(std::string_view name, int index) const = 0;
    virtual void clearItems(std::string_view name) = 0;
    virtual void addItem(std::string_view name, std::string_view text, std::string_view hint) = 0;

    // Check box (setting it from code raises its click when the state changes) and latching button.
    virtual bool isChecked(std::string_view name) const = 0;
    virtual void setChecked(std::string_view name, bool checked) = 0;
    virtual bool isDown(std::string_view name) const = 0;
    virtual void setDown(std::string_view name, bool down) = 0;

    // Status bar: the panel's text is shown before the long exchange that follows it.
    virtual std::string panelText(int panel) const = 0;
    virtual void setPanelText(int panel, std::string_view text) = 0;
    virtual void repaintStatusBar() = 0;

    // The log memo.
    virtual std::string logText() const = 0;  // all lines, each ended by '\n'
    virtual void appendLog(std::string_view line) = 0;
    virtual void clearLogLines() = 0;

    virtual int progress(std::string_view name) const = 0;
    virtual void setProgress(std::string_view name, int position) = 0;

    virtual int timerInterval(std::string_view name) const = 0;
    virtual void setTimerInterval(std::string_view name, int milliseconds) = 0;
    virtual bool isTimerEnabled(std::string_view name) const = 0;
    virtual void setTimerEnabled(std::string_view name, bool enabled) = 0;

    // Boxes. Each runs modally; timers keep firing meanwhile.
    virtual void showInformation(std::string_view text) = 0;                     // information icon, OK
    virtual void showMessage(std::string_view text) = 0;                         // plain box, OK
    virtual bool askYesNo(std::string_view text, std::string_view caption) = 0;  // question icon; true for Yes
    virtual void beep() = 0;

    // The trend of the live value: a separate window, not modal, opened (or brought to the front).
    virtual void showTrendWindow() = 0;
    // File dialogs, modal like the boxes: the path (UTF-8) the operator chose, or nothing when cancelled.
    virtual std::optional<std::string> chooseFileToSave(std::string_view caption, std::string_view suggestedName) = 0;
    virtual std::optional<std::string> chooseFileToOpen(std::string_view caption) = 0;

    virtual void closeWindow() = 0;

    // Whether the operator has asked the work in progress to stop (Esc during an exchange, or closing the
    // window): a long operation ends before its next request.
    virtual bool stopRequested() const { return false; }
};

}  // namespace k54
