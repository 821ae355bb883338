#pragma once
// Moving the configuration between the instrument and the window: the whole read, one parameter's
// write, and the factory write.
#include <optional>
#include <utility>
#include <vector>

#include "config/instrument/FactoryWrite.h"
#include "config/instrument/InstrumentLink.h"
#include "config/operations/WindowSession.h"

namespace k54 {

inline constexpr std::string_view kParameterWriteFailed = "Ошибка записи параметра";
inline constexpr std::string_view kProgressBar = "Bar_S";
inline constexpr std::string_view kReadFailed = "Ошибка чтения конфигурации";
inline constexpr std::string_view kWritingConfiguration = "Запись конфигурации в прибор!!!";
inline constexpr std::string_view kWriteDone = "Запись завершена!";
inline constexpr std::string_view kWriteFailed = "Ошибка записи конфигурации";

// The status bar's panel that tells how far a long write is («Запись 12 из 31»); empty otherwise.
inline constexpr int kProgressPanel = 2;
// A long write's progress shown in Bar_S, 0 - 100, and in the progress panel.
Progress progressOn(Form& form);
// The operator's stop request (Form::stopRequested) as a long operation asks it.
StopRequest stopOn(const Form& form);

// Reads registers 0 - 38 in one request and shows every row; true when read and shown.
bool readConfiguration(WindowSession& s);
// Takes the registers into the rows and shows every row, as a read does.
void showRegisterImage(WindowSession& s, const RegisterImage& image);

// The parameter writes of one operator action (a list change, a committed value with the resets it
// asks for), by the rule of writeParameters: once a request gets no reply the rest are skipped; the
// action then reports one failure.
class ParameterSends {
public:
    explicit ParameterSends(WindowSession& s) : s_(s) {}
    void sendAll(const std::vector<int>& rowIndices);
    bool lineSilent() const { return lineSilent_; }
    // "Ошибка записи параметра" when any write failed or was skipped, followed by the first parameter
    // that failed and why: "Ошибка записи параметра US_2: прибор не ответил".
    void reportFailure() const;

private:
    WindowSession& s_;
    bool failed_ = false;
    bool lineSilent_ = false;
    std::optional<std::pair<int, uint8_t>> firstFailure_;  // row and Modbus result
};

// Sends every row's factory value; where a write failed, the log says which rows were and were not
// written.
FactoryWriteReport writeFactoryConfiguration(WindowSession& s);

// The "Исходная" button: asks, backs the instrument's configuration up, then writes the factory
// configuration and reads it back (not after a write that got no reply). Without a backup nothing is
// written.
void confirmAndWriteFactory(WindowSession& s);

}  // namespace k54
