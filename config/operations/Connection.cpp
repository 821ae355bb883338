#include "config/operations/Connection.h"

#include <charconv>

#include "base/TextFormat.h"
#include "config/operations/Measurement.h"
#include "config/operations/PortHolderText.h"
#include "config/operations/RowBinding.h"
#include "form/Status.h"
#include "serial/PortNumbers.h"

namespace k54 {
namespace {

// A failed open beeps and reports through the window.
class WindowStatusSink final : public StatusSink {
public:
    explicit WindowStatusSink(Form& form) : form_(form) {}
    void beep() override { form_.beep(); }
    void reportStatus(std::string_view text) override { k54::reportStatus(form_, text); }

private:
    Form& form_;
};

void reportWithPort(WindowSession& s, const char* format) {
    s.k.statusText = formatText(format, s.k.portNumber);
    reportStatus(s.form, s.k.statusText);
}

void closeHeldPort(WindowSession& s) {
    if (s.k.openPort != 0) s.port.close();
    s.k.openPort = 0;
}

void setLinkControlsEnabled(WindowSession& s, bool enabled) {
    for (const char* name : {"Adr_E", "Spd_B", "Com_B"}) s.form.setEnabled(name, enabled);
}

}  // namespace

void listSerialPorts(WindowSession& s) {
    const std::vector<int> ports = portNumbersFromDeviceNames(s.port.deviceNames());
    s.form.clearItems("Com_B");
    for (const int port : ports) s.form.addItem("Com_B", portName(port), s.port.describe(static_cast<uint8_t>(port)));
    // No item is chosen by listing, also where the toolkit chooses the first item it is given.
    s.form.setItemIndex("Com_B", -1);
}

// The list shows the port «Подключить» will use: the item naming it, or none where it is not listed
// (its device gone), never another port.
void showChosenPort(WindowSession& s) {
    int chosen = -1;
    const std::string wanted = portName(s.k.portNumber);
    for (int i = 0; i < s.form.itemCount("Com_B"); ++i)
        if (s.form.itemText("Com_B", i) == wanted) chosen = i;
    s.form.setItemIndex("Com_B", chosen);
}

void refreshSerialPorts(WindowSession& s) {
    if (s.k.openPort != 0) return;
    listSerialPorts(s);
    showChosenPort(s);
}

void initialiseWindow(WindowSession& s) {
    bindRows(s);
    s.form.setText("VerPC", kConfiguratorVersion);
    s.form.setText("Adr_E", std::to_string(s.k.slaveAddress));
    s.form.setItemIndex("Spd_B", s.k.speedIndex);
    showChosenPort(s);
}

void selectSpeed(WindowSession& s) {
    const int index = s.form.itemIndex("Spd_B");
    if (index >= 0 && index < static_cast<int>(kBaudRates.size())) s.k.speedIndex = static_cast<uint8_t>(index);
}

void selectPort(WindowSession& s) {
    const std::string item = s.form.text("Com_B");
    if (item.size() <= kPortPrefix.size()) return;
    int number = 0;
    const char* first = item.data() + kPortPrefix.size();
    const auto [end, error] = std::from_chars(first, item.data() + item.size(), number);
    if (error == std::errc{} && end == item.data() + item.size() && number >= 1 && number <= 255)
        s.k.portNumber = static_cast<uint8_t>(number);
}

bool toggleConnection(WindowSession& s) {
    if (s.k.openPort != 0 && s.k.openPort == s.k.portNumber) {
        showDisconnected(s);
        reportStatus(s.form, formatText("Прибор отключен Com%1d свободен.", s.k.portNumber));
        return false;
    }
    closeHeldPort(s);
    reportWithPort(s, "Поиск на Com%1d. Ждите!");
    WindowStatusSink sink(s.form);
    if (!s.port.open(s.k.portNumber, s.k.speedIndex, sink)) {
        if (const auto holder = portHolderLine(s.port.openFailure())) s.form.appendLog(*holder);
        s.form.setDown("ConnectCom", false);
        return false;
    }
    if (checkDeviceVersion(s)) {
        showConnected(s);
        s.k.openPort = s.k.portNumber;
        return true;
    }
    showDisconnected(s);
    s.port.close();
    return false;
}

bool checkDeviceVersion(WindowSession& s) {
    s.form.setPanelText(3, "Ждите!!!");
    s.form.repaintStatusBar();
    FirmwareVersion version;
    if (instrumentLink(s).readFirmware(version) != 0) {
        reportStatus(s.form, "Прибор не подключен");
        return false;
    }
    const FirmwareAcceptance acceptance = firmwareAcceptance(version);
    if (acceptance == FirmwareAcceptance::noInstrument) {
        reportWithPort(s, "Прибор на Com%1d не обнаружен");
        return false;
    }
    if (acceptance == FirmwareAcceptance::tooOld) {
        reportStatus(s.form, "Версия прибора " + firmwareText(version) + " устарела");
        reportStatus(s.form, "Прибор не подключен");
        return false;
    }
    s.form.setPanelText(0, "v." + firmwareText(version));
    s.form.repaintStatusBar();
    reportWithPort(s, "Прибор подключен Com%1d.");
    return true;
}

void showConnected(WindowSession& s) {
    s.k.setLinkFlags(kLinkConnected | kLinkConfigurable);
    s.form.setText("ConnectCom", "Отключить");
    s.form.setVisible("Config", true);
    s.form.setVisible("TitulControl", true);
    setLinkControlsEnabled(s, false);
    s.form.setText("Adr_E", std::to_string(s.k.slaveAddress));
    s.form.setVisible("MeasureL", true);
}

void showDisconnected(WindowSession& s) {
    stopMeasurementPoll(s);
    s.form.setVisible("MeasureL", false);
    s.k.clearLinkFlags(kLinkConnected | kLinkConfigurable);
    closeHeldPort(s);
    s.form.setDown("ConnectCom", false);
    s.form.setText("ConnectCom", "Подключить");
    s.form.setVisible("Config", false);
    s.form.setVisible("TitulControl", false);
    setLinkControlsEnabled(s, true);
}

}  // namespace k54
