#pragma once
// A list that the mouse wheel changes only while it has the focus. Each choice of the window's lists
// goes to the instrument at once, so a wheel rolled over a list on its way down the page (over «Тип
// датчика» it would rewrite the input type) must not choose anything: the list takes the focus only by
// a click or the keyboard, and a wheel over it without the focus goes on to the page beneath.
// Its whole item, where the closed list cuts it, is its tooltip.
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWheelEvent>

namespace k54 {

class WheelSafeList : public QComboBox {
    Q_OBJECT
public:
    explicit WheelSafeList(QWidget* parent = nullptr) : QComboBox(parent) {
        setFocusPolicy(Qt::StrongFocus);
        connect(this, &QComboBox::currentTextChanged, this, &WheelSafeList::showWholeTextWhereCut);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QComboBox::resizeEvent(event);
        showWholeTextWhereCut(currentText());
    }

    void wheelEvent(QWheelEvent* event) override {
        if (hasFocus())
            QComboBox::wheelEvent(event);
        else
            event->ignore();
    }

private:
    // Some items are longer than the described list is wide (the open list is wider and shows them
    // whole): the closed list then gives its whole item as its tooltip.
    void showWholeTextWhereCut(const QString& text) {
        QStyleOptionComboBox option;
        initStyleOption(&option);
        const int room =
            style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width();
        setToolTip(fontMetrics().horizontalAdvance(text) > room ? text : QString());
    }
};

}  // namespace k54
