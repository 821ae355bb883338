// The trend window on the offscreen platform: opened beside the main window by «График», the values
// drawn with their unit and band, the span and its statistics, the recording through the file dialog,
// and what it says while measurement is off.
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QValueAxis>
#include <fstream>

#include "app/qt/TrendPlacement.h"
#include "app/qt/TrendWindow.h"
#include "tests/app/qt/WindowRig.h"
#include "tests/support/ScratchDir.h"

using namespace k54;
using namespace std::chrono_literals;

namespace {

using Time = std::chrono::system_clock::time_point;
const Time kStart = Time{std::chrono::seconds{1796912965}};

MeasurementPoll shown(Time time, double value) {
    MeasurementPoll poll;
    poll.time = time;
    poll.answered = true;
    poll.text = QString::number(value, 'f', 1).rightJustified(7).toStdString();
    poll.value = value;
    poll.decimals = 1;
    poll.unit = "мА";
    poll.band = MeasurementBand{4.0, 20.0};
    return poll;
}

MeasurementPoll unanswered(Time time) {
    MeasurementPoll poll;
    poll.time = time;
    return poll;
}

int trendWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += w->objectName() == kTrendWindowName ? 1 : 0;
    return n;
}

QChart* chartOf(QWidget* window) {
    return window->findChild<QChartView*>(QStringLiteral("TrendChart"))->chart();
}

std::vector<std::string> linesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

class TrendWindowTest : public QObject {
    Q_OBJECT
    test::ScratchDir dir_{"k54-trend-window"};

private slots:
    void initTestCase() {
        // The trend window's place is kept in the program's settings: the test's own.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir_.path() / "config").string()));
    }

