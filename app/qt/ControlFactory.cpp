#include "app/qt/ControlFactory.h"

#include "app/qt/DropDownList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace k54 {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The four-digit password mask: digits only (no sign), blanks shown as spaces.
constexpr const char* kPasswordMask = "0000; ";

QWidget* createLabel(const ControlSpec& entry, QWidget* parent) {
    auto* label = new QLabel(qs(entry.text), parent);
    if (entry.isLabel) {
        QFont font = label->font();
        font.setBold(true);
        // Bold at the window's 11 pixels: the longest label («Компенсация температуры холодного спая»)
        // then ends before the list beside it.
        font.setPixelSize(11);
        label->setFont(font);
    }
    if (entry.name == "sMgr" || entry.name == "sUnt") {
        QFont font = label->font();
        font.setBold(true);
        font.setPixelSize(20);
        label->setFont(font);
        label->setAlignment(entry.name == "sMgr" ? Qt::AlignRight | Qt::AlignVCenter
                                                 : Qt::AlignLeft | Qt::AlignVCenter);
    }
    return label;
}

QWidget* createEdit(const ControlSpec& entry, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    if (entry.kind == ControlKind::MaskedEdit) edit->setInputMask(kPasswordMask);
    if (entry.maxLength > 0) edit->setMaxLength(entry.maxLength);
    edit->setText(qs(entry.text));
    return edit;
}

QWidget* createList(const ControlSpec& entry, QWidget* parent) {
    auto* list = entry.announcesDropDown ? new DropDownList(parent) : new WheelSafeList(parent);
    list->setEditable(false);
    for (const std::string& item : entry.items) list->addItem(qs(item));
    list->setCurrentIndex(entry.itemIndex);
    list->setMaxVisibleItems(16);
    // Long item texts (the input types) open a popup wider than the closed list.
    list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);
    return list;
}

QWidget* createButton(const ControlSpec& entry, QWidget* parent) {
    auto* button = new QPushButton(qs(entry.text), parent);
    button->setCheckable(entry.checkable);
    button->setAutoDefault(false);
    button->setProperty("hint", qs(entry.hint));  // every button keeps its hint; only some show it
    if (entry.showHint) button->setToolTip(qs(entry.hint));
    return button;
}

QWidget* createMemo(QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setReadOnly(true);
    // The operator cannot type into the log, but its lines stay as readable as enabled text.
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, palette.color(QPalette::Active, QPalette::Text));
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Active, QPalette::Base));
    memo->setPalette(palette);
    return memo;
}

QWidget* createProgressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QWidget* createWidget(const ControlSpec& entry, QWidget* parent) {
    switch (entry.kind) {
        case ControlKind::StaticText:
            return createLabel(entry, parent);
        case ControlKind::Edit:
        case ControlKind::MaskedEdit:
            return createEdit(entry, parent);
        case ControlKind::Combo:
            return createList(entry, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(qs(entry.text), parent);
        case ControlKind::Button:
        case ControlKind::LatchButton:
            return createButton(entry, parent);
        case ControlKind::Panel: {
            auto* panel = new QFrame(parent);
            panel->setAutoFillBackground(true);
            // The small panels are lamps: a sunken edge keeps them visible while they are dark.
            if (entry.geometry.width <= 16) panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            return panel;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(qs(entry.text), parent);
        case ControlKind::PageControl: {
            auto* tabs = new QTabWidget(parent);
            // All six tabs fit in one row, as the operator expects of a small fixed window.
            tabs->setUsesScrollButtons(false);
            tabs->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 2px; }"));
            tabs->tabBar()->setElideMode(Qt::ElideNone);
            return tabs;
        }
        case ControlKind::Page: {
            auto* tabs = qobject_cast<QTabWidget*>(parent);
            auto* page = new QWidget;
            if (tabs) tabs->addTab(page, qs(entry.text));
            return page;
        }
        case ControlKind::Memo:
            return createMemo(parent);
        case ControlKind::ProgressBar:
            return createProgressBar(parent);
        case ControlKind::StatusBar: {
            auto* bar = new QStatusBar(parent);
            bar->setSizeGripEnabled(false);
            return bar;
        }
        case ControlKind::Form:
        case ControlKind::Timer:
            break;
    }
    return nullptr;
}

}  // namespace

QObject* createControl(const ControlSpec& entry, QWidget* parent, QObject* owner) {
    if (entry.kind == ControlKind::Timer) {
        auto* timer = new QTimer(owner);
        timer->setObjectName(qs(entry.name));
        timer->setInterval(entry.interval);
        if (entry.enabled) timer->start();
        return timer;
    }
    QWidget* widget = createWidget(entry, parent);
    if (!widget) return nullptr;
    widget->setObjectName(qs(entry.name));
    if (entry.kind != ControlKind::Page) {
        const Geometry& g = entry.geometry;
        widget->setGeometry(g.left, g.top, g.width, g.height);
        widget->setVisible(entry.visible);
    }
    widget->setEnabled(entry.enabled);
    return widget;
}

}  // namespace k54
