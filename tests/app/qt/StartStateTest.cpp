// The real window at start: every named control of its kind, at its place and in its start state;
// the status line and the log; Enter in a parameter field.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/WindowLayout.h"
#include "form/Status.h"
#include "tests/app/qt/WindowRig.h"
#include "tests/support/ScratchDir.h"

using namespace k54;

namespace {

enum class Kind { Label, Edit, Masked, List, Check, Button, Latch, Panel, Frame, Pages, Page, Memo, Progress, Status };

struct Expected {
    const char* name;
    Kind kind;
    bool visible;
};

// Every control the window has, its kind and whether it shows at start.
const Expected kControls[] = {
    {"TitulControl", Kind::Label, false}, {"NameModeAll", Kind::Label, true},
    {"MeasureL", Kind::Frame, false},     {"Mgr_En", Kind::Check, true},
    {"Mgr_Id", Kind::Panel, true},        {"sMgr", Kind::Label, true},
    {"sUnt", Kind::Label, true},          {"GroupBox2", Kind::Frame, true},
    {"RealTime", Kind::Label, true},      {"GroupBox20", Kind::Frame, true},
    {"StaticText23", Kind::Label, true},  {"VerPC", Kind::Label, true},
    {"ConnectCom", Kind::Latch, true},    {"StaticText1", Kind::Label, true},
    {"Spd_T", Kind::Label, true},         {"StaticText2", Kind::Label, true},
    {"Adr_E", Kind::Edit, true},          {"Spd_B", Kind::List, true},
    {"Com_B", Kind::List, true},          {"PageControl_Ker5400_2", Kind::Pages, true},
    {"TabSheet2", Kind::Page, true},      {"TabSheet3", Kind::Page, true},
    {"TabSheet4", Kind::Page, true},      {"TabSheet7", Kind::Page, true},
    {"TabSheet5", Kind::Page, true},      {"TabSheet6", Kind::Page, true},
    {"Mod_B", Kind::List, true},          {"Panel_Tsp", Kind::Frame, false},
    {"Sch_B", Kind::List, true},          {"Panel_Rlin", Kind::Panel, false},
    {"rLn_E", Kind::Edit, true},          {"Panel_Tmp", Kind::Frame, false},
    {"Mcj_B", Kind::List, true},          {"Ufp_B", Kind::List, true},
    {"Units", Kind::Label, true},         {"StaticText5", Kind::Label, true},
    {"NameModeLim", Kind::Label, true},   {"Us1_E", Kind::Edit, true},
    {"Gs1_E", Kind::Edit, true},          {"Us2_E", Kind::Edit, true},
    {"Gs2_E", Kind::Edit, true},          {"Brn_B", Kind::List, true},
    {"Rng_B", Kind::List, true},          {"Dpl_E", Kind::Edit, true},
    {"Dph_E", Kind::Edit, true},          {"Iol_E", Kind::Edit, true},
    {"Ioh_E", Kind::Edit, true},          {"Ind_B", Kind::List, true},
    {"Ndt_B", Kind::List, true},          {"Lt__B", Kind::List, true},
    {"Lp__B", Kind::List, true},          {"La__B", Kind::List, true},
    {"Ld__B", Kind::List, true},          {"Rl1_B", Kind::List, true},
    {"Rl2_B", Kind::List, true},          {"Out_B", Kind::List, true},
    {"Sqr_B", Kind::List, true},          {"Ien_B", Kind::List, true},
    {"Icd_E", Kind::Edit, true},          {"Ptr_T", Kind::Label, false},
    {"Ptr_B", Kind::List, false},         {"Psw_E", Kind::Masked, true},
    {"Psw_Write", Kind::Button, true},    {"Psw_Reset", Kind::Button, true},
    {"Config", Kind::Frame, false},       {"Source", Kind::Button, true},
    {"Cfg_Save", Kind::Button, true},     {"Cfg_Load", Kind::Button, true},
    {"Bar_S", Kind::Progress, true},      {"InforF", Kind::Memo, true},
    {"GroupBox1", Kind::Frame, true},     {"ClearMemo", Kind::Button, true},
    {"DemoExit", Kind::Button, true},     {"StatusProg", Kind::Status, true},
};

bool isOfKind(QWidget* w, Kind kind) {
    switch (kind) {
        case Kind::Label:
            return qobject_cast<QLabel*>(w);
        case Kind::Edit:
            return qobject_cast<QLineEdit*>(w) && static_cast<QLineEdit*>(w)->inputMask().isEmpty();
        case Kind::Masked:
            return qobject_cast<QLineEdit*>(w) && !static_cast<QLineEdit*>(w)->inputMask().isEmpty();
        case Kind::List:
            return qobject_cast<QComboBox*>(w) && !static_cast<QComboBox*>(w)->isEditable();
        case Kind::Check:
            return qobject_cast<QCheckBox*>(w);
        case Kind::Button:
            return qobject_cast<QPushButton*>(w) && !static_cast<QPushButton*>(w)->isCheckable();
        case Kind::Latch:
            return qobject_cast<QPushButton*>(w) && static_cast<QPushButton*>(w)->isCheckable();
        case Kind::Panel:
            return w->inherits("QFrame") && !qobject_cast<QLabel*>(w);
        case Kind::Frame:
            return qobject_cast<QGroupBox*>(w);
        case Kind::Pages:
            return qobject_cast<QTabWidget*>(w);
        case Kind::Page:
            return w->parentWidget() && w->parentWidget()->parentWidget() &&
                   qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget());
        case Kind::Memo:
            return qobject_cast<QPlainTextEdit*>(w) && static_cast<QPlainTextEdit*>(w)->isReadOnly();
        case Kind::Progress:
            return qobject_cast<QProgressBar*>(w);
        case Kind::Status:
            return qobject_cast<QStatusBar*>(w);
    }
    return false;
}

