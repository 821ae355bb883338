#pragma once
// The window's file dialogs: Qt's own (not the platform's, so that tests can answer them), opened in the
// folder used last, which the program's settings keep between runs.
#include <QString>
#include <optional>

class QWidget;

namespace k54 {

enum class FileDialogKind { Save, Open };

// The chosen file's path, or nothing when the operator cancelled. A file to save gets ".json" when
// its name has no extension; a file that is there is replaced only when the operator confirms it.
std::optional<QString> askForFile(QWidget* parent, FileDialogKind kind, const QString& caption,
                                  const QString& suggestedName = {});

}  // namespace k54
