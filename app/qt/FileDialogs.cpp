#include "app/qt/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace k54 {
namespace {

const QString kLastFolderKey = QStringLiteral("files/lastFolder");

}  // namespace

std::optional<QString> askForFile(QWidget* parent, FileDialogKind kind, const QString& caption,
                                  const QString& suggestedName) {
    QSettings settings(QSettings::UserScope, QStringLiteral("k54"), QStringLiteral("k54"));
    const QString folder = settings.value(kLastFolderKey, QDir::homePath()).toString();
    QFileDialog dialog(parent, caption, QDir(folder).filePath(suggestedName),
                       QStringLiteral("Конфигурация прибора (*.json);;Все файлы (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (kind == FileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("json"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    settings.setValue(kLastFolderKey, QFileInfo(path).absolutePath());
    return path;
}

}  // namespace k54
