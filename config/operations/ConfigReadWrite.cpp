#include "config/operations/ConfigReadWrite.h"

#include <algorithm>

#include "config/files/ParamKeys.h"
#include "config/instrument/FactoryWrite.h"
#include "config/instrument/InstrumentLink.h"
#include "config/instrument/ParameterWrites.h"
#include "config/operations/FileMessages.h"
#include "config/operations/FileOperations.h"
#include "config/operations/InputTypeView.h"
#include "config/operations/RowBinding.h"
#include "form/Status.h"

namespace k54 {

Progress progressOn(Form& form) {
    return [&form](int done, int total) {
        form.setProgress(kProgressBar, total > 0 ? done * 100 / total : 100);
        form.setPanelText(kProgressPanel, "Запись " + std::to_string(done) + " из " + std::to_string(total));
    };
}

StopRequest stopOn(const Form& form) {
    return [&form] { return form.stopRequested(); };
}

bool readConfiguration(WindowSession& s) {
    RegisterImage image{};
    if (instrumentLink(s).readConfiguration(image) != 0) {
        reportStatus(s.form, kReadFailed);
        return false;
    }
    showRegisterImage(s, image);
    return true;
}

void showRegisterImage(WindowSession& s, const RegisterImage& image) {
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
    if (!firstFailure_) firstFailure_ = writes.firstFailure();
}

void ParameterSends::reportFailure() const {
    if (!failed_) return;
    std::string line(kParameterWriteFailed);
    if (firstFailure_)
        line += " " + std::string(keyOfRow(firstFailure_->first)) + ": " + writeFailureReason(firstFailure_->second);
    reportStatus(s_.form, line);
}

namespace {

// Which rows a factory write that failed did and did not write, as a restore's lines say it.
void logFactoryRows(WindowSession& s, const FactoryWriteReport& report) {
    std::vector<int> written, unwritten;
    for (int r = 0; r < kParamCount; ++r) {
        const bool refused = std::ranges::find(report.refused, r) != report.refused.end();
        const std::optional<int> firstUnsent = report.unanswered ? report.unanswered : report.stoppedAt;
        (refused || (firstUnsent && r >= *firstUnsent) ? unwritten : written).push_back(r);
    }
    s.form.appendLog("Записано параметров: " + std::to_string(written.size()) + " (" + keyList(written) + ")");
    s.form.appendLog("Не записаны: " + keyList(unwritten));
}

}  // namespace

FactoryWriteReport writeFactoryConfiguration(WindowSession& s) {
    reportStatus(s.form, kWritingConfiguration);
    s.form.setProgress(kProgressBar, 0);
    InstrumentLink link = instrumentLink(s);
    const FactoryWriteReport report = writeFactoryValues(link, progressOn(s.form), stopOn(s.form));
    s.form.setPanelText(kProgressPanel, "");
    if (!report.allWritten()) logFactoryRows(s, report);
    reportStatus(s.form, report.allWritten() ? kWriteDone : kWriteFailed);
    return report;
}

void confirmAndWriteFactory(WindowSession& s) {
    if (!s.form.askYesNo("Запись заводской кофигурации", "Подтвердите")) return;
    if (!s.k.hasLinkFlags(kLinkConnected | kLinkConfigurable)) {
        s.form.appendLog("Прибор не подключен");
        return;
    }
    if (!backUpInstrument(s)) return;
    // After a write that got no reply the read-back would only wait out its time-out on a silent line; after
    // a stopped one it shows what the instrument now holds.
    if (!writeFactoryConfiguration(s).unanswered) readConfiguration(s);
}

}  // namespace k54
