// The operator's whole tour through the real window against the simulated instrument on a paced line:
// what the operator sees and what the instrument holds and received.
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "base/TextFormat.h"
#include "tests/app/qt/WindowRig.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

using namespace k54;

namespace {

constexpr int kPort = 5;

// The instrument on its paced line at 115200 baud, and the configurator's window beside it.
struct Stage {
    explicit Stage(std::vector<std::string> simArgs = {})
        : sim(withLine(std::move(simArgs)), kPort), rig(sim.portsDir()) {}

    static std::vector<std::string> withLine(std::vector<std::string> args) {
        args.insert(args.begin(), {"--baud", "115200"});
        return args;
    }

    // Picks the port and the speed, clicks "Подключить".
    void connect() {
        rig.choose("Com_B", QStringLiteral("COM%1").arg(kPort));
        rig.choose("Spd_B", QStringLiteral("115200"));
        QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
    }
    bool looksConnected() const {
        return rig.widget<QPushButton>("ConnectCom")->text() == "Отключить" &&
               rig.widget<QPushButton>("ConnectCom")->isChecked() && !rig.widget<QWidget>("Config")->isHidden() &&
               !rig.widget<QWidget>("MeasureL")->isHidden() && !rig.widget<QWidget>("Com_B")->isEnabled();
    }
    bool looksDisconnected() const {
        return rig.widget<QPushButton>("ConnectCom")->text() == "Подключить" &&
               !rig.widget<QPushButton>("ConnectCom")->isChecked() && rig.widget<QWidget>("Config")->isHidden() &&
               rig.widget<QWidget>("MeasureL")->isHidden() && rig.widget<QWidget>("Com_B")->isEnabled();
    }
    QString text(const char* name) const {
        if (auto* edit = rig.widget<QLineEdit>(name)) return edit->text();
        if (auto* list = rig.widget<QComboBox>(name)) return list->currentText();
        return rig.widget<QLabel>(name)->text();
    }
    std::size_t traceMark() const { return sim.traceLines().size(); }
    // Request lines of the trace from a mark on.
    QStringList requestsFrom(std::size_t mark) const {
        QStringList requests;
        const auto lines = sim.traceLines();
        for (std::size_t i = mark; i < lines.size(); ++i)
            if (lines[i].rfind("req ", 0) == 0) requests << QString::fromStdString(lines[i].substr(4));
        return requests;
    }
    int countRequests(std::size_t mark, const QString& prefix) const {
        int n = 0;
        for (const QString& r : requestsFrom(mark)) n += r.startsWith(prefix) ? 1 : 0;
        return n;
    }
    void commitWithEnter(const char* field, const QString& typed) {
        auto* edit = rig.widget<QLineEdit>(field);
        showPageOf(edit);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void showPageOf(QWidget* w) {
        auto* pages = rig.widget<QTabWidget>("PageControl_Ker5400_2");
        for (int i = 0; i < pages->count(); ++i)
            if (pages->widget(i)->isAncestorOf(w)) pages->setCurrentIndex(i);
    }
    void screenshot(const QString& name, int page) {
        const QString dir = qEnvironmentVariable("K54_SCREENSHOT_DIR");
        if (dir.isEmpty()) return;
        rig.widget<QTabWidget>("PageControl_Ker5400_2")->setCurrentIndex(page);
        QDir().mkpath(dir);
        QVERIFY(rig.window.grab().save(dir + "/" + name + ".png"));
    }

    test::SimInstrument sim;
    test::QtWindowRig rig;
};

}  // namespace

class Tour : public QObject {
    Q_OBJECT
    // The backups before a factory write go to the tour's own data folder.
    test::ScratchDir data_{"k54-tour-data-"};

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data_.path().string())); }

    void connectReadDisconnectAndReconnect() {
        Stage s;
        s.connect();
        QVERIFY(s.looksConnected());
        QCOMPARE(s.rig.window.panelText(0), std::string("v.1.90.0013"));
        QCOMPARE(s.rig.logLines().mid(0, 2), (QStringList{"Поиск на Com5. Ждите!", "Прибор подключен Com5."}));
        // The factory configuration the instrument holds, on every page.
        QCOMPARE(s.text("Mod_B"), QStringLiteral("Сопротивление 0...320 Ом (R)"));
        QCOMPARE(s.text("Sch_B"), QStringLiteral("4-проводная"));
        QCOMPARE(s.text("Us1_E"), QStringLiteral("64.0"));
        QCOMPARE(s.text("Dph_E"), QStringLiteral("320.0"));
        QCOMPARE(s.text("La__B"), QStringLiteral("16"));
        QCOMPARE(s.text("Out_B"), QStringLiteral("4 .. 20 мА"));
        QCOMPARE(s.text("Adr_E"), QStringLiteral("1"));
        QCOMPARE(s.text("NameModeAll"), QStringLiteral("   0   320 Ом"));
        QVERIFY(!s.rig.widget<QWidget>("Panel_Tsp")->isHidden());
        s.screenshot("connected-mode", 0);
        s.screenshot("connected-display", 2);

        QTest::mouseClick(s.rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
        QVERIFY(s.looksDisconnected());
        QCOMPARE(s.rig.logLines().last(), QStringLiteral("Прибор отключен Com5 свободен."));
        QTest::mouseClick(s.rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
        QVERIFY(s.looksConnected());
    }

    void changesGoToTheInstrumentAtOnce() {
        Stage s;
        s.connect();
        QVERIFY(s.looksConnected());
        std::size_t mark = s.traceMark();
        s.rig.choose("Lt__B", QStringLiteral("Н2"));
        QCOMPARE(s.requestsFrom(mark).value(0).left(17), QStringLiteral("01 06 00 19 00 07"));

        // A new input type is written, then the configuration read back.
        mark = s.traceMark();
        s.rig.choose("Mod_B", QStringLiteral("Термопара ТПР (B) (Pr)"));
        QCOMPARE(s.requestsFrom(mark).value(0).left(17), QStringLiteral("01 06 00 00 00 0D"));
        QCOMPARE(s.requestsFrom(mark).value(1).left(17), QStringLiteral("01 03 00 00 00 27"));
        QVERIFY(!s.rig.widget<QWidget>("Panel_Tmp")->isHidden());

        // Range modes reset the ranges and setpoints.
        s.rig.choose("Rng_B", QStringLiteral("Входной полный"));
        QCOMPARE(s.text("Dph_E"), QStringLiteral("1800.0"));
        QCOMPARE(s.text("Dpl_E"), QStringLiteral("300.0"));
        QCOMPARE(s.text("Us1_E"), QStringLiteral("600.0"));
        mark = s.traceMark();
        s.rig.choose("Rng_B", QStringLiteral("Условный заданный"));
        QCOMPARE(s.requestsFrom(mark).size(), 3);
        QCOMPARE(s.text("Us2_E"), QStringLiteral("80.0"));

        // A value committed with Enter, another by leaving its field.
        mark = s.traceMark();
        s.commitWithEnter("Ioh_E", "250");
        QCOMPARE(s.text("Ioh_E"), QStringLiteral("250.0"));
        QCOMPARE(s.requestsFrom(mark).value(0).left(32), QStringLiteral("01 10 00 0C 00 02 04 00 00 09 C4"));
        mark = s.traceMark();
        auto* hysteresis = s.rig.widget<QLineEdit>("Gs1_E");
        s.showPageOf(hysteresis);
        hysteresis->setFocus();
        QTRY_VERIFY(hysteresis->hasFocus());
        hysteresis->selectAll();
        QTest::keyClicks(hysteresis, "1,5");
        s.rig.widget<QLineEdit>("Gs2_E")->setFocus();
        QTRY_COMPARE(s.countRequests(mark, "01 10 00 21 00 02 04 00 00 00 0F"), 1);
        QCOMPARE(hysteresis->text(), QStringLiteral("1.5"));
    }

    void factoryWriteWithNoAndWithYes() {
        Stage s;
        s.sim.control("set 27 4");
        s.connect();
        QVERIFY(s.looksConnected());
        QCOMPARE(s.text("La__B"), QStringLiteral("4"));
        std::size_t mark = s.traceMark();
        const auto no = test::answerNextBox(QMessageBox::No);
        QTest::mouseClick(s.rig.widget<QPushButton>("Source"), Qt::LeftButton);
        QCOMPARE(*no, QStringLiteral("Запись заводской кофигурации"));
        QVERIFY(s.requestsFrom(mark).isEmpty());

        mark = s.traceMark();
        test::answerNextBox(QMessageBox::Yes);
        QTest::mouseClick(s.rig.widget<QPushButton>("Source"), Qt::LeftButton);
        QCOMPARE(s.requestsFrom(mark).size(), 34);  // the backup's two reads, 31 writes, the read back
        QCOMPARE(s.rig.widget<QProgressBar>("Bar_S")->value(), 100);
        QVERIFY(s.rig.logLines().contains("Запись завершена!"));
        QCOMPARE(s.text("La__B"), QStringLiteral("16"));
    }

    void liveMeasurementOnAndOff() {
        Stage s;
        s.connect();
        QVERIFY(s.looksConnected());
        const std::size_t mark = s.traceMark();
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(s.rig.widget<QCheckBox>("Mgr_En"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(s.countRequests(mark, "01 03 00 3C 00 02") >= 3, 3000);
        QVERIFY(clock.elapsed() >= 1000);  // three polls half a second apart
        QVERIFY(s.text("sMgr").trimmed().toDouble() >= 0.0);
        QCOMPARE(s.text("sUnt"), QStringLiteral("Ом"));
        QTRY_VERIFY_WITH_TIMEOUT(s.rig.window.colour("Mgr_Id") == kLampGreen, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(s.rig.window.colour("Mgr_Id") == kButtonFace, 2000);
        s.screenshot("measuring", 1);

        QTest::mouseClick(s.rig.widget<QCheckBox>("Mgr_En"), Qt::LeftButton);
        QCOMPARE(s.text("sMgr"), QStringLiteral(" "));
        const int polls = s.countRequests(mark, "01 03 00 3C 00 02");
        QTest::qWait(1200);
        QCOMPARE(s.countRequests(mark, "01 03 00 3C 00 02"), polls);
    }

    // «График» shows the moving value exactly as the window shows it, with its unit; a recording has a row
    // for every poll it saw, the failed one included.
    void theTrendOfTheLiveValueAndItsRecording() {
        Stage s;
        s.connect();
        QVERIFY(s.looksConnected());
        QStringList shown;  // the value after each poll, in order: this runs after the window's own poll
        connect(s.rig.window.findChild<QTimer*>(QStringLiteral("Timer_ReadMg")), &QTimer::timeout, this,
                [&] { shown << s.text("sMgr"); });
        QTest::mouseClick(s.rig.widget<QCheckBox>("Mgr_En"), Qt::LeftButton);
        QTest::mouseClick(s.rig.widget<QPushButton>("Mgr_Trend"), Qt::LeftButton);
        TrendWindow* trend = test::shownTrendWindow();
        QVERIFY(trend);
        QVERIFY(s.rig.widget<QCheckBox>("Mgr_En")->isChecked());  // the main window polls on
        // A screenshot shows a whole wave of the simulated value (20 s); the check itself needs a few polls.
        const bool screenshot = !qEnvironmentVariable("K54_SCREENSHOT_DIR").isEmpty();
        const int polls = screenshot ? 44 : 6;
        QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= polls, polls * 500 + 5000);

        const auto lines = test::trendLines(trend);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].size(), shown.size());
        for (int i = 0; i < shown.size(); ++i) QCOMPARE(lines[0][i].y(), shown[i].trimmed().toDouble());
        QVERIFY(shown.first() != shown.last());  // it moves
        auto* chart = trend->findChild<QChartView*>(QStringLiteral("TrendChart"))->chart();
        QCOMPARE(chart->axes(Qt::Vertical).constFirst()->titleText(), QStringLiteral("Ом"));
        QCOMPARE(test::labelText(trend, "TrendCurrent"), QStringLiteral("Текущее: %1 Ом").arg(shown.last().trimmed()));
        if (screenshot) {
            trend->resize(720, 440);
            QVERIFY(trend->grab().save(qEnvironmentVariable("K54_SCREENSHOT_DIR") + "/trend.png"));
        }

        const QString file = QDir(QString::fromStdString(s.sim.portsDir().parent_path().string()))
                                 .filePath(QStringLiteral("ten-polls.csv"));
        auto* record = trend->findChild<QPushButton*>(QStringLiteral("TrendRecord"));
        test::answerNextFileDialog(file);
        QTest::mouseClick(record, Qt::LeftButton);
        QCOMPARE(record->text(), QStringLiteral("Стоп"));
        const int from = shown.size();
        QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= from + 10, 10000);
        s.sim.control("fault exception=2");
        QTRY_VERIFY_WITH_TIMEOUT(!s.rig.widget<QCheckBox>("Mgr_En")->isChecked(), 3000);
        QCOMPARE(test::labelText(trend, "TrendState"), QStringLiteral("Измерение выключено"));
        QTest::mouseClick(record, Qt::LeftButton);
        QCOMPARE(record->text(), QStringLiteral("Запись…"));

        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 1 + shown.size() - from);  // the header, then a row for every poll seen
        QCOMPARE(rows.first(), QStringLiteral("Время,Значение,Единица"));
        for (int i = from; i < shown.size() - 1; ++i)
            QVERIFY2(rows[1 + i - from].endsWith("," + shown[i].trimmed() + ",Ом"), qPrintable(rows[1 + i - from]));
        QVERIFY(rows.last().endsWith(QStringLiteral(",Прибор не отвечает,")));
    }

    void passwordWriteAndReset() {
        Stage s;
        s.connect();
        QVERIFY(s.looksConnected());
        auto* field = s.rig.widget<QLineEdit>("Psw_E");
        s.showPageOf(field);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClicks(field, "42");
        std::size_t mark = s.traceMark();
        const auto question = test::answerNextBox(QMessageBox::Yes);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(*question, QStringLiteral("Записать пароль?"));
        QCOMPARE(s.requestsFrom(mark).value(0).left(17), QStringLiteral("01 06 00 17 00 2A"));
        QCOMPARE(s.rig.logLines().last(), QStringLiteral("Установлен сервисный пароль0042"));
        QCOMPARE(field->text(), QStringLiteral("0000"));

        mark = s.traceMark();
        test::answerNextBox(QMessageBox::Yes);
        QTest::mouseClick(s.rig.widget<QPushButton>("Psw_Reset"), Qt::LeftButton);
        QCOMPARE(s.requestsFrom(mark).value(0).left(17), QStringLiteral("01 06 00 17 00 00"));
        QCOMPARE(s.rig.logLines().last(), QStringLiteral("Пароль обнулен"));
    }

    void anOldFirmwareIsRefused() {
        Stage s({"--firmware", "1.90.0012"});
        s.connect();
        QVERIFY(s.looksDisconnected());
        QCOMPARE(s.rig.logLines().mid(s.rig.logLines().size() - 2),
                 (QStringList{"Версия прибора 1.90.0012 устарела", "Прибор не подключен"}));
    }

    void anExceptionToTheConfigurationReadChangesNothing() {
        Stage s;
        s.connect();
        QVERIFY(s.looksConnected());
        s.sim.control("set 28 3");
        s.sim.control("fault exception=4");
        test::answerNextBox(QMessageBox::Yes);
        QTest::mouseClick(s.rig.widget<QPushButton>("Source"), Qt::LeftButton);
        // The backup's read is refused: nothing is written.
        QCOMPARE(s.rig.logLines().mid(s.rig.logLines().size() - 2),
                 (QStringList{"Ошибка чтения конфигурации", "Запись не выполнена: нет резервной копии"}));
        QCOMPARE(s.text("Ld__B"), QStringLiteral("16"));
    }

    void noInstrumentAndAnInstrumentGoneSilent() {
        Stage s({"--fault", "silent"});
        s.connect();
        QVERIFY(s.looksDisconnected());
        QCOMPARE(s.rig.logLines().last(), QStringLiteral("Прибор не подключен"));

        s.sim.control("clear");
        QTest::mouseClick(s.rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
        QVERIFY(s.looksConnected());
        QTest::mouseClick(s.rig.widget<QCheckBox>("Mgr_En"), Qt::LeftButton);
        const std::size_t mark = s.traceMark();
        QTRY_VERIFY_WITH_TIMEOUT(s.countRequests(mark, "01 03 00 3C 00 02") >= 1, 2000);
        s.sim.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!s.rig.widget<QCheckBox>("Mgr_En")->isChecked(), 10000);
        QCOMPARE(s.text("sMgr"), QStringLiteral(" "));
        QTest::mouseClick(s.rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
        QVERIFY(s.looksDisconnected());
    }
};

QTEST_MAIN(Tour)
#include "TourTest.moc"
