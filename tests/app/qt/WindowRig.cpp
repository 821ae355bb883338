#include "tests/app/qt/WindowRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <ctime>
#include <memory>
#include <stdexcept>

#include "serial/PlatformSerial.h"
#include "tests/support/FixedClock.h"

namespace k54::test {
QtWindowRig::QtWindowRig(const std::filesystem::path& portsDir)
    : port(makePlatformSerialBackend(portsDir)), bus(port), system{'.', fixedClock}, window(port, bus, state, system) {
    window.show();
}

void QtWindowRig::choose(const char* list, const QString& itemText) {
    auto* box = widget<QComboBox>(list);
    const int index = box->findText(itemText);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QStringList QtWindowRig::logLines() const {
    const QString all = widget<QPlainTextEdit>("InforF")->toPlainText();
    return all.isEmpty() ? QStringList{} : all.split(QLatin1Char('\n'));
}

EventCounter::EventCounter(QObject& watched, QEvent::Type type, int& count)
    : watched_(watched), type_(type), count_(count) {
    watched_.installEventFilter(this);
}

EventCounter::~EventCounter() {
    watched_.removeEventFilter(this);
}

bool EventCounter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &watched_ && event->type() == type_) ++count_;
    return QObject::eventFilter(watched, event);
}

QStringList writesFrom(const SimInstrument& sim, std::size_t mark) {
    QStringList writes;
    const auto lines = sim.traceLines();
    for (std::size_t i = mark; i < lines.size(); ++i)
        if (lines[i].rfind("req 01 10", 0) == 0 || lines[i].rfind("req 01 06", 0) == 0)
            writes << QString::fromStdString(lines[i].substr(4));
    return writes;
}

std::shared_ptr<QString> answerNextBox(QMessageBox::StandardButton button) {
    auto text = std::make_shared<QString>();
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *text = box->text();
        poll->stop();
        poll->deleteLater();
        if (QAbstractButton* answer = box->button(button))
            answer->click();
        else
            box->reject();
    });
    poll->start(10);
    return text;
}

std::shared_ptr<QString> answerNextFileDialog(const QString& path) {
    auto folder = std::make_shared<QString>();
    auto* poll = new QTimer(qApp);
    auto dialog = std::make_shared<QPointer<QFileDialog>>();
    auto found = std::make_shared<bool>(false);
    // The path is typed into the dialog's file name field, as the operator would (selectFile leaves a
    // focused field as it is), and the dialog answered again on each tick until it has closed.
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path, folder, dialog, found] {
        if (!*found) {
            *dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog->isNull()) return;
            *found = true;
            *folder = (*dialog)->directory().absolutePath();
        }
        QFileDialog* open = dialog->data();
        if (!open || !open->isVisible()) {
            poll->stop();
            poll->deleteLater();
        } else if (path.isEmpty()) {
            open->reject();
        } else {
            if (auto* name = open->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(path);
            static_cast<QDialog*>(open)->accept();  // QFileDialog takes the chosen file in its own accept()
        }
    });
    poll->start(10);
    return folder;
}

TrendWindow* shownTrendWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == kTrendWindowName && w->isVisible()) return static_cast<TrendWindow*>(w);
    return nullptr;
}

QList<QList<QPointF>> trendLines(QWidget* trendWindow) {
    QList<QList<QPointF>> lines;
    for (QAbstractSeries* s : trendWindow->findChild<QChartView*>(QStringLiteral("TrendChart"))->chart()->series()) {
        auto* line = qobject_cast<QLineSeries*>(s);
        if (line && s->objectName() == QStringLiteral("TrendValues") && line->count() > 0) lines << line->points();
    }
    return lines;
}

QString labelText(QWidget* window, const char* name) {
    return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
}

}  // namespace k54::test