QStringList items(QComboBox* box) {
    QStringList all;
    for (int i = 0; i < box->count(); ++i) all << box->itemText(i);
    return all;
}

}  // namespace

class StartState : public QObject {
    Q_OBJECT
    test::ScratchDir portsDir_{"k54-qt-ports"};
    std::unique_ptr<test::QtWindowRig> rig_;

private slots:
    void init() {
        rig_ = std::make_unique<test::QtWindowRig>(portsDir_.path());
        QVERIFY(QTest::qWaitForWindowExposed(&rig_->window));
    }
    void cleanup() { rig_.reset(); }

    void everyControlExistsWithItsKindAndVisibility() {
        for (const Expected& e : kControls) {
            auto* w = rig_->widget<QWidget>(e.name);
            QVERIFY2(w, e.name);
            QVERIFY2(isOfKind(w, e.kind), e.name);
            if (e.kind != Kind::Page) QVERIFY2(w->isHidden() != e.visible, e.name);
        }
    }

    void theWindowHasItsCaptionSizeAndAreas() {
        QCOMPARE(rig_->window.windowTitle(), QStringLiteral("Конфигуратор КЭР-5400-02(03)"));
        QCOMPARE(rig_->window.size(), QSize(561, 509));
        const struct {
            const char* name;
            QRect place;
        } areas[] = {{"TitulControl", {140, 8, 132, 23}}, {"NameModeAll", {328, 8, 80, 23}},
                     {"MeasureL", {140, 28, 197, 53}},    {"GroupBox2", {140, 80, 196, 41}},
                     {"GroupBox20", {340, 28, 217, 93}},  {"PageControl_Ker5400_2", {4, 124, 465, 221}},
                     {"Config", {472, 124, 85, 133}},     {"Bar_S", {4, 348, 465, 9}},
                     {"InforF", {4, 360, 465, 117}},      {"GroupBox1", {472, 356, 85, 121}},
                     {"StatusProg", {1, 477, 559, 31}},   {"Mgr_Id", {28, 24, 13, 13}}};
        for (const auto& area : areas) QCOMPARE(rig_->widget<QWidget>(area.name)->geometry(), area.place);
    }

