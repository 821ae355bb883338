#include "tests/window/WindowRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <ctime>
#include <memory>

#include "serial/PlatformSerial.h"

namespace k54::test {
namespace {

std::tm fixedClock() {
    std::tm t{};
    t.tm_year = 109;
    t.tm_mon = 10;
    t.tm_mday = 18;
    t.tm_hour = 8;
    t.tm_min = 5;
    t.tm_sec = 29;
    return t;
}

}  // namespace

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
