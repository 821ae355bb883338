// The real window while it waits on a silent instrument (the described 5 s after «Подключить»): it
// paints, the operator's clicks do nothing, keys typed meanwhile are typed once the work has ended, and
// the close box or «Выход» ends the wait and closes the window at once, with the port closed and free
// for the next start.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "serial/PlatformSerial.h"
#include "tests/app/qt/WindowRig.h"
#include "tests/support/SimInstrument.h"

using namespace k54;

class WaitingWindow : public QObject {
    Q_OBJECT

private slots:
    void paintsHoldsClicksAndClosesAtOnce_data() {
        QTest::addColumn<bool>("exitButton");
        QTest::newRow("close box") << false;
        QTest::newRow("«Выход»") << true;
    }

    void paintsHoldsClicksAndClosesAtOnce() {
        QFETCH(bool, exitButton);
        test::SimInstrument sim({"--fault", "silent"}, 5);
        test::QtWindowRig rig(sim.portsDir());
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.choose("Com_B", QStringLiteral("COM5"));
        int paints = 0;
        test::EventCounter painted(rig.window, QEvent::Paint, paints);
        int paintsWhileWaiting = -1;
        QString speedWhileWaiting;
        QElapsedTimer sinceClose;
        auto* setpoint = rig.widget<QLineEdit>("Us1_E");
        const QString setpointBefore = setpoint->text();
        QString setpointWhileWaiting;
        QTimer::singleShot(200, [&] {
            paints = 0;
            rig.window.update();
            // A click on another control is refused: the factory question does not open.
            QTest::mouseClick(rig.widget<QPushButton>("Source"), Qt::LeftButton);
            // A key is kept for later.
            QTest::keyClick(setpoint, Qt::Key_9);
            setpointWhileWaiting = setpoint->text();
        });
        QTimer::singleShot(600, [&] {
            paintsWhileWaiting = paints;
            QVERIFY(!QApplication::activeModalWidget());
            sinceClose.start();
            if (exitButton)
                QTest::mouseClick(rig.widget<QPushButton>("DemoExit"), Qt::LeftButton);
            else
                rig.window.close();
        });
        QElapsedTimer clickTook;
        clickTook.start();
        QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);  // returns when the work ends
        QVERIFY(sinceClose.isValid());
        QVERIFY2(sinceClose.elapsed() < 500, qPrintable(QString::number(sinceClose.elapsed())));
        QVERIFY(clickTook.elapsed() < 3000);  // not the 5 s the wait would take
        QVERIFY(paintsWhileWaiting > 0);
        QCOMPARE(setpointWhileWaiting, setpointBefore);
        QTRY_COMPARE(setpoint->text(), setpointBefore + "9");
        QVERIFY(QTest::qWaitFor([&rig] { return !rig.window.QWidget::isVisible(); }, 500));
        QVERIFY(!rig.port.isOpen());
        cPort next(makePlatformSerialBackend(sim.portsDir()));
        QVERIFY(next.setup(5, 3));
        QCOMPARE(sim.requestsFrom(0).size(), std::size_t{1});  // the firmware read alone
    }
};

QTEST_MAIN(WaitingWindow)
#include "WaitingWindowTest.moc"
