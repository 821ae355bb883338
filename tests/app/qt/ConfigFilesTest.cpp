// Configuration files through the real window against the simulated instrument: the two buttons, the
// file dialogs answered as the operator would, the confirmation, the pages after the load, and the
// folder remembered between runs.
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include "config/files/ConfigFile.h"
#include "tests/app/qt/WindowRig.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

using namespace k54;

namespace {

constexpr int kPort = 5;

// The window connected to the instrument.
struct Stage {
    Stage() : sim({"--no-pacing"}, kPort), rig(sim.portsDir()) {}

    bool connect() {
        if (!QTest::qWaitForWindowExposed(&rig.window)) return false;
        rig.choose("Com_B", QStringLiteral("COM%1").arg(kPort));
        QTest::mouseClick(rig.widget<QPushButton>("ConnectCom"), Qt::LeftButton);
        return !rig.widget<QWidget>("Config")->isHidden();
    }
    void click(const char* button) { QTest::mouseClick(rig.widget<QPushButton>(button), Qt::LeftButton); }
    QString listText(const char* list) const { return rig.widget<QComboBox>(list)->currentText(); }

    test::SimInstrument sim;
    test::QtWindowRig rig;
};

}  // namespace

class ConfigFiles : public QObject {
    Q_OBJECT
    test::ScratchDir scratch_{"k54-qt-files-"};

    QString path(const QString& name) const {
        return QDir(QString::fromStdString(scratch_.path().string())).filePath(name);
    }

private slots:
    void initTestCase() {
        // Backups and the program's settings go to folders of the test's own (backups on Windows under
        // APPDATA; the settings there live in the user's registry).
        qputenv("XDG_DATA_HOME", path("data").toUtf8());
        qputenv("APPDATA", path("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    }

    void theButtonsSitInTheConfigurationGroupBelowTheFactoryButton() {
        Stage s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.rig.window));
        auto* group = s.rig.widget<QWidget>("Config");
        QVERIFY(group->isHidden());  // with the group, only while connected
        QCOMPARE(s.rig.widget<QWidget>("Source")->geometry(), QRect(8, 22, 69, 25));
        QCOMPARE(s.rig.widget<QPushButton>("Cfg_Save")->text(), QStringLiteral("Сохранить…"));
        QCOMPARE(s.rig.widget<QPushButton>("Cfg_Load")->text(), QStringLiteral("Загрузить…"));
        QRect below = s.rig.widget<QWidget>("Source")->geometry();
        for (const char* name : {"Cfg_Save", "Cfg_Load"}) {
            auto* button = s.rig.widget<QWidget>(name);
            QCOMPARE(button->parentWidget(), group);
            QVERIFY(button->geometry().top() > below.bottom());
            QVERIFY(QRect(QPoint(0, 0), group->size()).contains(button->geometry()));
            const auto* push = static_cast<QPushButton*>(button);
            QVERIFY2(push->fontMetrics().horizontalAdvance(push->text()) + 4 <= push->width(), "the caption is cut");
            below = button->geometry();
        }
        QVERIFY(s.connect());
        QVERIFY(s.rig.widget<QWidget>("Cfg_Load")->isVisible());
    }

    void saveThenLoadThroughTheFileDialogs() {
        Stage s;
        s.sim.control("set 29 1");
        QVERIFY(s.connect());
        const QString file = path("site.json");
        test::answerNextFileDialog(file);
        s.click("Cfg_Save");
        QCOMPARE(s.rig.logLines().last(), "Конфигурация сохранена: " + file);
        QVERIFY(loadConfigurationFile(file.toStdString()).configuration);

        // The instrument is changed; loading the file puts it back, and the pages show it.
        s.sim.control("set 29 2");
        s.sim.control("set 30 1");
        const auto opened = test::answerNextFileDialog(file);
        const auto question = test::answerNextBox(QMessageBox::Yes);
        s.click("Cfg_Load");
        QCOMPARE(*question, QStringLiteral("Будет изменено параметров: 2. Записать конфигурацию из файла в прибор?"));
        QCOMPARE(*opened, QFileInfo(file).absolutePath());  // the folder used last
        QCOMPARE(s.listText("Rl1_B"), QStringLiteral("Прямая"));
        QCOMPARE(s.listText("Rl2_B"), QStringLiteral("Выключено"));
        QVERIFY(s.rig.logLines().contains("Конфигурация загружена: " + file));
        QCOMPARE(s.rig.logLines().last(), QStringLiteral("Запись завершена!"));
        QCOMPARE(QDir(path("data/k54/backups")).entryList(QDir::Files).size(), 1);
    }

    void aCancelledDialogDoesNothingAndTheFolderOutlivesTheWindow() {
        QDir().mkpath(path("elsewhere"));
        {
            Stage s;
            QVERIFY(s.connect());
            test::answerNextFileDialog(path("elsewhere/one.json"));
            s.click("Cfg_Save");
        }
        // The next run's dialog opens where the last one ended; cancelling it changes nothing.
        Stage s;
        QVERIFY(s.connect());
        const int lines = s.rig.logLines().size();
        const std::size_t mark = s.sim.traceLines().size();
        const auto opened = test::answerNextFileDialog({});
        s.click("Cfg_Load");
        QCOMPARE(*opened, path("elsewhere"));
        QCOMPARE(s.rig.logLines().size(), lines);
        QCOMPARE(s.sim.traceLines().size(), mark);
#ifndef _WIN32
        QVERIFY(QFile(path("config/k54/k54.conf")).exists());
#endif
    }
};

QTEST_MAIN(ConfigFiles)
#include "ConfigFilesTest.moc"