    // With the window's font every described text fits its control, on Linux as on Windows: a label, a
    // button, a check box, a group's title, all six tabs in one row, and every item of a list in the
    // open list (a closed list narrower than an item gives the item whole as its tooltip).
    void everyDescribedTextFitsItsControl() {
        QCOMPARE(rig_->window.font().pixelSize(), 11);
        QVERIFY(rig_->window.font().families().startsWith(QStringLiteral("Arial")));
        QStringList cut;
        const auto fits = [&cut](const ControlSpec& control, const QWidget* w, const QString& text, int room) {
            if (w->fontMetrics().horizontalAdvance(text) > room)
                cut << QStringLiteral("%1: «%2» %3 > %4")
                           .arg(QString::fromStdString(control.name), text)
                           .arg(w->fontMetrics().horizontalAdvance(text))
                           .arg(room);
        };
        for (const ControlSpec& control : windowLayout()) {
            auto* w = rig_->widget<QWidget>(control.name.c_str());
            if (!w || (control.text.empty() && control.items.empty())) continue;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                fits(control, w, label->text(), label->contentsRect().width());
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                fits(control, w, button->text(), button->width() - 6);
            } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
                QStyleOptionButton option;
                option.initFrom(box);
                fits(control, w, box->text(),
                     box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width());
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                fits(control, w, group->title(), group->width() - 10);  // the title starts 8 pixels in
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                // Every item whole in the open list; where the closed list cuts one, its tooltip has it.
                list->showPopup();
                const int open = list->view()->viewport()->width() - 8;
                list->hidePopup();
                for (int i = 0; i < list->count(); ++i) {
                    fits(control, list->view(), list->itemText(i), open);
                    list->setCurrentIndex(i);
                    QStyleOptionComboBox option;
                    option.initFrom(list);
                    const int room =
                        list->style()
                            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
                            .width();
                    if (list->fontMetrics().horizontalAdvance(list->itemText(i)) > room &&
                        list->toolTip() != list->itemText(i))
                        cut << QString::fromStdString(control.name) + QStringLiteral(": no tooltip for ") +
                                   list->itemText(i);
                }
                list->setCurrentIndex(control.itemIndex);
            }
        }
        auto* pages = rig_->widget<QTabWidget>("PageControl_Ker5400_2");
        const QRect lastTab = pages->tabBar()->tabRect(pages->count() - 1);
        if (pages->tabBar()->mapTo(pages, lastTab.topRight()).x() >= pages->width())
            cut << QStringLiteral("the last tab");
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    // A message longer than the status line takes the bar's free room instead of being cut.
    void aLongStatusMessageTakesTheBarsFreeRoom() {
        auto* line = rig_->widget<QLabel>("StatusPanel3");
        const std::string message = "Файл не принят, в прибор ничего не записано";
        reportStatus(rig_->window, message);
        QVERIFY(line->width() >= line->fontMetrics().horizontalAdvance(line->text()));
        reportStatus(rig_->window, "Ждите");
        QTRY_COMPARE(line->width(), 120);
    }

    void thePagesAreInOrderWithTheInterfacePageActive() {
        auto* pages = rig_->widget<QTabWidget>("PageControl_Ker5400_2");
        const QStringList captions{"Режим", "Уставки", "Индикация", "Линейный индикатор", "Токовый выход", "Интерфейс"};
        const QStringList names{"TabSheet2", "TabSheet3", "TabSheet4", "TabSheet7", "TabSheet5", "TabSheet6"};
        QCOMPARE(pages->count(), 6);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(pages->tabText(i), captions[i]);
            QCOMPARE(pages->widget(i)->objectName(), names[i]);
        }
        QCOMPARE(pages->currentIndex(), 5);
    }

    void theLinkGroupShowsTheStartValues() {
        QCOMPARE(rig_->widget<QLabel>("VerPC")->text(), QStringLiteral("v.1.06.0000"));
        QCOMPARE(rig_->widget<QLineEdit>("Adr_E")->text(), QStringLiteral("1"));
        QCOMPARE(rig_->widget<QComboBox>("Spd_B")->currentText(), QStringLiteral("19200"));
        QCOMPARE(items(rig_->widget<QComboBox>("Spd_B")),
                 (QStringList{"2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
        auto* connect = rig_->widget<QPushButton>("ConnectCom");
        QCOMPARE(connect->text(), QStringLiteral("Подключить"));
        QVERIFY(!connect->isChecked());
        for (const QString& port : items(rig_->widget<QComboBox>("Com_B"))) QVERIFY(port.startsWith("COM"));
        QCOMPARE(rig_->widget<QLineEdit>("Adr_E")->maxLength(), 6);
        QCOMPARE(rig_->widget<QLineEdit>("Psw_E")->text(), QStringLiteral("0000"));
        QCOMPARE(rig_->widget<QLineEdit>("Psw_E")->maxLength(), 4);
    }

    void theParameterControlsHaveTheirDesignValues() {
        QCOMPARE(rig_->widget<QLineEdit>("Dph_E")->text(), QStringLiteral("320.0"));
        QCOMPARE(rig_->widget<QLineEdit>("Gs1_E")->text(), QStringLiteral("0.1"));
        QCOMPARE(rig_->widget<QLineEdit>("rLn_E")->text(), QStringLiteral("0.00"));
        QCOMPARE(rig_->widget<QLineEdit>("Icd_E")->maxLength(), 6);
        QCOMPARE(rig_->widget<QComboBox>("Mod_B")->count(), 23);
        QCOMPARE(rig_->widget<QComboBox>("Mod_B")->currentIndex(), -1);
        QCOMPARE(rig_->widget<QComboBox>("Ndt_B")->count(), 30);
        QCOMPARE(rig_->widget<QComboBox>("La__B")->itemText(15), QStringLiteral("16"));
        QCOMPARE(rig_->widget<QComboBox>("Rng_B")->currentText(), QStringLiteral("Входной полный"));
        QCOMPARE(rig_->widget<QComboBox>("Lt__B")->currentText(), QStringLiteral("АНА"));
        QCOMPARE(rig_->widget<QComboBox>("Lp__B")->currentIndex(), -1);
        QCOMPARE(rig_->widget<QComboBox>("Mcj_B")->currentText(), QStringLiteral("Выключен"));
        QCOMPARE(rig_->widget<QComboBox>("Ptr_B")->currentText(), QStringLiteral("MODBUS"));
        QCOMPARE(rig_->widget<QGroupBox>("Panel_Tsp")->title(),
                 QStringLiteral("Параметры входа при измерении сопротивления"));
        // The clock shows the (test's fixed) current time from the start, not its design text.
        QCOMPARE(rig_->widget<QLabel>("RealTime")->text(), QStringLiteral("2009-11-18   08:05:29"));
        QVERIFY(!rig_->widget<QWidget>("InforF")->isEnabled());
    }

    void onlyTheExitButtonShowsItsHint() {
        QCOMPARE(rig_->widget<QPushButton>("DemoExit")->toolTip(), QStringLiteral("Выход из программы"));
        QVERIFY(rig_->widget<QPushButton>("Source")->toolTip().isEmpty());
        QCOMPARE(rig_->widget<QPushButton>("Source")->property("hint").toString(),
                 QStringLiteral("Установка в памяти компьютера заводских установок"));
        QCOMPARE(rig_->widget<QPushButton>("Psw_Reset")->property("hint").toString(),
                 QStringLiteral("Аналогичен выключению и включению питания"));
    }

    void theStatusBarHasFourPanelsAndTheTimersTheirStartState() {
        const int widths[] = {70, 50, 50, 120};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(rig_->widget<QLabel>(qPrintable(QStringLiteral("StatusPanel%1").arg(i)))->width(), widths[i]);
        QCOMPARE(rig_->window.panelText(0), std::string("v.1.00.0001"));
        auto* readMg = rig_->widget<QTimer>("Timer_ReadMg");
        auto* real = rig_->widget<QTimer>("TimerReal");
        auto* blink = rig_->widget<QTimer>("Timer_Mgr");
        QVERIFY(readMg && real && blink);
        QCOMPARE(readMg->interval(), 100);
        QVERIFY(!readMg->isActive());
        QCOMPARE(real->interval(), 1000);
        QVERIFY(real->isActive());
        QCOMPARE(blink->interval(), 1000);
        QVERIFY(!blink->isActive());
        // The clock ticks on its own.
        QTRY_COMPARE_WITH_TIMEOUT(rig_->widget<QLabel>("RealTime")->text(), QStringLiteral("2009-11-18   08:05:29"),
                                  3000);
    }

    void reportsGoToPanel3AndTheLog() {
        reportStatus(rig_->window, "первая");
        reportStatus(rig_->window, "вторая");
        QCOMPARE(rig_->window.panelText(3), std::string("вторая"));
        QCOMPARE(rig_->logLines().mid(rig_->logLines().size() - 2), (QStringList{"первая", "вторая"}));
        QTest::mouseClick(rig_->widget<QPushButton>("ClearMemo"), Qt::LeftButton);
        QVERIFY(rig_->logLines().isEmpty());
        QCOMPARE(rig_->window.panelText(3), std::string("вторая"));
        reportStatus(rig_->window, "одна");
        QCOMPARE(rig_->logLines(), QStringList{"одна"});
    }

    void textFromCodeRaisesChangeButListChoicesFromCodeDoNot() {
        rig_->window.setText("Adr_E", "9");
        QCOMPARE(rig_->state.slaveAddress, uint8_t{9});
        rig_->window.setItemIndex("Spd_B", 6);
        QCOMPARE(rig_->state.speedIndex, uint8_t{3});
        rig_->choose("Spd_B", "115200");
        QCOMPARE(rig_->state.speedIndex, uint8_t{6});
        rig_->window.setChecked("Mgr_En", true);
        QVERIFY(rig_->widget<QTimer>("Timer_ReadMg")->isActive());
        rig_->window.setChecked("Mgr_En", false);
        QVERIFY(!rig_->widget<QTimer>("Timer_ReadMg")->isActive());
    }

    void enterInAParameterFieldCommitsAsLeavingItDoes() {
        rig_->state.row(row::Dph).value = 3200;
        rig_->state.row(row::Us2).value = 2560;
        auto* field = rig_->widget<QLineEdit>("Us1_E");
        rig_->widget<QTabWidget>("PageControl_Ker5400_2")->setCurrentIndex(1);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->setText("12.3");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(rig_->state.row(row::Us1).value, 123);
        QCOMPARE(field->text(), QStringLiteral("12.3"));
        field->setText("14.5");
        rig_->widget<QLineEdit>("Gs1_E")->setFocus();
        QTRY_COMPARE(rig_->state.row(row::Us1).value, 145);
        // Without an instrument the value is kept and the failed send reported.
        QCOMPARE(rig_->logLines().last(), QStringLiteral("Ошибка записи параметра US_1: прибор не ответил"));
    }

    void thePasswordFieldTakesDigitsOnly() {
        auto* field = rig_->widget<QLineEdit>("Psw_E");
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClicks(field, "4a-2");
        QCOMPARE(field->text().trimmed(), QStringLiteral("42"));
        field->selectAll();
        field->insert(QStringLiteral("-7x9"));  // pasted text keeps its digits only
        QVERIFY(!field->text().contains('-'));
        QVERIFY(!field->text().contains('x'));
    }
};

QTEST_MAIN(StartState)
#include "StartStateTest.moc"
