#include "app/path_input.h"

#include "extract/find_device.h"
#include "util/file_exists.h"
#include "util/path_text.h"
#include "util/typed_path.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

#include <filesystem>

namespace quillery {

namespace {

std::u16string ParentFolder(const std::u16string& path)
{
    return FromFsPath(ToFsPath(path).parent_path());
}

} // namespace

std::u16string TypedPath(const std::u16string& text)
{
    if (FileExists(text)) {
        return text;
    }
    return MeantPath(text, QDir::homePath().toStdU16String());
}

std::u16string DroppedPath(const QMimeData& data)
{
    if (data.hasUrls()) {
        const QUrl url = data.urls().front();
        // The encoded form keeps a name's bytes that are not UTF-8 as escapes.
        return url.isLocalFile() ? MeantPath(url.toString(QUrl::FullyEncoded).toStdU16String(), {}) : u"";
    }
    if (data.hasText()) {
        const QString firstLine = data.text().section(u'\n', 0, 0, QString::SectionSkipEmpty);
        return TypedPath(firstLine.toStdU16String());
    }
    return {};
}

bool NamesInput(const std::u16string& path)
{
    if (FolderExists(path)) {
        return !ClippingsInFolder(path).empty();
    }
    return FileExists(path);
}

std::u16string DialogStartFolder(const std::u16string& path, const std::vector<std::u16string>& deviceFiles)
{
    if (FolderExists(path)) {
        return path;
    }
    if (!path.empty() && FolderExists(ParentFolder(path))) {
        return ParentFolder(path);
    }
    return deviceFiles.empty() ? std::u16string() : ParentFolder(deviceFiles.front());
}

std::vector<std::u16string> DeviceFolders(const std::vector<std::u16string>& deviceFiles)
{
    std::vector<std::u16string> folders;
    folders.reserve(deviceFiles.size());
    for (const std::u16string& file : deviceFiles) {
        folders.push_back(ParentFolder(file));
    }
    return folders;
}

} // namespace quillery