    // Main windows centred, as the program opens them, on the screens the trend window covered them on.
    void opensBesideTheMainWindowWhereTheScreenHasRoom_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<bool>("bothFit");
        QTest::newRow("1600 x 1000") << QRect(0, 0, 1600, 960) << true;
        QTest::newRow("1366 x 768") << QRect(0, 0, 1366, 728) << true;
        QTest::newRow("second screen") << QRect(1920, 0, 1366, 728) << true;
        QTest::newRow("800 x 600") << QRect(0, 0, 800, 560) << false;
    }

    void opensBesideTheMainWindowWhereTheScreenHasRoom() {
        QFETCH(QRect, screen);
        QFETCH(bool, bothFit);
        const QSize mainSize(561 + 2, 509 + 25), preferred(720 + 2, 440 + 25), minimum(420 + 2, 300 + 25);
        const QRect main(screen.center() - QPoint(mainSize.width() / 2, mainSize.height() / 2), mainSize);
        const int kept = 1 + 341;  // «Измерение», the value and the clock
        const TrendPlacement place = placeTrendWindow(main, screen, preferred, minimum, kept);
        const QRect movedMain(place.mainWindow, mainSize);
        QVERIFY(screen.contains(place.trend));
        QVERIFY(screen.contains(movedMain));
        QVERIFY(place.trend.width() >= minimum.width() && place.trend.height() >= minimum.height());
        QVERIFY(!place.trend.intersects(QRect(movedMain.topLeft(), QSize(kept, mainSize.height()))));
        QCOMPARE(place.trend.intersects(movedMain), !bothFit);
        QCOMPARE(place.mainWindow.y(), main.y());
        // Where there is room beside it, the main window stays where it is.
        if (screen.right() - main.right() > minimum.width() + 8) QCOMPARE(place.mainWindow, main.topLeft());
    }

    // The operator's place for it holds the next time the program opens it.
    void opensWhereTheOperatorPutItLast() {
        QSettings(QSettings::UserScope, QStringLiteral("k54"), QStringLiteral("k54")).remove(QStringLiteral("trend"));
        {
            test::QtWindowRig rig(dir_.path());
            QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
            rig.widget<QPushButton>("Mgr_Trend")->click();
            TrendWindow* trend = test::shownTrendWindow();
            QVERIFY(trend);
            // The first time: beside the main window's measurement and clock, not over them.
            const QRect kept =
                rig.widget<QWidget>("MeasureL")->geometry().united(rig.widget<QWidget>("GroupBox2")->geometry());
            QVERIFY(!trend->frameGeometry().intersects(kept.translated(rig.window.geometry().topLeft())));
            trend->setGeometry(QRect(30, 40, 500, 350));
            trend->close();
        }
        test::QtWindowRig rig(dir_.path());
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.widget<QPushButton>("Mgr_Trend")->click();
        QCOMPARE(test::shownTrendWindow()->geometry(), QRect(30, 40, 500, 350));
        test::shownTrendWindow()->close();
        QSettings(QSettings::UserScope, QStringLiteral("k54"), QStringLiteral("k54")).remove(QStringLiteral("trend"));
    }

    // At its least size the statistics show their whole numbers, however long.
    void theStatisticsAreNeverCut() {
        Trend trend;
        TrendWindow window(trend);
        window.show();
        trend.measurementSwitched(true);
        MeasurementPoll poll = shown(kStart, 239.339);
        poll.decimals = 3;
        poll.unit = "Ом";
        for (const double value : {239.339, -1234.567, 99999.999}) {
            poll.value = value;
            poll.time += 500ms;
            trend.measurementPolled(poll);
        }
        window.resize(window.minimumSize());
        QTRY_COMPARE(window.size(), window.minimumSize());
        QVERIFY(window.minimumSize().width() <= 480);
        QCOMPARE(test::labelText(&window, "TrendMaximum"), QStringLiteral("Максимум: 99999.999 Ом"));
        for (const char* name : {"TrendCurrent", "TrendMinimum", "TrendMaximum", "TrendMean"}) {
            auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(), name);
        }
    }

    void theButtonSitsInFreeSpaceOfTheMeasurementGroup() {
        test::QtWindowRig rig(dir_.path());
        auto* button = rig.widget<QPushButton>("Mgr_Trend");
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("График"));
        QCOMPARE(button->parentWidget()->objectName(), QStringLiteral("MeasureL"));
        QVERIFY(QRect(QPoint(0, 0), button->parentWidget()->size()).contains(button->geometry()));
        // The described controls of the group keep their places, and the button covers none of them.
        const struct {
            const char* name;
            QRect place;
        } described[] = {{"Mgr_En", {8, 22, 16, 17}},
                         {"Mgr_Id", {28, 24, 13, 13}},
                         {"sMgr", {46, 15, 104, 30}},
                         {"sUnt", {154, 15, 38, 30}}};
        for (const auto& d : described) {
            QCOMPARE(rig.widget<QWidget>(d.name)->geometry(), d.place);
            QVERIFY2(!button->geometry().intersects(d.place), d.name);
        }
        QCOMPARE(rig.widget<QWidget>("MeasureL")->geometry(), QRect(140, 28, 197, 53));
        // Nor does it cover the group's title.
        auto* group = rig.widget<QGroupBox>("MeasureL");
        const int titleEnd = group->fontMetrics().horizontalAdvance(group->title()) + 12;
        QVERIFY(button->x() > titleEnd);
    }

    void opensOneWindowBesideTheMainOneWhichKeepsWorking() {
        test::QtWindowRig rig(dir_.path());
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.widget<QPushButton>("Mgr_Trend")->click();  // the group shows only when connected
        TrendWindow* trend = test::shownTrendWindow();
        QVERIFY(trend);
        QVERIFY(trend->isWindow());
        QVERIFY(!trend->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(trend->minimumSize() != trend->maximumSize());  // resizable
        trend->resize(900, 600);
        QCOMPARE(trend->size(), QSize(900, 600));
        QCOMPARE(test::labelText(trend, "TrendState"), QStringLiteral("Измерение выключено"));
        // The main window still takes the operator's clicks.
        rig.widget<QPushButton>("ClearMemo")->click();
        QVERIFY(rig.logLines().isEmpty());
        QVERIFY(rig.window.QWidget::isEnabled());
        // A second click brings the same window back.
        trend->close();
        rig.widget<QPushButton>("Mgr_Trend")->click();
        QCOMPARE(test::shownTrendWindow(), trend);
        QCOMPARE(trendWindows(), 1);
    }

    void drawsEveryValueWithItsUnitBandAndStatistics() {
        Trend trend;
        TrendWindow window(trend);
        window.show();
        QCOMPARE(test::labelText(&window, "TrendState"), QStringLiteral("Измерение выключено"));
        QCOMPARE(test::labelText(&window, "TrendCurrent"), QStringLiteral("Текущее: —"));

        trend.measurementSwitched(true);
        const double values[] = {12.5, 13.0, 11.5, 19.0, 12.0};
        for (int i = 0; i < 5; ++i) trend.measurementPolled(shown(kStart + i * 500ms, values[i]));
        QCOMPARE(test::labelText(&window, "TrendState"), QString());
        const auto lines = test::trendLines(&window);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].size(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(lines[0][i].y(), values[i]);
            QCOMPARE(
                qint64(lines[0][i].x()),
                std::chrono::duration_cast<std::chrono::milliseconds>((kStart + i * 500ms).time_since_epoch()).count());
        }
        auto* valueAxis = static_cast<QValueAxis*>(chartOf(&window)->axes(Qt::Vertical).constFirst());
        QCOMPARE(valueAxis->titleText(), QStringLiteral("мА"));
        QVERIFY(valueAxis->min() <= 11.5 && valueAxis->max() >= 19.0);  // every value in sight
        QVERIFY(valueAxis->max() - valueAxis->min() < 16.0);            // scaled to the values, not the band
        auto* band = chartOf(&window)->findChild<QAreaSeries*>(QStringLiteral("TrendBand"));
        QVERIFY(band && band->isVisible());
        QCOMPARE(band->lowerSeries()->at(0).y(), 4.0);
        QCOMPARE(band->upperSeries()->at(0).y(), 20.0);

        QCOMPARE(test::labelText(&window, "TrendCurrent"), QStringLiteral("Текущее: 12.0 мА"));
        QCOMPARE(test::labelText(&window, "TrendMinimum"), QStringLiteral("Минимум: 11.5 мА"));
        QCOMPARE(test::labelText(&window, "TrendMaximum"), QStringLiteral("Максимум: 19.0 мА"));
        QCOMPARE(test::labelText(&window, "TrendMean"), QStringLiteral("Среднее: 13.6 мА"));

        // A failed poll ends the line; the next values draw a new one.
        trend.measurementPolled(unanswered(kStart + 3s));
        trend.measurementSwitched(false);
        QCOMPARE(test::labelText(&window, "TrendState"), QStringLiteral("Измерение выключено"));
        trend.measurementSwitched(true);
        trend.measurementPolled(shown(kStart + 10s, 14.0));
        trend.measurementPolled(shown(kStart + 10500ms, 14.5));
        QCOMPARE(test::trendLines(&window).size(), 2);
        QCOMPARE(test::trendLines(&window).last().size(), 2);
    }

    // After a change of input type the old values are not drawn under the new unit, nor counted.
    void aNewUnitOrScaleStartsTheChartAndItsStatisticsAnew() {
        Trend trend;
        TrendWindow window(trend);
        window.show();
        trend.measurementSwitched(true);
        for (int i = 0; i < 3; ++i) trend.measurementPolled(shown(kStart + i * 500ms, 12.0 + i));
        MeasurementPoll resistance = shown(kStart + 2s, 239.3);
        resistance.unit = "Ом";
        resistance.band = MeasurementBand{0.0, 320.0};
        trend.measurementPolled(resistance);
        resistance.time += 500ms;
        resistance.value = 240.1;
        trend.measurementPolled(resistance);

        for (const int span : {0, 3}) {
            auto* list = window.findChild<QComboBox*>(QStringLiteral("TrendSpan"));
            list->setCurrentIndex(span);
            emit list->activated(span);
            const auto lines = test::trendLines(&window);
            qsizetype drawn = 0;
            for (const auto& line : lines) drawn += line.size();
            QCOMPARE(drawn, 2);
            auto* valueAxis = static_cast<QValueAxis*>(chartOf(&window)->axes(Qt::Vertical).constFirst());
            QCOMPARE(valueAxis->titleText(), QStringLiteral("Ом"));
            QVERIFY(valueAxis->min() > 100.0);  // not stretched down to the milliamperes
            QCOMPARE(test::labelText(&window, "TrendMinimum"), QStringLiteral("Минимум: 239.3 Ом"));
            QCOMPARE(test::labelText(&window, "TrendMean"), QStringLiteral("Среднее: 239.7 Ом"));
            auto* band = chartOf(&window)->findChild<QAreaSeries*>(QStringLiteral("TrendBand"));
            QCOMPARE(band->upperSeries()->at(0).y(), 320.0);
        }
    }

    void theSpanChoosesWhatIsDrawnAndCounted() {
        Trend trend;
        TrendWindow window(trend);
        window.show();
        trend.measurementSwitched(true);
        trend.measurementPolled(shown(kStart, 100.0));  // two hours before the rest
        for (int i = 0; i < 4; ++i) trend.measurementPolled(shown(kStart + 2h + i * 20s, 10.0 + i));
        auto* span = window.findChild<QComboBox*>(QStringLiteral("TrendSpan"));
        QCOMPARE(span->count(), 4);
        QCOMPARE(span->currentText(), QStringLiteral("1 мин"));
        QCOMPARE(test::trendLines(&window).constFirst().size(), 4);
        QCOMPARE(test::labelText(&window, "TrendMaximum"), QStringLiteral("Максимум: 13.0 мА"));
        QCOMPARE(test::labelText(&window, "TrendMean"), QStringLiteral("Среднее: 11.5 мА"));
        span->setCurrentIndex(3);
        emit span->activated(3);
        QCOMPARE(span->currentText(), QStringLiteral("Всё"));
        QCOMPARE(test::trendLines(&window).constFirst().size(), 5);
        QCOMPARE(test::labelText(&window, "TrendMaximum"), QStringLiteral("Максимум: 100.0 мА"));
        QCOMPARE(test::labelText(&window, "TrendMean"), QStringLiteral("Среднее: 29.2 мА"));
    }

    void recordsThroughTheFileDialogUntilStop() {
        Trend trend;
        TrendWindow window(trend);
        window.show();
        trend.measurementSwitched(true);
        trend.measurementPolled(shown(kStart, 1.0));  // before the recording
        auto* record = window.findChild<QPushButton*>(QStringLiteral("TrendRecord"));
        QCOMPARE(record->text(), QStringLiteral("Запись…"));

        const std::filesystem::path file = dir_.path() / "recorded.csv";
        test::answerNextFileDialog(QString::fromStdString(file.string()));
        record->click();
        QCOMPARE(record->text(), QStringLiteral("Стоп"));
        QVERIFY(trend.recording());
        for (int i = 1; i <= 3; ++i) trend.measurementPolled(shown(kStart + i * 500ms, 2.0));
        trend.measurementPolled(unanswered(kStart + 2s));
        QCOMPARE(test::labelText(&window, "TrendRecordState"), QStringLiteral("Запись: строк 4"));
        record->click();
        QCOMPARE(record->text(), QStringLiteral("Запись…"));
        trend.measurementPolled(shown(kStart + 5s, 3.0));  // after it

        const auto lines = linesOf(file);
        QCOMPARE(lines.size(), std::size_t{5});
        QCOMPARE(QString::fromStdString(lines.at(0)), QStringLiteral("Время,Значение,Единица"));
        QVERIFY(QString::fromStdString(lines.at(1)).endsWith(",2.0,мА"));
        QVERIFY(QString::fromStdString(lines.at(4)).endsWith(",Прибор не отвечает,"));

        // A cancelled dialog starts nothing; a file that cannot be made is said beside the button.
        test::answerNextFileDialog(QString());
        record->click();
        QVERIFY(!trend.recording());
        QCOMPARE(record->text(), QStringLiteral("Запись…"));
        QVERIFY(!trend.startRecording("/dev/full"));  // a file that takes no row (the dialog offers none)
        QVERIFY(test::labelText(&window, "TrendRecordState")
                    .startsWith(QString::fromUtf8(kRecordingCannotStart.data(), kRecordingCannotStart.size()) +
                                QStringLiteral(": /dev/full (")));
        QCOMPARE(record->text(), QStringLiteral("Запись…"));
        QVERIFY(!trend.recording());

        // Closing the window ends a recording: none goes on out of sight.
        test::answerNextFileDialog(QString::fromStdString((dir_.path() / "closed.csv").string()));
        record->click();
        QVERIFY(trend.recording());
        window.close();
        QVERIFY(!trend.recording());
    }
};

QTEST_MAIN(TrendWindowTest)
#include "TrendWindowTest.moc"
