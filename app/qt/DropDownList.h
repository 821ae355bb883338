#pragma once
// A drop-down list that tells when the operator opens it, before its items show (the port list is
// made anew then).
#include "app/qt/WheelSafeList.h"

namespace k54 {

class DropDownList final : public WheelSafeList {
    Q_OBJECT
public:
    using WheelSafeList::WheelSafeList;

    void showPopup() override {
        emit aboutToDropDown();
        QComboBox::showPopup();
    }

signals:
    void aboutToDropDown();
};

}  // namespace k54
