// The window's longest event-loop stall while it works on the line: a timer ticks every 2 ms in the
// window's event loop, and the largest gap between two ticks, less the 2 ms, is the stall. Each case
// drives the real window (offscreen) against k54sim on its paced line, as the operator would, and also
// gives the time the work took against the least time the paced line takes for it.
// Not a test: scripts/bench prints what it measures.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

#include "tests/app/qt/WindowRig.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

using namespace k54;

namespace {

constexpr int kTick = 2;  // ms

// The largest gap between the ticks of a timer in the event loop while it runs.
class StallMeter {
public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kTick);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            worst_ = std::max(worst_, now - last_);
            last_ = now;
        });
    }
    void start() {
        worst_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    qint64 stop() {
        timer_.stop();
        worst_ = std::max(worst_, clock_.elapsed() - last_);  // the gap up to now counts too
        return std::max<qint64>(worst_ - kTick, 0);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0, worst_ = 0;
};

// The least time the exchanges from the trace's line `mark` on take on k54sim's paced line at `baud`:
// each reply's bytes (11 bits a character) and the instrument's 3 ms before it. (The requests reach
// k54sim through the pseudo-terminal at once; on a real line their bytes add the same time to both.)
double lineMilliseconds(const test::SimInstrument& sim, std::size_t mark, int baud) {
    constexpr double kAnswerDelayMs = 3;
    double total = 0;
    const auto lines = sim.traceLines();
    for (std::size_t i = mark; i < lines.size(); ++i) {
        std::istringstream words(lines[i]);
        std::string kind, word;
        words >> kind;
        if (kind != "rep") continue;
        std::size_t bytes = 0;
        while (words >> word && word.size() == 2) ++bytes;
        if (bytes > 0) total += kAnswerDelayMs + static_cast<double>(bytes) * 11.0 * 1000.0 / baud;
    }
    return total;
}

struct Figure {
    qint64 stall = 0;    // ms
    qint64 elapsed = 0;  // ms from the operator's action to the end of the work
    double line = 0;     // ms the paced line takes at least
};

// Starts `act` from the event loop (as a click is), runs the loop until `done` holds (or 60 s pass),
// and measures.
Figure measure(test::QtWindowRig& rig, const test::SimInstrument& sim, int baud, const std::function<void()>& act,
               const std::function<bool()>& done) {
    StallMeter meter;
    const std::size_t mark = sim.traceLines().size();
    QElapsedTimer clock;
    meter.start();
    clock.start();
    QTimer::singleShot(0, &rig.window, act);
    const bool ended = QTest::qWaitFor(done, 60000);
    Figure figure{meter.stop(), clock.elapsed(), lineMilliseconds(sim, mark, baud)};
    if (!ended) std::fprintf(stderr, "window bench: a case did not end within 60 s\n");
    return figure;
}

bool logHas(const test::QtWindowRig& rig, const QString& line) {
    return rig.logLines().contains(line);
}

void connect(test::QtWindowRig& rig) {
    rig.choose("Com_B", QStringLiteral("COM4"));
    rig.widget<QPushButton>("ConnectCom")->click();
}

void print(const char* what, const Figure& f, bool withRatio) {
    std::printf("%-44s longest stall %4lld ms", what, static_cast<long long>(f.stall));
    if (withRatio)
        std::printf("   took %6lld ms, the line %6.0f ms, ratio %.3f", static_cast<long long>(f.elapsed), f.line,
                    f.line > 0 ? static_cast<double>(f.elapsed) / f.line : 0.0);
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int measureSeconds = argc > 1 ? std::atoi(argv[1]) : 30;

    {
        test::SimInstrument sim({"--fault", "silent"}, 4);
        test::QtWindowRig rig(sim.portsDir());
        const Figure f = measure(
            rig, sim, 19200, [&] { connect(rig); }, [&] { return logHas(rig, QStringLiteral("Прибор не подключен")); });
        print("connect to a silent instrument", f, false);
    }
    {
        test::SimInstrument sim({}, 4);
        test::QtWindowRig rig(sim.portsDir());
        // Two requests and their replies: the firmware version and the configuration.
        const std::size_t before = sim.traceLines().size();
        const Figure f = measure(
            rig, sim, 19200, [&] { connect(rig); }, [&] { return sim.traceLines().size() >= before + 4; });
        print("connect and read at 19200", f, true);
    }
    {
        test::SimInstrument sim({"--baud", "2400"}, 4);
        test::QtWindowRig rig(sim.portsDir());
        rig.choose("Spd_B", QStringLiteral("2400"));
        connect(rig);
        QTest::qWaitFor([&] { return rig.widget<QWidget>("Config")->isVisible(); }, 10000);
        test::ScratchDir backups("k54-bench-backups");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(backups.path().string()));
        const Figure f = measure(
            rig, sim, 2400,
            [&] {
                test::answerNextBox(QMessageBox::Yes);
                rig.widget<QPushButton>("Source")->click();
            },
            [&] { return logHas(rig, QStringLiteral("Запись завершена!")); });
        print("factory write at 2400", f, true);
    }
    {
        test::SimInstrument sim({}, 4);
        test::QtWindowRig rig(sim.portsDir());
        connect(rig);
        QTest::qWaitFor([&] { return rig.widget<QWidget>("Config")->isVisible(); }, 10000);
        test::ScratchDir files("k54-bench-files");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(files.path().string()));
        const QString file = QString::fromStdString((files.path() / "bench.json").string());
        test::answerNextFileDialog(file);
        rig.widget<QPushButton>("Cfg_Save")->click();
        QTest::qWaitFor([&] { return rig.logLines().join('\n').contains(QStringLiteral("Конфигурация сохранена")); });
        // Five parameters the file holds otherwise: the load writes them back and reads back.
        for (const char* command : {"set 31 0", "set 32 100", "set 33 5", "set 35 7", "set 37 9"}) sim.control(command);
        const Figure f = measure(
            rig, sim, 19200,
            [&] {
                test::answerNextFileDialog(file);
                test::answerNextBox(QMessageBox::Yes);
                rig.widget<QPushButton>("Cfg_Load")->click();
            },
            [&] {
                return rig.logLines().join('\n').contains(QStringLiteral("Конфигурация загружена")) ||
                       logHas(rig, QStringLiteral("Ошибка записи конфигурации"));
            });
        print("loading a file (5 parameters) at 19200", f, false);
    }
    {
        test::SimInstrument sim({"--fault", "drop-every=5"}, 4);
        test::QtWindowRig rig(sim.portsDir());
        connect(rig);
        QTest::qWaitFor([&] { return rig.widget<QWidget>("Config")->isVisible(); }, 20000);
        auto* measurement = rig.widget<QCheckBox>("Mgr_En");
        // A poll that gets no reply stops polling, as described; the operator ticks «Измерение» again.
        QTimer again;
        QObject::connect(&again, &QTimer::timeout, [measurement] {
            if (!measurement->isChecked()) measurement->click();
        });
        QElapsedTimer clock;
        const Figure f = measure(
            rig, sim, 19200,
            [&] {
                measurement->click();
                again.start(100);
                clock.start();
            },
            [&] { return clock.isValid() && clock.elapsed() >= measureSeconds * 1000; });
        again.stop();
        print(("live measurement, " + std::to_string(measureSeconds) + " s, every 5th reply dropped").c_str(), f,
              false);
    }
    return 0;
}
