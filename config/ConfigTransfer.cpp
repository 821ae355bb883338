#include "config/ConfigTransfer.h"

#include <array>

#include "form/Status.h"
#include "config/InputView.h"
#include "config/RowBinding.h"

namespace k54 {
namespace {

constexpr std::string_view kProgressBar = "Bar_S";

uint8_t writeRowValue(Session& s, const ParamRow& row, int32_t value) {
    if (row.wide) {
        const auto words = encodeWide(value);
        const std::array<int16_t, 2> values{static_cast<int16_t>(words[0]), static_cast<int16_t>(words[1])};
        return s.bus.writeRegisters(s.k.txFrame, s.k.rxFrame, s.k.slaveAddress, row.reg, 2, values);
    }
    return s.bus.writeRegister(s.k.txFrame, s.k.rxFrame, s.k.slaveAddress, row.reg,
                               static_cast<int16_t>(encodeNarrow(value)));
}

}  // namespace

bool readConfiguration(Session& s) {
    if (s.bus.readRegisters(s.k.txFrame, s.k.rxFrame, s.k.slaveAddress, 0, kConfigRegisterCount) != 0) {
        reportStatus(s.form, "Ошибка чтения конфигурации");
        return false;
    }
    RegisterImage image{};
    for (int k = 0; k < kConfigRegisterCount; ++k)
        image.at(static_cast<std::size_t>(k)) = replyRegister(s.k.rxFrame, k);
    decodeRegisterImage(s.k.params, image);
    for (int i = 0; i < kParamCount; ++i) showReadValue(s, i);
    refreshInputView(s);
    return true;
}

uint8_t writeParameter(Session& s, int rowIndex) {
    const ParamRow& row = s.k.row(rowIndex);
    return writeRowValue(s, row, row.value);
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
    reportStatus(s.form, "Запись конфигурации в прибор!!!");
    s.form.setProgress(kProgressBar, 0);
    bool allWritten = true;
    for (int i = 0; i < kParamCount; ++i) {
        const ParamRow& row = s.k.row(i);
        const uint8_t result = writeRowValue(s, row, row.factoryValue);
        allWritten = allWritten && result == 0;
        if (result == kNoReply) break;  // the instrument is gone: the rest would only wait out time-outs
        s.form.setProgress(kProgressBar, (i + 1) * 100 / kParamCount);
    }
    reportStatus(s.form, allWritten ? "Запись завершена!" : "Ошибка записи конфигурации");
    return allWritten;
}

void confirmAndWriteFactory(Session& s) {
    if (!s.form.askYesNo("Запись заводской кофигурации", "Подтвердите")) return;
    if (!s.k.hasLinkFlags(kLinkConnected | kLinkConfigurable)) {
        s.form.appendLog("Прибор не подключен");
        return;
    }
    writeFactoryConfiguration(s);
    readConfiguration(s);
}

}  // namespace k54
