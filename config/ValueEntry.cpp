#include "config/ValueEntry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "config/ConfigTransfer.h"
#include "config/InputView.h"
#include "config/NumberText.h"

namespace k54 {
namespace {

constexpr int64_t kNoLimitLow = std::numeric_limits<int32_t>::min();
constexpr int64_t kNoLimitHigh = std::numeric_limits<int32_t>::max();

int64_t valueOf(const k54L& k, int rowIndex) {
    return k.row(rowIndex).value;
}

// The range the setpoints refer to: the scaled range in modes 2 and 3, else the display range.
RawLimits referenceRange(const k54L& k) {
    if (refersToScaledRange(k.row(row::Rng).value)) return {valueOf(k, row::Iol), valueOf(k, row::Ioh)};
    return {valueOf(k, row::Dpl), valueOf(k, row::Dph)};
}

// Scales the entered number to register units, cut toward zero and limited to 32 bits.
int64_t toRaw(float entry, int32_t scale) {
    const long double scaled = std::trunc(static_cast<long double>(scale) * static_cast<long double>(entry));
    return static_cast<int64_t>(std::clamp<long double>(scaled, kNoLimitLow, kNoLimitHigh));
}

float nudged(float value, float by) {
    return value >= 0 ? value + by : value - by;
}

void replaceSeparators(std::string& text, char decimalSeparator) {
    const char other = decimalSeparator == ',' ? '.' : ',';
    std::replace(text.begin(), text.end(), other, decimalSeparator);
}

// Stores the entered raw value as the range mode allows, with the resets it asks for.
void storeEntry(Session& s, int rowIndex, int32_t raw, ParameterSends& sends) {
    const int32_t mode = s.k.row(row::Rng).value;
    if (rowIndex == row::Dpl || rowIndex == row::Dph) {
        if (mode == kInputSet || mode == kScaledSet) s.k.row(rowIndex).value = raw;
        if (mode == kInputFull || mode == kScaledFull) resetDisplayRange(s, kInputFull, sends);
        if (mode == kInputFull || mode == kInputSet) resetSetpoints(s, kInputSet);
    } else if (rowIndex == row::Iol || rowIndex == row::Ioh) {
        if (mode == kScaledFull || mode == kScaledSet) {
            s.k.row(rowIndex).value = raw;
            resetSetpoints(s, kScaledSet);
        }
    } else {
        s.k.row(rowIndex).value = raw;
    }
}

}  // namespace

RawLimits valueLimits(const k54L& k, int rowIndex) {
    const ParamRow& r = k.row(rowIndex);
    const auto typeRange = inputRangeTenths(k.row(row::Mod).value);
    const RawLimits reference = referenceRange(k);
    switch (rowIndex) {
        case row::Dpl:
            return {typeRange ? typeRange->low : kNoLimitLow, valueOf(k, row::Dph) - 1};
        case row::Dph:
            return {valueOf(k, row::Dpl) + 1, typeRange ? typeRange->high : kNoLimitHigh};
        case row::Iol:
            return {-9999, valueOf(k, row::Ioh) - 1};
        case row::Ioh:
            return {valueOf(k, row::Iol) + 1, 99999};
        case row::Icd:
            return {0, 2000};
        case row::Us1:
            return {reference.low, valueOf(k, row::Us2) - 1};
        case row::Us2:
            return {valueOf(k, row::Us1) + 1, reference.high};
        case row::Gs1:
        case row::Gs2:
            return {0, reference.high - reference.low};
        default:
            break;
    }
    const int64_t factor = r.paramCode == kLineResistanceCode ? 100 : 1;
    return {int64_t{r.lowLimit} * factor, int64_t{r.highLimit} * factor};
}

void beginValueEntry(Session& s, std::string_view sender) {
    if (const auto rowIndex = findRowByControl(s.k, sender)) {
        const ParamRow& row = s.k.row(*rowIndex);
        s.k.displayValue = static_cast<float>(static_cast<long double>(row.value) / row.scale);
        s.k.displayValue = nudged(s.k.displayValue, 0.001f);
        s.form.setText(sender, formatWithTemplate(s.k.displayValue, row.format, s.system.decimalSeparator));
        s.form.selectAllText(sender);
        s.k.editRow = static_cast<int16_t>(*rowIndex);
    }
    refreshInputView(s);
}

void commitValueEntry(Session& s, std::string_view sender) {
    const int rowIndex = s.k.editRow;
    const ParamRow& row = s.k.row(rowIndex);
    if (row.kind != ParamKind::Edit) return;  // no edit has gained focus yet
    const char separator = s.system.decimalSeparator;
    std::string text = s.form.text(sender);
    replaceSeparators(text, separator);
    s.form.setText(sender, text);
    const auto number = parseDecimal(text, separator);
    if (!number) {
        s.form.showInformation(kBadNumber);
        return;
    }
    s.k.entryValue = nudged(static_cast<float>(*number), 0.0001f);

    const RawLimits limits = valueLimits(s.k, rowIndex);
    int64_t raw = toRaw(s.k.entryValue, row.scale);
    if (raw < limits.low)
        raw = limits.low;
    else if (raw > limits.high)
        raw = limits.high;
    raw = std::clamp<int64_t>(raw, kNoLimitLow, kNoLimitHigh);
    const bool coarse = row.wide && (raw >= 10000 || raw < -1000);
    if (coarse) raw = raw / 10 * 10;

    ParameterSends sends(s);
    storeEntry(s, rowIndex, static_cast<int32_t>(raw), sends);
    s.form.setText(sender, formatWithTemplate(s.k.entryValue, row.format, separator));
    sends.send(rowIndex);
    sends.reportFailure();
    s.form.setText(sender, formatWithTemplate(static_cast<long double>(row.value) / row.scale,
                                              coarse ? "0" : row.format, separator));
}

void applyAddressText(Session& s) {
    const auto number = parseDecimal(s.form.text("Adr_E"), s.system.decimalSeparator);
    if (!number) {
        s.form.showMessage(kBadNumber);
        return;
    }
    const auto address = static_cast<float>(*number);
    if (address >= 0.0f && address < 254.5f) s.k.slaveAddress = static_cast<uint8_t>(address);
    s.form.setText("Adr_E", std::to_string(s.k.slaveAddress));
}

}  // namespace k54
