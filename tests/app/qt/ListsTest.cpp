// The window's lists against the simulated instrument, with the operator's own input: the mouse wheel
// changes a list only while it has the focus, and the port list shows the port that will be used.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>

#include "tests/app/qt/WindowRig.h"
#include "tests/support/SimInstrument.h"

using namespace k54;

namespace {

constexpr int kPort = 7;

// One notch of the wheel over the middle of the widget: down (toward the next item) or up.
void rollWheel(QWidget* widget, bool down = true) {
    const QPointF at = QRectF(widget->rect()).center();
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

bool connectTo(test::QtWindowRig& rig, int port) {
    rig.choose("Com_B", QStringLiteral("COM%1").arg(port));
    QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
    return rig.state.hasLinkFlags(kLinkConnected);
}

}  // namespace

class Lists : public QObject {
    Q_OBJECT

private slots:
    void theWheelChangesOnlyAListTheOperatorGaveTheFocus() {
        test::SimInstrument sim({"--no-pacing"}, kPort);
        test::QtWindowRig rig(sim.portsDir());
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        QVERIFY(connectTo(rig, kPort));
        auto* inputType = rig.widget<QComboBox>("Mod_B");
        auto* precision = rig.widget<QComboBox>("Ufp_B");
        const int type = inputType->currentIndex();
        const std::size_t mark = sim.traceLines().size();

        // Rolled over on the way down the page: nothing changes, nothing is written, no focus taken.
        for (QComboBox* list : {inputType, precision}) {
            rollWheel(list);
            QVERIFY(!list->hasFocus());
        }
        QCOMPARE(inputType->currentIndex(), type);
        QVERIFY(writesFrom(sim, mark).isEmpty());
        QCOMPARE(inputType->focusPolicy(), Qt::StrongFocus);

        // A list the operator clicked into takes the wheel, and its choice is written.
        precision->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(precision->hasFocus());
        const int item = precision->currentIndex();
        rollWheel(precision, item + 1 < precision->count());
        QVERIFY(precision->currentIndex() != item);
        const QStringList writes = writesFrom(sim, mark);
        QCOMPARE(writes.size(), 1);
        QVERIFY2(writes[0].startsWith(QStringLiteral("01 06 00 04")), qPrintable(writes[0]));  // register 4: UF
    }

    // The connected port's link removed, the list opened again after disconnecting: the toolkit would
    // show the first port listed while «Подключить» still uses the vanished one.
    void thePortListShowsNoPortRatherThanOneThatWillNotBeUsed() {
        test::SimInstrument sim({"--no-pacing"}, kPort);
        test::QtWindowRig rig(sim.portsDir());
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        std::filesystem::create_symlink("/dev/null", sim.portsDir() / "com3");
        QVERIFY(connectTo(rig, kPort));
        auto* ports = rig.widget<QComboBox>("Com_B");
        QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);  // «Отключить»
        QVERIFY(ports->isEnabled());

        std::filesystem::remove(sim.linkPath());
        ports->showPopup();
        ports->hidePopup();
        QVERIFY(ports->findText(QStringLiteral("COM3")) >= 0);
        QCOMPARE(ports->findText(QStringLiteral("COM%1").arg(kPort)), -1);
        QCOMPARE(ports->currentIndex(), -1);
        QCOMPARE(int{rig.state.portNumber}, kPort);

        // A port listed again is shown again.
        std::filesystem::create_symlink(sim.devicePath(), sim.linkPath());
        ports->showPopup();
        ports->hidePopup();
        QCOMPARE(ports->currentText(), QStringLiteral("COM%1").arg(kPort));
        QVERIFY(connectTo(rig, kPort));
    }
};

QTEST_MAIN(Lists)
#include "ListsTest.moc"
