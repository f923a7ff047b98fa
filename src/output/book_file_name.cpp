#include "output/book_file_name.h"

#include "extract/title_line.h"
#include "util/path_text.h"
#include "util/sys_safe_chars.h"

#include <array>
#include <optional>

namespace quillery {

namespace {

enum class NameField { title, titleLine, authors };

struct FieldName {
    std::string_view word;
    NameField field;
};

constexpr std::array kFields{FieldName{"{title}", NameField::title}, FieldName{"{title_line}", NameField::titleLine},
                             FieldName{"{authors}", NameField::authors}};

std::optional<FieldName> FieldAt(std::string_view pattern, std::size_t at)
{
    for (const FieldName& field : kFields) {
        if (pattern.substr(at).starts_with(field.word)) {
            return field;
        }
    }
    return std::nullopt;
}

void AppendField(std::u16string& name, NameField field, const BookNameParts& parts, TextEncoding encoding)
{
    switch (field) {
    case NameField::title:
        AppendDecodedText(name, parts.title, encoding);
        return;
    case NameField::titleLine:
        AppendDecodedText(name, parts.titleLine, encoding);
        return;
    case NameField::authors:
        for (std::size_t i = 0; i < parts.authors.size(); ++i) {
            if (i > 0) {
                name += u", ";
            }
            AppendDecodedText(name, parts.authors[i], encoding);
        }
        return;
    }
}

std::u16string FilledPattern(std::string_view pattern, const BookNameParts& parts, TextEncoding encoding)
{
    std::u16string name;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const std::size_t brace = pattern.find('{', at);
        name += FromUtf8(pattern.substr(at, brace - at));
        if (brace == std::string_view::npos) {
            break;
        }
        if (const auto field = FieldAt(pattern, brace)) {
            AppendField(name, field->field, parts, encoding);
            at = brace + field->word.size();
        } else {
            name += u'{';
            at = brace + 1;
        }
    }
    return name;
}

} // namespace

// A name with nothing left (a blank title) would make a hidden, nameless
// file, and one that begins with a dot a hidden file: leading dots, and
// blanks after them, go before the name is made safe, since in UTF-8 a last
// dot becomes "_" (so ".." goes whole).
std::u16string BookFileName(std::string_view pattern, const BookNameParts& parts, TextEncoding encoding,
                            std::u16string_view extension)
{
    std::u16string filled = FilledPattern(pattern, parts, encoding);
    filled.erase(0, filled.find_first_not_of(u". "));
    const std::u16string name = SysSafeChars(filled, encoding);
    return (name.empty() ? u"Untitled" : name) + std::u16string(extension);
}

std::u16string ClassicBookFileName(std::string_view titleLine, std::string_view pattern, TextEncoding encoding)
{
    const TitleParts split = SplitTitleLine(titleLine);
    const BookNameParts parts{titleLine, split.title, split.authors};
    return BookFileName(pattern.empty() ? kClassicNamePattern : pattern, parts, encoding, u".txt");
}

std::string NamePatternProblem(std::string_view pattern)
{
    for (std::size_t at = pattern.find('{'); at != std::string_view::npos; at = pattern.find('{', at + 1)) {
        const std::size_t close = pattern.find('}', at);
        const bool nested = pattern.find('{', at + 1) < close;
        if (close != std::string_view::npos && !nested && !FieldAt(pattern, at)) {
            return "unknown field \"" + std::string(pattern.substr(at, close - at + 1)) +
                   "\" in the name pattern: use {title}, {authors} or {title_line}";
        }
    }
    return "";
}

} // namespace quillery
