#include "config/operations/FileOperations.h"

#include "base/PathText.h"
#include "config/instrument/Backup.h"
#include "config/instrument/Restore.h"
#include "config/operations/ConfigReadWrite.h"
#include "config/operations/FileMessages.h"
#include "form/Status.h"

namespace k54 {
namespace {

bool connected(WindowSession& s) {
    if (s.k.hasLinkFlags(kLinkConnected | kLinkConfigurable)) return true;
    s.form.appendLog("Прибор не подключен");
    return false;
}

// The file's configuration, every problem, notice and broken relation logged; nothing when it has a
// problem or the operator does not confirm the broken relations.
std::optional<SavedConfiguration> checkedFile(WindowSession& s, const std::string& path) {
    const LoadedConfiguration loaded = loadConfigurationFile(pathFromUtf8(path));
    for (const ConfigProblem& problem : loaded.problems) s.form.appendLog(problemLine(problem));
    if (!loaded.configuration) {
        reportStatus(s.form, "Файл не принят, в прибор ничего не записано: " + path);
        return std::nullopt;
    }
    for (const ConfigNotice& notice : loaded.notices) s.form.appendLog(noticeLine(notice));
    if (!loaded.relationBreaches.empty()) {
        for (const ConfigProblem& breach : loaded.relationBreaches) s.form.appendLog(breachLine(breach));
        if (!s.form.askYesNo(breachQuestion(loaded.relationBreaches), "Подтвердите")) {
            reportStatus(s.form, "Файл не принят, в прибор ничего не записано: " + path);
            return std::nullopt;
        }
    }
    return loaded.configuration;
}

// A configuration read from the instrument that loading its file would refuse: the operator learns it now.
void warnIfNotLoadable(WindowSession& s, const SavedConfiguration& saved) {
    for (const ConfigProblem& problem : problemsOnLoading(saved)) s.form.appendLog(notLoadableLine(problem));
}

// After a restore the pages show what the instrument holds: its read-back, or a fresh read where the
// restore stopped at a refused write (a silent instrument would only time out once more).
void showInstrumentAfter(WindowSession& s, const RestoreReport& report) {
    if (report.readBack)
        showRegisterImage(s, *report.readBack);
    else if (report.outcome == RestoreOutcome::Stopped ||
             (report.outcome == RestoreOutcome::WriteFailed && report.modbusResult != kNoReply))
        readConfiguration(s);
}

}  // namespace

void saveConfigurationToFile(WindowSession& s) {
    if (!connected(s)) return;
    const std::tm now = s.system.localTime();
    const auto path =
        s.form.chooseFileToSave("Сохранить конфигурацию прибора", configurationFileName(now, s.k.slaveAddress));
    if (!path) return;
    InstrumentLink link = instrumentLink(s);
    SavedConfiguration saved;
    if (readSavedConfiguration(link, now, saved) != 0) {
        reportStatus(s.form, kReadFailed);
        return;
    }
    if (const auto error = saveConfigurationFile(pathFromUtf8(*path), saved)) {
        s.form.appendLog("Ошибка записи файла: " + *path + " (" + *error + ")");
        return;
    }
    s.form.appendLog("Конфигурация сохранена: " + *path);
    warnIfNotLoadable(s, saved);
}

void loadConfigurationFromFile(WindowSession& s) {
    if (!connected(s)) return;
    const auto path = s.form.chooseFileToOpen("Загрузить конфигурацию в прибор");
    if (!path) return;
    const auto file = checkedFile(s, *path);
    if (!file) return;

    InstrumentLink link = instrumentLink(s);
    RegisterImage current{};
    if (link.readConfiguration(current) != 0) {
        reportStatus(s.form, kReadFailed);
        return;
    }
    const std::size_t changes = restorePlan(current, file->registers, false).size();
    if (restorePlan(current, file->registers, true).size() > changes)
        s.form.appendLog("Адрес, скорость и протокол прибора остаются прежними");
    if (changes == 0) {
        s.form.appendLog("Конфигурация прибора совпадает с файлом: " + *path);
        return;
    }
    if (!s.form.askYesNo(
            "Будет изменено параметров: " + std::to_string(changes) + ". Записать конфигурацию из файла в прибор?",
            "Подтвердите"))
        return;

    reportStatus(s.form, kWritingConfiguration);
    s.form.setProgress(kProgressBar, 0);
    RestoreOptions options;
    options.backupFolder = defaultBackupFolder();
    options.now = s.system.localTime();
    options.progress = progressOn(s.form);
    options.stopRequested = stopOn(s.form);
    const RestoreReport report = restoreConfiguration(link, file->registers, options);
    s.form.setPanelText(kProgressPanel, "");
    for (const std::string& line : restoreLines(report)) s.form.appendLog(line);
    if (report.outcome == RestoreOutcome::Restored) s.form.appendLog("Конфигурация загружена: " + *path);
    reportStatus(s.form, report.outcome == RestoreOutcome::Restored ? kWriteDone : kWriteFailed);
    showInstrumentAfter(s, report);
}

bool backUpInstrument(WindowSession& s) {
    InstrumentLink link = instrumentLink(s);
    const TakenBackup taken = takeBackup(link, defaultBackupFolder(), s.system.localTime());
    if (taken.modbusResult != 0) {
        reportStatus(s.form, kReadFailed);
    } else if (!taken.backup.written()) {
        s.form.appendLog("Резервная копия не сохранена: " + taken.backup.error);
    } else {
        s.form.appendLog("Резервная копия: " + utf8Text(taken.backup.path));
        warnIfNotLoadable(s, taken.current);
        return true;
    }
    s.form.appendLog("Запись не выполнена: нет резервной копии");
    return false;
}

}  // namespace k54
