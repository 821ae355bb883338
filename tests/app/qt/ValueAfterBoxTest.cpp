// The real window after the box of a refused number, with real keyboard and mouse input: the focus
// has gone on to the next field, and the number committed there reaches that field's registers, on a
// desktop with a window manager (which activates the window again after the box) and without one
// (the offscreen platform by itself: the next field's focus-in never comes).
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "tests/app/qt/WindowRig.h"
#include "tests/support/SimInstrument.h"

using namespace k54;

namespace {

constexpr int kPort = 5;

// Selects the field's text with the keyboard, so that what is typed next replaces it.
void selectAll(QLineEdit* field) {
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_End, Qt::ShiftModifier);
}

}  // namespace

class ValueAfterBox : public QObject {
    Q_OBJECT

private slots:
    void theNextFieldsNumberGoesToItsOwnRegisters_data() {
        QTest::addColumn<bool>("windowManager");
        QTest::newRow("without a window manager") << false;
        QTest::newRow("with a window manager") << true;
    }

    void theNextFieldsNumberGoesToItsOwnRegisters() {
        QFETCH(bool, windowManager);
        test::SimInstrument sim({"--no-pacing"}, kPort);
        test::QtWindowRig rig(sim.portsDir());
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        rig.choose("Com_B", QStringLiteral("COM%1").arg(kPort));
        QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
        QVERIFY(rig.state.hasLinkFlags(kLinkConnected));
        const std::size_t connected = sim.traceLines().size();

        QTabBar* tabs = rig.widget<QTabWidget>("PageControl_Ker5400_2")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());  // «Уставки»
        auto* setpoint = rig.widget<QLineEdit>("Us2_E");
        auto* hysteresis = rig.widget<QLineEdit>("Gs2_E");
        QTest::mouseClick(setpoint, Qt::LeftButton);
        QVERIFY(setpoint->hasFocus());
        selectAll(setpoint);
        QTest::keyClicks(setpoint, "abc");
        const auto box = test::answerNextBox(QMessageBox::Ok);
        QTest::keyClick(setpoint, Qt::Key_Tab);
        QCOMPARE(*box, QStringLiteral("Неверный формат числа"));
        if (windowManager) {
            rig.window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        }
        QCOMPARE(rig.window.isActiveWindow(), windowManager);
        QCOMPARE(rig.window.focusWidget(), hysteresis);

        // Without a window manager the field was not entered, so its text is not selected for the
        // operator: select it, as one who replaces the value does.
        selectAll(hysteresis);
        QTest::keyClicks(hysteresis, "5");
        QTest::keyClick(hysteresis, Qt::Key_Return);
        QCOMPARE(writesFrom(sim, connected).size(), 1);
        QVERIFY2(writesFrom(sim, connected).value(0).startsWith("01 10 00 25 00 02 04 00 00 00 32"),
                 "registers 37-38 take 50");
        QCOMPARE(hysteresis->text(), QStringLiteral("5.0"));
        QCOMPARE(setpoint->text(), QStringLiteral("abc"));
        QCOMPARE(rig.state.row(row::Us2).value, 2560);
    }
};

QTEST_MAIN(ValueAfterBox)
#include "ValueAfterBoxTest.moc"
