#include "app/qt/Tk54.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <stdexcept>

#include "app/WindowLayout.h"
#include "app/qt/ControlFactory.h"
#include "app/qt/DropDownList.h"
#include "app/qt/FileDialogs.h"
#include "app/qt/TrendPlacement.h"
#include "app/qt/TrendWindow.h"

namespace k54 {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
std::string ss(const QString& text) {
    return text.toStdString();
}

// The window losing activation (a message box or a list's popup opening) does not leave the field:
// the field still holds the window's focus.
bool windowLosesActivation(const QFocusEvent* event) {
    return event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
}

// The character a key press types, as the password field's handler sees it; 0 for keys that type none.
int typedCharacter(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace) return 8;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return 13;
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()) return 0;
    return static_cast<int>(text.at(0).unicode());
}

// The font the window's geometry was drawn for: a narrow sans of 11 pixels (8 points at 96 dots an inch).
// Arial where Windows has it; on Linux its metric twin, Liberation Sans (fonts-liberation2), which
// fontconfig also gives for Arial; every described text fits its control in either.
QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

}  // namespace

Tk54::Tk54(cPort& port, mBus& bus, k54L& state, const SystemSettings& system, QWidget* parent)
    : QWidget(parent),
      WindowEvents(port, bus, state, *this, system),
      inputHold_([this] { stopAsked_ = true; }, QStringLiteral("DemoExit")) {
    qApp->installEventFilter(&inputHold_);
    port.setWaitHook([this] { return keepWaiting(); });
    setObjectName(qs(kWindowName));
    setWindowTitle(qs(kWindowCaption));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(windowFont());
    session().measurementListener = &trend_;
    buildControls();
    wireEvents();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    dispatch(EventKind::Create, kWindowName);
}

Tk54::~Tk54() {
    session().port.setWaitHook({});
    qApp->removeEventFilter(&inputHold_);
    session().measurementListener = nullptr;  // the trend goes with this window
}

void Tk54::buildControls() {
    for (const ControlSpec& entry : windowLayout()) {
        QWidget* parent = entry.parent == kWindowName ? this : qobject_cast<QWidget*>(control(entry.parent));
        QObject* object = createControl(entry, parent, this);
        if (!object) throw std::logic_error("cannot build control " + entry.name);
        controls_.insert(qs(entry.name), object);
        if (entry.kind == ControlKind::StatusBar) buildStatusBar(static_cast<QStatusBar*>(object));
    }
    controlAs<QTabWidget>("PageControl_Ker5400_2")->setCurrentWidget(controlAs<QWidget>("TabSheet6"));
}

