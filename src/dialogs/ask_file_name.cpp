#include "dialogs/ask_file_name.h"

#include "dialogs/file_dialog_setup.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include <vector>

namespace quillery {

namespace {

QString ToQString(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

void ShowFailure(const QString& reason)
{
    const QString text = QStringLiteral("Unable to get filename(s).\n\n") + reason;
    if (fileDialogPrompts().showFailure) {
        fileDialogPrompts().showFailure(text);
        return;
    }
    QMessageBox::critical(nullptr, QString(), text);
}

bool ConfirmCreate(const QString& path)
{
    if (fileDialogPrompts().confirmCreate) {
        return fileDialogPrompts().confirmCreate(path);
    }
    const QString question = path + QStringLiteral("\nThis file does not exist.\nCreate the file?");
    return QMessageBox::question(nullptr, QString(), question) == QMessageBox::Yes;
}

QFileDialog::FileMode FileModeOf(const DialogBehaviour& behaviour)
{
    if (behaviour.multiSelect) {
        return QFileDialog::ExistingFiles;
    }
    return behaviour.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
}

void Configure(QFileDialog& dialog, const DialogBehaviour& behaviour, const std::u16string& filter,
               const std::u16string& initialName)
{
    dialog.setAcceptMode(behaviour.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(FileModeOf(behaviour));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, behaviour.save && !behaviour.overwritePrompt);
    dialog.setOption(QFileDialog::DontResolveSymlinks, !behaviour.followLinks);
    // The patterns are rewritten for case-sensitive file systems: the
    // description alone reads better.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);

    QStringList nameFilters;
    for (const std::u16string& nameFilter : NameFilters(filter)) {
        nameFilters.append(ToQString(nameFilter));
    }
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty()) {
        dialog.selectNameFilter(nameFilters.front());
    }

    const InitialName initial = SplitInitialName(initialName);
    dialog.setDirectory(initial.folder.empty() ? QDir::currentPath() : ToQString(initial.folder));
    if (!initial.fileName.empty()) {
        dialog.selectFile(ToQString(initial.fileName));
    }
    dialog.setDefaultSuffix(ToQString(initial.defaultExtension));
}

// The files chosen, once the user has agreed to create a name that does not
// exist where the flags ask for that; empty when the dialog was cancelled.
QStringList Choose(QFileDialog& dialog, const DialogBehaviour& behaviour)
{
    while (dialog.exec() == QDialog::Accepted) {
        QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) {
            ShowFailure(QStringLiteral("The dialog was closed with no file name."));
            return {};
        }
        if (!behaviour.createPrompt || QFileInfo::exists(chosen.front()) || ConfirmCreate(chosen.front())) {
            return chosen;
        }
    }
    return {};
}

} // namespace

FileDialogPrompts& fileDialogPrompts()
{
    static FileDialogPrompts prompts;
    return prompts;
}

std::u16string AskFileName(std::int32_t mode, const std::u16string& title, const std::u16string& filter,
                           const std::u16string& initialName, bool showReadOnly, bool multiSelect, std::uint32_t flags)
{
    const DialogKind kind = DialogKindOfMode(mode);
    if (kind == DialogKind::none) {
        ShowFailure(QStringLiteral("There is no file dialog for mode %1.").arg(mode));
        return {};
    }
    const DialogBehaviour behaviour = BehaviourOfFlags(kind, DialogFlags(mode, showReadOnly, multiSelect, flags));
    // No owner window: the dialog stands on its own, as a top-level window.
    QFileDialog dialog(nullptr, ToQString(title));
    Configure(dialog, behaviour, filter, initialName);

    std::vector<std::u16string> chosenPaths;
    for (const QString& chosen : Choose(dialog, behaviour)) {
        chosenPaths.push_back(QDir::toNativeSeparators(chosen).toStdU16String());
    }
    return SelectionResult(chosenPaths);
}

} // namespace quillery
