#include "config/operations/FileMessages.h"

#include "base/PathText.h"
#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"

namespace k54 {
namespace {

std::string place(const ConfigProblem& p) {
    if (p.line) return "строка " + std::to_string(*p.line) + ", позиция " + std::to_string(p.column.value_or(0));
    return p.key.empty() ? std::string("файл") : p.key;
}

std::string decimalsText(int decimals) {
    if (decimals == 0) return "не целое число";
    return std::string("знаков после точки больше ") + (decimals == 1 ? "одного" : "двух");
}

std::string reason(const ConfigProblem& p) {
    switch (p.kind) {
        case ProblemKind::CannotRead:
            return "файл не читается (" + p.detail + ")";
        case ProblemKind::NotJson:
            // The place says where; the parser's own words are English and may quote a broken byte.
            return "текст не в формате JSON";
        case ProblemKind::NotAnObject:
            return "должен быть объектом JSON";
        case ProblemKind::UnknownFormat:
            return "неизвестный формат " + p.found;
        case ProblemKind::UnknownVersion:
            return "неизвестная версия " + p.found;
        case ProblemKind::WrongModel:
            return "файл для другого прибора: " + p.found;
        case ProblemKind::UnknownKey:
            return "неизвестный ключ";
        case ProblemKind::PasswordNotSaved:
            return "пароль не сохраняется и не восстанавливается";
        case ProblemKind::DuplicateKey:
            return "ключ повторяется";
        case ProblemKind::MissingKey:
            return "отсутствует";
        case ProblemKind::NotANumber:
            return p.found + " - не число";
        case ProblemKind::TooManyDecimals:
            return p.found + ": " + decimalsText(p.decimals);
        case ProblemKind::TooLarge:
            return p.found + " - слишком большое число";
        case ProblemKind::NoSuchItem:
            return "в списке нет пункта с номером " + p.found;
        case ProblemKind::OutOfLimits:
            return p.found + " вне пределов " + p.low + " … " + p.high;
        case ProblemKind::InconsistentRange:
            return p.found + " не меньше " + p.other + " " + p.otherValue;
        case ProblemKind::BadRegisterImage:
            return "должен быть списком из 39 целых чисел 0 … 65535";
    }
    return {};
}

std::string differenceLine(const Difference& d) {
    return "Отличается от файла: " + std::string(keyOfRow(d.row)) + ": в файле " + engineeringText(d.row, d.from) +
           ", в приборе " + engineeringText(d.row, d.to);
}

}  // namespace

std::string problemLine(const ConfigProblem& problem) {
    return "Ошибка в файле конфигурации: " + place(problem) + ": " + reason(problem);
}

std::string notLoadableLine(const ConfigProblem& problem) {
    return "Файл не пройдет проверку при загрузке: " + place(problem) + ": " + reason(problem);
}

std::string noticeLine(const ConfigNotice& notice) {
    if (notice.kind == NoticeKind::ImageDisagrees)
        return "Файл конфигурации: " + notice.key + ": в образе регистров " + notice.found + ", в параметре " +
               notice.value + "; принят параметр";
    return "Файл конфигурации: " + notice.key + ": текст «" + notice.found + "» не совпадает с пунктом «" +
           notice.value + "»; принят номер";
}

std::string breachLine(const ConfigProblem& breach) {
    return "Файл конфигурации: " + place(breach) + ": " + reason(breach) + " (соотношение, которое соблюдает окно)";
}

std::string breachQuestion(const std::vector<ConfigProblem>& breaches) {
    std::string keys;
    for (const ConfigProblem& b : breaches) keys += (keys.empty() ? "" : ", ") + b.key;
    return "Значения в файле нарушают соотношения параметров, которые соблюдает окно (" + keys +
           "). Прибор может хранить такую конфигурацию. Записать эти значения как есть?";
}

std::string keyList(const std::vector<int>& rows) {
    std::string list;
    for (const int r : rows) list += (list.empty() ? "" : ", ") + std::string(keyOfRow(r));
    return list;
}

std::vector<std::string> restoreLines(const RestoreReport& report) {
    std::vector<std::string> lines;
    if (report.backup.written()) lines.push_back("Резервная копия: " + utf8Text(report.backup.path));
    if (!report.written.empty())
        lines.push_back("Записано параметров: " + std::to_string(report.written.size()) + " (" +
                        keyList(report.written) + ")");
    switch (report.outcome) {
        case RestoreOutcome::Restored:
        case RestoreOutcome::Stopped:  // what was not written is listed below
            break;
        case RestoreOutcome::ReadFailed:
        case RestoreOutcome::ReadBackFailed:
            lines.push_back("Ошибка чтения конфигурации");
            break;
        case RestoreOutcome::BackupFailed:
            lines.push_back("Резервная копия не сохранена: " + report.backup.error);
            break;
        case RestoreOutcome::WriteFailed:
            if (!report.unwritten.empty())
                lines.push_back("Ошибка записи параметра " + std::string(keyOfRow(report.unwritten.front())));
            break;
        case RestoreOutcome::ReadBackDiffers:
            for (const Difference& d : report.readBackDifferences) lines.push_back(differenceLine(d));
            break;
    }
    if (!report.unwritten.empty()) lines.push_back("Не записаны: " + keyList(report.unwritten));
    return lines;
}

}  // namespace k54
