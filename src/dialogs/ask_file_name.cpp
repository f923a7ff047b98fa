#include "dialogs/ask_file_name.h"

#include "dialogs/file_dialog_setup.h"
#include "util/file_exists.h"
#include "util/path_text.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace quillery {

namespace {

QString ToQString(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

#ifndef _WIN32
// The one entry of `folder` that Qt shows as `shown`, if there is exactly one.
std::optional<std::filesystem::path> EntryShownAs(const std::filesystem::path& folder, const QString& shown)
{
    std::optional<std::filesystem::path> match;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::filesystem::path name = entry.path().filename();
        if (QFile::decodeName(QByteArray::fromStdString(name.native())) == shown) {
            if (match) {
                return std::nullopt;
            }
            match = std::move(name);
        }
    }
    return match;
}
#endif

// Qt shows the bytes of a file name that are not UTF-8 as U+FFFD, so the
// dialog's answer for a Latin-1 name names no file. Each part of such a path
// that names nothing is taken back to the one entry of its folder that Qt
// shows so; when none or several match, the path stays as the dialog gave it.
std::u16string FileSystemPath(const QString& chosen)
{
    std::u16string shown = QDir::toNativeSeparators(chosen).toStdU16String();
#ifndef _WIN32
    if (!chosen.contains(QChar::ReplacementCharacter) || FileExists(shown)) {
        return shown;
    }
    std::filesystem::path found;
    std::error_code error;
    const std::filesystem::path given = ToFsPath(shown);
    for (const auto& part : given) {
        const QString partShown = QFile::decodeName(QByteArray::fromStdString(part.native()));
        const std::filesystem::path folder = found.empty() ? std::filesystem::path(".") : found;
        if (std::filesystem::exists(std::filesystem::symlink_status(found / part, error))) {
            found /= part;
        } else if (const auto entry = EntryShownAs(folder, partShown)) {
            found /= *entry;
        } else {
            return shown;
        }
    }
    return FromFsPath(found);
#else
    return shown;
#endif
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

void AddSidebarFolders(QFileDialog& dialog, const std::vector<std::u16string>& folders)
{
    QList<QUrl> places = dialog.sidebarUrls();
    for (const std::u16string& folder : folders) {
        places.append(QUrl::fromLocalFile(ToQString(folder)));
    }
    dialog.setSidebarUrls(places);
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
                           const std::u16string& initialName, bool showReadOnly, bool multiSelect, std::uint32_t flags,
                           const std::vector<std::u16string>& sidebarFolders)
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
    AddSidebarFolders(dialog, sidebarFolders);

    std::vector<std::u16string> chosenPaths;
    for (const QString& chosen : Choose(dialog, behaviour)) {
        chosenPaths.push_back(FileSystemPath(chosen));
    }
    return SelectionResult(chosenPaths);
}

} // namespace quillery
