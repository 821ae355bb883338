#pragma once
// The real window Tk54 for Qt tests: the configurator's three objects on a ports folder of the test's,
// the window shown on the offscreen platform, and helpers to act as the operator.
#include <QComboBox>
#include <QMessageBox>
#include <filesystem>
#include <memory>
#include <string>

#include "app/qt/Tk54.h"
#include "app/qt/TrendWindow.h"
#include "config/operations/K54cfg.h"
#include "modbus/K54mdb.h"
#include "serial/K54com.h"
#include "tests/support/SimInstrument.h"

namespace k54::test {

class QtWindowRig {
public:
    explicit QtWindowRig(const std::filesystem::path& portsDir);

    cPort port;
    mBus bus;
    k54L state;
    SystemSettings system;
    Tk54 window;

    template <class T>
    T* widget(const char* name) const {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    // Picks an item of a list as the operator does (the list's activation follows).
    void choose(const char* list, const QString& itemText);
    // The log's lines.
    QStringList logLines() const;
};

// Counts the events of one type an object gets, for as long as the counter lives.
class EventCounter final : public QObject {
public:
    EventCounter(QObject& watched, QEvent::Type type, int& count);
    ~EventCounter() override;
    EventCounter(const EventCounter&) = delete;
    EventCounter& operator=(const EventCounter&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject& watched_;
    QEvent::Type type_;
    int& count_;
};

// Answers the next message box that opens with the given button (from a timer, since the box is
// modal); the box's text lands in the string returned.
std::shared_ptr<QString> answerNextBox(QMessageBox::StandardButton button);

// Answers the next file dialog that opens with the path, or cancels it when the path is empty (from a
// timer, as above); the folder the dialog opened in lands in the string returned.
std::shared_ptr<QString> answerNextFileDialog(const QString& path);

// The trend window on screen, or nullptr.
TrendWindow* shownTrendWindow();
// The trend window's value lines (each run of polls without a gap one line), in order.
QList<QList<QPointF>> trendLines(QWidget* trendWindow);
// The write requests (functions 6 and 16) in the instrument's trace from its line `mark` on, without
// "req ": "01 06 00 00 00 15 …".
QStringList writesFrom(const SimInstrument& sim, std::size_t mark);
// Text of a label of a window.
QString labelText(QWidget* window, const char* name);

}  // namespace k54::test
