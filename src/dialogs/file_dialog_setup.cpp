#include "dialogs/file_dialog_setup.h"

#include "util/text.h"

namespace quillery {

namespace {

// Where an initial name's folder part ends.
#ifdef _WIN32
constexpr std::u16string_view kFolderSeparators = u"\\/:";
#else
constexpr std::u16string_view kFolderSeparators = u"/";
#endif

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t Upper(char16_t letter)
{
    return static_cast<char16_t>(letter & ~0x20);
}

char16_t Lower(char16_t letter)
{
    return static_cast<char16_t>(letter | 0x20);
}

std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (std::size_t end = text.find(separator); end != std::u16string_view::npos; end = text.find(separator, start)) {
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::u16string NameFilter(std::u16string_view description, std::u16string_view patterns)
{
    std::u16string globs;
    for (const std::u16string_view pattern : Split(patterns, u';')) {
        const std::u16string_view trimmed = TrimBlanks(pattern);
        if (trimmed.empty()) {
            continue;
        }
        if (!globs.empty()) {
            globs += u' ';
        }
        globs += CaseBlindPattern(trimmed);
    }
    return std::u16string(description) + u" (" + globs + u")";
}

} // namespace

DialogKind DialogKindOfMode(std::int32_t mode)
{
    switch (mode) {
    case 0:
    case 1:
        return DialogKind::open;
    case 2:
    case 3:
        return DialogKind::save;
    default:
        return DialogKind::none;
    }
}

std::uint32_t DialogFlags(std::int32_t mode, bool showReadOnly, bool multiSelect, std::uint32_t flags)
{
    if (mode == 3) {
        flags |= kOfnOverwritePrompt;
    }
    if (mode == 1) {
        flags |= kOfnCreatePrompt;
    }
    if (!showReadOnly) {
        flags |= kOfnHideReadOnly;
    }
    if (multiSelect) {
        flags |= kOfnAllowMultiSelect;
    }
    switch (DialogKindOfMode(mode)) {
    case DialogKind::open:
        return flags | kOpenDialogFlags;
    case DialogKind::save:
        return flags | kSaveDialogFlags;
    case DialogKind::none:
        return flags;
    }
    return flags;
}

DialogBehaviour BehaviourOfFlags(DialogKind kind, std::uint32_t flags)
{
    DialogBehaviour behaviour;
    behaviour.save = kind == DialogKind::save;
    behaviour.createPrompt = (flags & kOfnCreatePrompt) != 0;
    // A save dialog names one file; asking to create a name rules out a list.
    behaviour.multiSelect = !behaviour.save && !behaviour.createPrompt && (flags & kOfnAllowMultiSelect) != 0;
    behaviour.fileMustExist = !behaviour.createPrompt && (flags & kOfnFileMustExist) != 0;
    behaviour.overwritePrompt = (flags & kOfnOverwritePrompt) != 0;
    behaviour.followLinks = (flags & kOfnNoDereferenceLinks) == 0;
    return behaviour;
}

InitialName SplitInitialName(std::u16string_view initialName)
{
    InitialName parts;
    const std::size_t separator = initialName.find_last_of(kFolderSeparators);
    const std::size_t nameStart = separator == std::u16string_view::npos ? 0 : separator + 1;
    parts.folder = initialName.substr(0, nameStart);
    parts.fileName = initialName.substr(nameStart);
    const std::size_t dot = parts.fileName.rfind(u'.');
    if (dot != std::u16string::npos) {
        parts.defaultExtension = parts.fileName.substr(dot + 1);
    }
    return parts;
}

std::u16string CaseBlindPattern(std::u16string_view pattern)
{
    // On Windows "*.*" matches every name, with or without a dot.
    if (pattern == u"*.*") {
        return u"*";
    }
    std::u16string glob;
    for (const char16_t c : pattern) {
        if (IsAsciiLetter(c)) {
            glob += {u'[', Upper(c), Lower(c), u']'};
        } else if (c == u' ') {
            // Name filters are split at blanks, so a blank in a name becomes
            // "any one character".
            glob += u'?';
        } else if (c == u'[') {
            glob += u"[[]";
        } else {
            glob += c;
        }
    }
    return glob;
}

std::vector<std::u16string> NameFilters(std::u16string_view filter)
{
    const std::vector<std::u16string_view> parts = Split(filter.empty() ? kAllFilesFilter : filter, u'|');
    std::vector<std::u16string> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        filters.push_back(NameFilter(parts[i], parts[i + 1]));
    }
    return filters;
}

std::u16string SelectionResult(const std::vector<std::u16string>& chosenPaths)
{
    if (chosenPaths.size() <= 1) {
        return chosenPaths.empty() ? std::u16string() : std::u16string(TrimBlanks(chosenPaths.front()));
    }
    const std::u16string& first = chosenPaths.front();
    const std::size_t separator = first.find_last_of(kFolderSeparators);
    std::u16string joined;
    if (separator != std::u16string::npos) {
        // The folder keeps its separator only when it is a root ("/", "C:\").
        const bool root = separator == 0 || first[separator - 1] == u':';
        joined = first.substr(0, root ? separator + 1 : separator);
    }
    for (const std::u16string& chosen : chosenPaths) {
        const std::size_t nameStart = chosen.find_last_of(kFolderSeparators);
        joined += u'|';
        joined += nameStart == std::u16string::npos ? chosen : chosen.substr(nameStart + 1);
    }
    return std::u16string(TrimBlanks(joined));
}

} // namespace quillery
