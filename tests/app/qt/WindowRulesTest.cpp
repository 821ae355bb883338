// The rules every window keeps (tests/app/WindowRules.h) on the Qt window, each on a fresh window: the
// same suite the in-memory window runs.
#include <QTest>

#include "tests/app/WindowRules.h"
#include "tests/app/qt/WindowRig.h"
#include "tests/support/ScratchDir.h"

using namespace k54;

class WindowRulesOnQt : public QObject {
    Q_OBJECT
    test::ScratchDir portsDir_{"k54-qt-ports"};

private slots:
    void rules_data() {
        QTest::addColumn<int>("rule");
        const auto& rules = test::windowRules();
        for (int i = 0; i < static_cast<int>(rules.size()); ++i)
            QTest::newRow(rules[static_cast<std::size_t>(i)].name) << i;
    }
    void rules() {
        QFETCH(int, rule);
        test::QtWindowRig rig(portsDir_.path());
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        test::Problems problems;
        test::windowRules().at(static_cast<std::size_t>(rule)).check(rig.window.session(), problems);
        QString said;
        for (const std::string& problem : problems) said += QString::fromStdString(problem) + "\n";
        QVERIFY2(problems.empty(), qPrintable(said));
    }
};

QTEST_MAIN(WindowRulesOnQt)
#include "WindowRulesTest.moc"
