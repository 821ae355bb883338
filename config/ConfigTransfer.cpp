#include "config/ConfigTransfer.h"

#include "config/ConfigFiles.h"
#include "config/FactoryWrite.h"
#include "config/InputView.h"
#include "config/InstrumentLink.h"
#include "config/RowBinding.h"
#include "form/Status.h"

namespace k54 {

InstrumentLink instrumentLink(Session& s) {
    return InstrumentLink(s.bus, s.k.slaveAddress);
}

Progress progressOn(Form& form) {
    return [&form](int done, int total) { form.setProgress(kProgressBar, total > 0 ? done * 100 / total : 100); };
}

bool readConfiguration(Session& s) {
    RegisterImage image{};
    if (instrumentLink(s).readConfiguration(image) != 0) {
        reportStatus(s.form, kReadFailed);
        return false;
    }
    showRegisterImage(s, image);
    return true;
}

void showRegisterImage(Session& s, const RegisterImage& image) {
    decodeRegisterImage(s.k.params, image);
    for (int i = 0; i < kParamCount; ++i) showReadValue(s, i);
    refreshInputView(s);
}

uint8_t writeParameter(Session& s, int rowIndex) {
    return instrumentLink(s).writeParameter(rowIndex, s.k.row(rowIndex).value);
}

void ParameterSends::send(int rowIndex) {
    if (lineSilent_) return;
    const uint8_t result = writeParameter(s_, rowIndex);
    failed_ = failed_ || result != 0;
    lineSilent_ = result == kNoReply;
}

void ParameterSends::sendAll(const std::vector<int>& rowIndices) {
    for (const int rowIndex : rowIndices) send(rowIndex);
}

void ParameterSends::reportFailure() const {
    if (failed_) reportStatus(s_.form, kParameterWriteFailed);
}

bool writeFactoryConfiguration(Session& s) {
    reportStatus(s.form, kWritingConfiguration);
    s.form.setProgress(kProgressBar, 0);
    InstrumentLink link = instrumentLink(s);
    const FactoryWriteReport report = writeFactoryValues(link, progressOn(s.form));
    reportStatus(s.form, report.allWritten() ? kWriteDone : kWriteFailed);
    return report.allWritten();
}

void confirmAndWriteFactory(Session& s) {
    if (!s.form.askYesNo("Запись заводской кофигурации", "Подтвердите")) return;
    if (!s.k.hasLinkFlags(kLinkConnected | kLinkConfigurable)) {
        s.form.appendLog("Прибор не подключен");
        return;
    }
    if (!backUpInstrument(s)) return;
    writeFactoryConfiguration(s);
    readConfiguration(s);
}

}  // namespace k54
