// A stop signal (SIGTERM, SIGINT, SIGHUP) while the real window is connected to the simulated instrument
// ends the event loop with the signal's exit status, so that the window and the configurator's objects are
// destroyed as at the end of main; afterwards the port is free: its exclusive flag is cleared and it opens.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

#include "app/qt/StopSignals.h"
#include "serial/PlatformSerial.h"
#include "serial/posix/UniqueFd.h"
#include "tests/app/qt/WindowRig.h"
#include "tests/support/SimInstrument.h"

using namespace k54;

namespace {

constexpr int kPort = 6;
constexpr uint8_t k115200 = 6;
constexpr int kLoopDeadlineMs = 10000;
constexpr int kLoopMissedDeadline = -1;

// The pseudo-terminal's exclusive flag, read on a descriptor of our own (which the flag does not stop
// for a privileged user, so that the test reads it whoever runs it); -1 when it cannot be read.
int exclusiveFlag(const std::string& device) {
    const UniqueFd fd(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    int exclusive = -1;
    if (!fd.valid() || ::ioctl(fd.get(), TIOCGEXCL, &exclusive) != 0) return -1;
    return exclusive;
}

// A later start of the program: a new channel opens the same virtual port.
bool portOpensAgain(const test::SimInstrument& sim) {
    cPort port(makePlatformSerialBackend(sim.portsDir()));
    const bool opened = port.setup(static_cast<uint8_t>(sim.portNumber()), k115200);
    port.close();
    return opened;
}

// Runs the application's event loop as main does, raising the signal from inside it; exec()'s status,
// or kLoopMissedDeadline when the loop did not end in time.
int execRaising(int signalNumber) {
    QTimer::singleShot(0, [signalNumber] { std::raise(signalNumber); });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(kLoopMissedDeadline); });
    deadline.start(kLoopDeadlineMs);
    return QApplication::exec();
}

}  // namespace

class StopSignalTest : public QObject {
    Q_OBJECT

private slots:
    void endsTheLoopAndFreesThePort_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void endsTheLoopAndFreesThePort() {
        QFETCH(int, signalNumber);
        test::SimInstrument sim({"--baud", "115200"}, kPort);
        {
            test::QtWindowRig rig(sim.portsDir());
            rig.choose("Com_B", QStringLiteral("COM%1").arg(kPort));
            rig.choose("Spd_B", QStringLiteral("115200"));
            QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
            QCOMPARE(rig.widget<QPushButton>("ConnectCom")->text(), QStringLiteral("Отключить"));
            QCOMPARE(exclusiveFlag(sim.devicePath()), 1);

            const StopSignals stopSignals;
            QCOMPARE(execRaising(signalNumber), StopSignals::exitStatusFor(signalNumber));
        }
        QCOMPARE(exclusiveFlag(sim.devicePath()), 0);
        QVERIFY(portOpensAgain(sim));
    }

    // A signal while the window waits on a silent instrument (the described 5 s) ends the program at
    // once: the wait is given up, the window painted during it, and the port is free afterwards.
    void aSignalDuringAWaitEndsTheProgramAtOnce() {
        test::SimInstrument sim({"--fault", "silent"}, kPort);
        {
            test::QtWindowRig rig(sim.portsDir());
            rig.choose("Com_B", QStringLiteral("COM%1").arg(kPort));
            const StopSignals stopSignals([&rig](int exitStatus) { rig.window.endProgram(exitStatus); });
            int paints = 0;
            test::EventCounter painted(rig.window, QEvent::Paint, paints);
            QElapsedTimer sinceSignal;
            int paintsBeforeSignal = 0;
            QTimer::singleShot(0, [&rig] { QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton); });
            QTimer::singleShot(300, [&rig, &paints] {
                paints = 0;
                rig.window.update();
            });
            QTimer::singleShot(800, [&] {
                paintsBeforeSignal = paints;
                sinceSignal.start();
                std::raise(SIGTERM);
            });
            QTimer deadline;
            deadline.setSingleShot(true);
            QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(kLoopMissedDeadline); });
            deadline.start(kLoopDeadlineMs);
            QCOMPARE(QApplication::exec(), StopSignals::exitStatusFor(SIGTERM));
            QVERIFY2(sinceSignal.elapsed() < 500, qPrintable(QString::number(sinceSignal.elapsed())));
            QVERIFY(paintsBeforeSignal > 0);  // painted during the wait
        }
        QCOMPARE(exclusiveFlag(sim.devicePath()), 0);
        QVERIFY(portOpensAgain(sim));
    }

    // Only one set of handlers can own the signals.
    void aSecondInstanceIsRefused() {
        const StopSignals first;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, StopSignals{});
    }
};

QTEST_MAIN(StopSignalTest)
#include "StopSignalTest.moc"
