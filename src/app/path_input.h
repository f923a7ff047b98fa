#pragma once

#include <QString>

#include <string>
#include <vector>

class QMimeData;

namespace quillery {

// The path a text in the path box means (MeantPath with the user's home),
// unless the text as it stands names an existing entry: a file may have a
// blank at the end of its name.
std::u16string TypedPath(const std::u16string& text);

// The path a drop on the window carries: its first URL when it is a local
// file (escapes kept as the bytes they stand for), else its first line of
// text; "" when it carries neither.
std::u16string DroppedPath(const QMimeData& data);

// Whether "GO!" can run on the path: an existing file, or a folder that
// holds a clippings file.
bool NamesInput(const std::u16string& path);

// Where the file dialog opens: the folder the path names or lies in (when
// it exists), else the folder of the first device's clippings file; "" for
// the dialog's own choice.
std::u16string DialogStartFolder(const std::u16string& path, const std::vector<std::u16string>& deviceFiles);

// The folder of each device's clippings file, for the dialog's side bar.
std::vector<std::u16string> DeviceFolders(const std::vector<std::u16string>& deviceFiles);

} // namespace quillery