void Tk54::buildStatusBar(QStatusBar* bar) {
    for (std::size_t i = 0; i < kStatusPanels.size(); ++i) {
        const StatusPanelSpec& entry = kStatusPanels.at(i);
        auto* panel = new QLabel(qs(entry.text), bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(entry.width);
        // The status line keeps its width, but a longer message takes the bar's free room rather than
        // being cut while there is room.
        if (i + 1 == kStatusPanels.size()) {
            panel->setMinimumWidth(entry.width);
            panel->setMaximumWidth(QWIDGETSIZE_MAX);
        }
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (entry.centred) panel->setAlignment(Qt::AlignCenter);
        bar->addWidget(panel);
        panels_[i] = panel;
    }
}

void Tk54::wireEvents() {
    for (const Wire& w : eventWiring())
        if (w.control != kWindowName) wire(w, control(w.control));
}

void Tk54::wire(const Wire& w, QObject* object) {
    const std::string_view name = w.control;
    switch (w.event) {
        case EventKind::Click:
            if (auto* box = qobject_cast<QCheckBox*>(object))
                connect(box, &QCheckBox::toggled, this, [this, name] { dispatch(EventKind::Click, name); });
            else if (auto* button = qobject_cast<QPushButton*>(object))
                connect(button, &QPushButton::clicked, this, [this, name] { dispatch(EventKind::Click, name); });
            break;
        case EventKind::Change:
            if (auto* list = qobject_cast<QComboBox*>(object))
                connect(list, &QComboBox::activated, this, [this, name] { dispatch(EventKind::Change, name); });
            else if (auto* edit = qobject_cast<QLineEdit*>(object))
                connect(edit, &QLineEdit::textChanged, this, [this, name] { dispatch(EventKind::Change, name); });
            break;
        case EventKind::DropDown:
            if (auto* list = qobject_cast<DropDownList*>(object))
                connect(list, &DropDownList::aboutToDropDown, this,
                        [this, name] { dispatch(EventKind::DropDown, name); });
            break;
        case EventKind::Timer:
            if (auto* timer = qobject_cast<QTimer*>(object))
                connect(timer, &QTimer::timeout, this, [this, name] { dispatch(EventKind::Timer, name); });
            break;
        case EventKind::Enter:
        case EventKind::Exit:
        case EventKind::KeyDown:
        case EventKind::KeyPress:
            object->installEventFilter(this);
            break;
        case EventKind::Create:
        case EventKind::Activate:
            break;
    }
}

bool Tk54::dispatch(EventKind kind, std::string_view name, int key) {
    if (waiting_ && !runsWhileWaiting(kind, name)) return true;
    Event e{name, kindOf(name), key};
    ++handlersRunning_;
    try {
        WindowEvents::raise(kind, e);
    } catch (const std::exception& error) {
        if (!closing_) QMessageBox::critical(this, windowTitle(), QString::fromUtf8(error.what()));
    }
    if (--handlersRunning_ == 0) workEnded();
    return e.key != 0;
}

bool Tk54::runsWhileWaiting(EventKind kind, std::string_view name) {
    return (kind == EventKind::Timer && (name == "TimerReal" || name == "Timer_Mgr")) ||
           (kind == EventKind::Click && name == "DemoExit");  // closes, which ends the wait
}

bool Tk54::keepWaiting() {
    if (closing_) return false;
    if (!busyCursor_) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        busyCursor_ = true;
    }
    waiting_ = true;
    inputHold_.setActive(true);
    // The keyboard's and the mouse's input stays queued in the platform and comes, in order, once the
    // work has ended; Esc and «Выход» are asked of the devices themselves.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (waitingInput_.escapePressed(*this)) stopAsked_ = true;
    if (waitingInput_.pressedOn(*this, *controlAs<QWidget>("DemoExit"))) close();
    inputHold_.setActive(false);
    waiting_ = false;
    return !closing_;
}

void Tk54::workEnded() {
    if (busyCursor_) {
        QApplication::restoreOverrideCursor();
        busyCursor_ = false;
    }
    stopAsked_ = false;
    inputHold_.typeAhead();
    if (exitStatus_) {
        QCoreApplication::exit(*exitStatus_);
    } else if (closing_) {
        // Closed from the close box or «Выход» while the work ran: the close it was refused is done now.
        QTimer::singleShot(0, this, [this] {
            closing_ = false;
            close();
        });
    }
}

void Tk54::endProgram(int exitStatus) {
    if (handlersRunning_ == 0) {
        QCoreApplication::exit(exitStatus);
        return;
    }
    exitStatus_ = exitStatus;
    closing_ = true;
    // A box the work waits on is answered as Esc would (No, Cancel): the work then unwinds at once.
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
}

void Tk54::closeEvent(QCloseEvent* event) {
    if (handlersRunning_ == 0) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    closing_ = true;
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
}

bool Tk54::stopRequested() const {
    return stopAsked_ || closing_;
}

bool Tk54::eventFilter(QObject* watched, QEvent* event) {
    const std::string name = ss(watched->objectName());
    switch (event->type()) {
        case QEvent::FocusIn:
            // Entered once per stay: regaining activation with the same field focused enters nothing.
            if (enteredField_ != name) {
                enteredField_ = name;
                dispatch(EventKind::Enter, name);
            }
            break;
        case QEvent::FocusOut:
            if (!windowLosesActivation(static_cast<QFocusEvent*>(event)) && enteredField_ == name) {
                enteredField_.clear();
                dispatch(EventKind::Exit, name);
            }
            break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                dispatch(EventKind::KeyDown, name, kKeyEnter);  // the key still reaches the field
            const int character = typedCharacter(key);
            if (character != 0 && !dispatch(EventKind::KeyPress, name, character)) return true;
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void Tk54::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        activatedOnce_ = true;
        dispatch(EventKind::Activate, kWindowName);
    }
}

void Tk54::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A platform that never activates the window still gets its rows bound when it is first shown.
    if (!activatedOnce_) {
        activatedOnce_ = true;
        dispatch(EventKind::Activate, kWindowName);
    }
}

// --- controls by name ---

QObject* Tk54::control(std::string_view name) const {
    if (name == kWindowName) return const_cast<Tk54*>(this);
    QObject* object = controls_.value(qs(name), nullptr);
    if (!object) throw std::out_of_range("no control named " + std::string(name));
    return object;
}

