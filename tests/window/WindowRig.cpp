#include "tests/window/WindowRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <ctime>
#include <memory>

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

}  // namespace k54::test
