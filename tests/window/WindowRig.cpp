#include "tests/window/WindowRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
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

void answerNextFileDialog(const QString& path) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        poll->stop();
        poll->deleteLater();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the name field as the operator would: selectFile() leaves a focused field as it is.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) throw std::logic_error("the file dialog has no name field");
        name->setText(path);
        static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept, which checks the name
    });
    poll->start(10);
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