template <class T>
T* Tk54::controlAs(std::string_view name) const {
    T* typed = qobject_cast<T*>(control(name));
    if (!typed) throw std::logic_error("control " + std::string(name) + " is not of the expected kind");
    return typed;
}

bool Tk54::hasControl(std::string_view name) const {
    return controls_.contains(qs(name));
}

ControlKind Tk54::kindOf(std::string_view name) const {
    if (name == kWindowName) return ControlKind::Form;
    const ControlSpec* entry = findControlSpec(name);
    if (!entry) throw std::out_of_range("no control named " + std::string(name));
    return entry->kind;
}

std::string Tk54::text(std::string_view name) const {
    QObject* object = control(name);
    if (auto* edit = qobject_cast<QLineEdit*>(object)) return ss(edit->text());
    if (auto* list = qobject_cast<QComboBox*>(object))
        return list->currentIndex() < 0 ? std::string{} : ss(list->currentText());
    if (auto* label = qobject_cast<QLabel*>(object)) return ss(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return ss(button->text());
    if (auto* frame = qobject_cast<QGroupBox*>(object)) return ss(frame->title());
    return {};
}

void Tk54::setText(std::string_view name, std::string_view text) {
    QObject* object = control(name);
    if (auto* edit = qobject_cast<QLineEdit*>(object)) {
        if (edit->text() != qs(text)) edit->setText(qs(text));  // the field's change event follows
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(qs(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(qs(text));
    } else if (auto* frame = qobject_cast<QGroupBox*>(object)) {
        frame->setTitle(qs(text));
    }
}

void Tk54::selectAllText(std::string_view name) {
    auto* edit = controlAs<QLineEdit>(name);
    // Selecting inside the focus change itself would be undone by the focus handling that follows it.
    QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    edit->selectAll();
}

bool Tk54::isVisible(std::string_view name) const {
    return !controlAs<QWidget>(name)->isHidden();
}
void Tk54::setVisible(std::string_view name, bool visible) {
    controlAs<QWidget>(name)->setVisible(visible);
}
bool Tk54::isEnabled(std::string_view name) const {
    return controlAs<QWidget>(name)->isEnabled();
}
void Tk54::setEnabled(std::string_view name, bool enabled) {
    controlAs<QWidget>(name)->setEnabled(enabled);
}

Colour Tk54::colour(std::string_view name) const {
    const QVariant stored = controlAs<QWidget>(name)->property("k54colour");
    if (!stored.isValid()) return kButtonFace;
    const QColor c = stored.value<QColor>();
    return {false, static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
}

void Tk54::setColour(std::string_view name, Colour colour) {
    auto* panel = controlAs<QWidget>(name);
    QPalette palette = panel->palette();
    if (colour.buttonFace) {
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
        panel->setProperty("k54colour", QVariant());
    } else {
        const QColor c(colour.red, colour.green, colour.blue);
        palette.setColor(QPalette::Window, c);
        panel->setProperty("k54colour", c);
    }
    panel->setPalette(palette);
}

int Tk54::itemIndex(std::string_view name) const {
    return controlAs<QComboBox>(name)->currentIndex();
}

void Tk54::setItemIndex(std::string_view name, int index) {
    auto* list = controlAs<QComboBox>(name);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

int Tk54::itemCount(std::string_view name) const {
    return controlAs<QComboBox>(name)->count();
}
std::string Tk54::itemText(std::string_view name, int index) const {
    return ss(controlAs<QComboBox>(name)->itemText(index));
}

std::string Tk54::itemHint(std::string_view name, int index) const {
    return ss(controlAs<QComboBox>(name)->itemData(index, Qt::ToolTipRole).toString());
}

void Tk54::clearItems(std::string_view name) {
    controlAs<QComboBox>(name)->clear();
}

void Tk54::addItem(std::string_view name, std::string_view text, std::string_view hint) {
    auto* list = controlAs<QComboBox>(name);
    list->addItem(qs(text));
    list->setItemData(list->count() - 1, qs(hint), Qt::ToolTipRole);
}

bool Tk54::isChecked(std::string_view name) const {
    return controlAs<QCheckBox>(name)->isChecked();
}
void Tk54::setChecked(std::string_view name, bool checked) {
    controlAs<QCheckBox>(name)->setChecked(checked);
}
bool Tk54::isDown(std::string_view name) const {
    return controlAs<QPushButton>(name)->isChecked();
}
void Tk54::setDown(std::string_view name, bool down) {
    controlAs<QPushButton>(name)->setChecked(down);
}

std::string Tk54::panelText(int panel) const {
    return ss(panels_[static_cast<std::size_t>(std::clamp(panel, 0, 3))]->text());
}

void Tk54::setPanelText(int panel, std::string_view text) {
    if (panel < 0 || panel > 3) return;
    panels_[panel]->setText(qs(text));
}

void Tk54::repaintStatusBar() {
    // The status line must be on screen before the blocking exchange that follows it, at its width.
    auto* bar = controlAs<QStatusBar>(kStatusBarName);
    if (bar->layout()) bar->layout()->activate();
    for (QLabel* panel : panels_) panel->repaint();
    bar->repaint();
}

std::string Tk54::logText() const {
    const QString all = controlAs<QPlainTextEdit>(kLogName)->toPlainText();
    return all.isEmpty() ? std::string{} : ss(all) + "\n";
}

void Tk54::appendLog(std::string_view line) {
    controlAs<QPlainTextEdit>(kLogName)->appendPlainText(qs(line));
}
void Tk54::clearLogLines() {
    controlAs<QPlainTextEdit>(kLogName)->clear();
}
int Tk54::progress(std::string_view name) const {
    return controlAs<QProgressBar>(name)->value();
}

void Tk54::setProgress(std::string_view name, int position) {
    auto* bar = controlAs<QProgressBar>(name);
    bar->setValue(position);
    bar->repaint();  // the factory write blocks the event loop between positions
}

int Tk54::timerInterval(std::string_view name) const {
    return controlAs<QTimer>(name)->interval();
}
void Tk54::setTimerInterval(std::string_view name, int milliseconds) {
    controlAs<QTimer>(name)->setInterval(milliseconds);
}
bool Tk54::isTimerEnabled(std::string_view name) const {
    return controlAs<QTimer>(name)->isActive();
}

void Tk54::setTimerEnabled(std::string_view name, bool enabled) {
    auto* timer = controlAs<QTimer>(name);
    if (enabled)
        timer->start();
    else
        timer->stop();
}

void Tk54::showInformation(std::string_view text) {
    if (closing_) return;
    QMessageBox::information(this, windowTitle(), qs(text));
}

void Tk54::showMessage(std::string_view text) {
    if (closing_) return;
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), qs(text), QMessageBox::Ok, this);
    box.exec();
}

bool Tk54::askYesNo(std::string_view text, std::string_view caption) {
    if (closing_) return false;
    return QMessageBox::question(this, qs(caption), qs(text), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

std::optional<std::string> Tk54::chooseFileToSave(std::string_view caption, std::string_view suggestedName) {
    if (closing_) return std::nullopt;
    const auto path = askForFile(this, FileDialogKind::Save, qs(caption), qs(suggestedName));
    return path ? std::optional(ss(*path)) : std::nullopt;
}

std::optional<std::string> Tk54::chooseFileToOpen(std::string_view caption) {
    if (closing_) return std::nullopt;
    const auto path = askForFile(this, FileDialogKind::Open, qs(caption));
    return path ? std::optional(ss(*path)) : std::nullopt;
}

void Tk54::beep() {
    QApplication::beep();
}
void Tk54::showTrendWindow() {
    if (!trendWindow_) {
        trendWindow_ = std::make_unique<TrendWindow>(trend_);
        // A window of its own beside this one; closing this one still ends the program.
        trendWindow_->setAttribute(Qt::WA_QuitOnClose, false);
        if (!trendWindow_->restorePlace()) placeTrendWindowBeside();
    }
    trendWindow_->show();
    trendWindow_->raise();
    trendWindow_->activateWindow();
}

// The first time, beside this window where the screen has room, so that «Измерение», the value and the
// clock stay in sight; the trend's frame is taken to be as wide as this window's.
void Tk54::placeTrendWindowBeside() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect frame = frameGeometry(), inner = geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    const auto outer = [&margins](QSize size) {
        return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    };
    trendWindow_->layout()->activate();  // its least size follows from its layout
    const ControlSpec* measurement = findControlSpec("MeasureL");
    const int keptWidth = measurement ? measurement->geometry.left + measurement->geometry.width : width();
    const TrendPlacement place = placeTrendWindow(frame, screen->availableGeometry(), outer(trendWindow_->size()),
                                                  outer(trendWindow_->minimumSize()), margins.left() + keptWidth + 4);
    move(place.mainWindow);
    trendWindow_->setGeometry(place.trend.marginsRemoved(margins));
}

void Tk54::closeWindow() {
    close();
}

}  // namespace k54
