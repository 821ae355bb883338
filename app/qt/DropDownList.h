#pragma once
// A drop-down list that tells when the operator opens it, before its items show (the port list is
// made anew then).
#include <QComboBox>

namespace k54 {

class DropDownList final : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override {
        emit aboutToDropDown();
        QComboBox::showPopup();
    }

signals:
    void aboutToDropDown();
};

}  // namespace k54
