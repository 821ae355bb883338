#include "tests/model/QtOperator.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "tests/app/qt/WindowRig.h"

namespace k54::model {
namespace {

// Answers every message box that opens: a question with the answer given, any other box with OK.
class BoxAnswerer {
public:
    BoxAnswerer() {
        QObject::connect(&poll_, &QTimer::timeout, [this] { answerOpenBox(); });
        poll_.start(5);
    }
    void expect(bool yes) {
        yes_ = yes;
        texts_.clear();
    }
    const std::vector<std::string>& texts() const { return texts_; }

private:
    void answerOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        texts_.push_back(box->text().toStdString());
        QAbstractButton* answer = box->button(yes_ ? QMessageBox::Yes : QMessageBox::No);
        if (!answer) answer = box->button(QMessageBox::Ok);
        if (answer)
            answer->click();
        else
            box->reject();
    }

    QTimer poll_;
    bool yes_ = false;
    std::vector<std::string> texts_;
};

class QtOperator final : public OperatorWindow {
public:
    explicit QtOperator(const WindowSetup& setup)
        : rig_(setup.sim.portsDir()), reactivates_(setup.reactivatesAfterBox) {
        if (setup.separator != '.') throw std::logic_error("the Qt window's rig runs with the point as separator");
        if (!QTest::qWaitForWindowActive(&rig_.window)) throw std::runtime_error("the window did not become active");
        rig_.choose("Com_B", QStringLiteral("COM%1").arg(setup.sim.portNumber()));
        QTest::mouseClick(widget<QPushButton>("ConnectCom"), Qt::LeftButton);
        if (!rig_.state.hasLinkFlags(kLinkConnected)) throw std::runtime_error("the Qt window did not connect");
    }

    const Form& form() const override { return rig_.window; }
    const std::vector<std::string>& boxes() const override { return answerer_.texts(); }

    // The action alone: what it tries during a wait (a.meddle) is the headless window's to try; the Qt
    // window holds such input as the waiting window's test shows (tests/app/qt/WaitingWindowTest.cpp).
    void perform(const Action& a, const Expectation&) override {
        answerer_.expect(a.yes);
        switch (a.kind) {
            case ActionKind::SwitchPage: {
                QTabBar* bar = widget<QTabWidget>("PageControl_Ker5400_2")->tabBar();
                step([&] { QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(a.page).center()); });
                break;
            }
            case ActionKind::Choose:
                choose(a.control, a.item);
                break;
            case ActionKind::Type: {
                auto* field = typeInto(a.control, a.text);
                if (a.commit == Commit::Enter)
                    step([&] { QTest::keyClick(field, Qt::Key_Return); });
                else if (a.commit == Commit::Tab)
                    step([&] { QTest::keyClick(field, Qt::Key_Tab); });
                else
                    click<QLineEdit>(a.target);
                break;
            }
            case ActionKind::PasswordEnter: {
                auto* field = typeInto("Psw_E", a.text);
                step([&] { QTest::keyClick(field, Qt::Key_Return); });
                break;
            }
            case ActionKind::PasswordButton:
                typeInto("Psw_E", a.text);
                click<QPushButton>("Psw_Write");
                break;
            case ActionKind::PasswordReset:
                click<QPushButton>("Psw_Reset");
                break;
            case ActionKind::FactoryWrite:
                click<QPushButton>("Source");
                break;
            case ActionKind::ToggleLink:
                click<QPushButton>("ConnectCom");
                break;
            case ActionKind::ToggleMeasure:
                click<QCheckBox>("Mgr_En");
                break;
        }
    }

    void check(const Action&, const Model& model, std::vector<std::string>& problems) const override {
        if (QApplication::activeModalWidget()) problems.push_back("(d) a modal box is left open");
        if (QApplication::activePopupWidget()) problems.push_back("(d) a list's popup is left open");
        if (rig_.window.isActiveWindow() != model.active)
            problems.push_back(std::string("model: the window is ") + (model.active ? "inactive" : "active"));
        const int page = widget<QTabWidget>("PageControl_Ker5400_2")->currentIndex();
        if (page != model.page) problems.push_back("model: page " + std::to_string(page) + " is shown");
        const QWidget* focused = rig_.window.focusWidget();
        const std::string name = focused ? focused->objectName().toStdString() : std::string();
        if ((hasFocusHandlers(name) || hasFocusHandlers(model.focus)) && name != model.focus)
            problems.push_back("model: the focus is on '" + name + "', the model has '" + model.focus + "'");
    }

private:
    template <class T>
    T* widget(const std::string& name) const {
        T* w = rig_.widget<T>(name.c_str());
        if (!w) throw std::logic_error("no widget " + name);
        return w;
    }

    // One input of the operator. A window manager activates the window again once a box it showed has
    // gone, before the next input.
    void step(const std::function<void()>& input) {
        const std::size_t boxes = answerer_.texts().size();
        input();
        QCoreApplication::processEvents();
        if (reactivates_ && answerer_.texts().size() > boxes) {
            rig_.window.activateWindow();
            if (!QTest::qWaitForWindowActive(&rig_.window)) throw std::runtime_error("the window was not activated");
        }
    }

    template <class T>
    void click(const std::string& name) {
        auto* target = widget<T>(name);
        step([target] { QTest::mouseClick(target, Qt::LeftButton); });
    }

    // Clicks the field, selects all its text and types over it. (Home and Shift+End select: QTest gives
    // Ctrl+A the text "a", which the password field would take for a typed letter.)
    QLineEdit* typeInto(const std::string& name, const std::string& text) {
        click<QLineEdit>(name);
        auto* field = widget<QLineEdit>(name);
        step([&] {
            QTest::keyClick(field, Qt::Key_Home);
            QTest::keyClick(field, Qt::Key_End, Qt::ShiftModifier);
            if (text.empty())
                QTest::keyClick(field, Qt::Key_Delete);
            else
                QTest::keyClicks(field, QString::fromStdString(text));
        });
        return field;
    }

    // Clicks the list (it takes the focus and opens its popup), then picks the item in the popup.
    void choose(const std::string& name, int item) {
        auto* list = widget<QComboBox>(name);
        click<QComboBox>(name);
        QAbstractItemView* view = list->view();
        if (!view->isVisible()) throw std::runtime_error("the popup of " + name + " did not open");
        view->setCurrentIndex(list->model()->index(item, 0));
        step([view] { QTest::keyClick(view, Qt::Key_Return); });
    }

    test::QtWindowRig rig_;
    BoxAnswerer answerer_;
    bool reactivates_;
};

}  // namespace

std::unique_ptr<OperatorWindow> makeQtOperator(const WindowSetup& setup) {
    return std::make_unique<QtOperator>(setup);
}

}  // namespace k54::model
