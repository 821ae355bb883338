#include "config/ConfigTransfer.h"

#include "config/ConfigFiles.h"
#include "config/FactoryWrite.h"
#include "config/InputView.h"
#include "config/InstrumentLink.h"
#include "config/ParameterWrites.h"
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

void ParameterSends::sendAll(const std::vector<int>& rowIndices) {
    if (lineSilent_) return;
    InstrumentLink link = instrumentLink(s_);
    const ParameterWrites writes = writeParameters(link, s_.k.params, rowIndices);
    failed_ = failed_ || writes.failed();
    lineSilent_ = writes.lineSilent();
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
