#include "extract/meta_line.h"

#include "util/byte_scan.h"
#include "util/text.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quillery {

namespace {

using Words = std::array<std::string_view, 4>;

// Where a newer line's kind phrase stands: first, after the dash ("- Your
// Note on page 3 | ..."), or last, before the "|" ("- 您在位置 #2544 的笔记 | ...").
enum class PhrasePlace { first, last };

// Where a page's number stands: after its word ("on page 5", "第 5 页"), or
// first in the line, before its word ("5ページ").
enum class PageNumber { afterWord, first };

// One interface language of the device: its kind phrases, compared exactly,
// and the words before a location and a page.
struct Language {
    std::string_view code;
    PhrasePlace place;
    Words highlights; // an article's clipping counts as a highlight
    Words notes;
    Words bookmarks;
    Words locations;
    Words pages;
    PageNumber pageNumber = PageNumber::afterWord;
};

// clang-format off
constexpr Language kLanguages[] = {
    {"en", PhrasePlace::first, {"Your Highlight", "Your highlight", "Your Clipping", "Clip This Article"}, {"Your Note", "Your note"}, {"Your Bookmark", "Your bookmark"}, {"Location", "location"}, {"page", "Page"}},
    {"de", PhrasePlace::first, {"Ihre Markierung", "Deine Markierung"}, {"Ihre Notiz", "Deine Notiz"}, {"Ihr Lesezeichen", "Dein Lesezeichen"}, {"Position"}, {"Seite"}},
    {"fr", PhrasePlace::first, {"Votre surlignement"}, {"Votre note"}, {"Votre signet"}, {"emplacement"}, {"page"}},
    {"es", PhrasePlace::first, {"La subrayado", "Tu subrayado"}, {"La nota", "Tu nota"}, {"El marcador", "Tu marcador"}, {"posición"}, {"página"}},
    {"it", PhrasePlace::first, {"La tua evidenziazione"}, {"La tua nota"}, {"Il tuo segnalibro"}, {"posizione"}, {"pagina"}},
    {"pt", PhrasePlace::first, {"Seu destaque", "Recortar este artigo"}, {"Sua nota"}, {"Seu marcador"}, {"posição"}, {"página"}},
    {"nl", PhrasePlace::first, {"Je markering", "Uw markering", "Je highlight"}, {"Je notitie", "Uw notitie"}, {"Je bladwijzer", "Uw bladwijzer"}, {"locatie"}, {"pagina"}},
    {"ru", PhrasePlace::first, {"Ваш выделенный отрывок"}, {"Ваша заметка"}, {"Ваша закладка"}, {"месте", "Место", "позиции"}, {"странице"}},
    {"zh", PhrasePlace::last, {"的标注", "的標註", "的標記", "文章剪切"}, {"的笔记", "的筆記"}, {"的书签", "的書籤"}, {"位置"}, {"第"}},
    {"ja", PhrasePlace::last, {"のハイライト"}, {"のメモ"}, {"のブックマーク"}, {"位置No."}, {"ページ"}, PageNumber::first},
};
// clang-format on

constexpr std::string_view kLocationMark = " Loc. ";
constexpr std::string_view kOlderPageMark = " Page ";
constexpr std::string_view kHyphenDash = "- ";
constexpr std::string_view kEnDash = "\xE2\x80\x93 "; // U+2013, as the Russian devices write it
constexpr std::string_view kHyphen = "-";
constexpr std::string_view kEnDashMark = "\xE2\x80\x93";
constexpr std::string_view kDutchUntil = "t/m";

// The older line's text after `mark`: what stands before the next "|" (or
// the line's end), without blanks at its ends. None when the mark is missing.
std::optional<std::string_view> OlderText(std::string_view meta, std::string_view mark)
{
    const auto at = FindBytes(meta, mark, 0);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = meta.substr(at + mark.size());
    return TrimBlanks(rest.substr(0, rest.find('|')));
}

// Cut at the first "-", so that a range such as 1234-38 gives 1234.
std::string_view BeforeDash(std::string_view text)
{
    return text.substr(0, text.find('-'));
}

std::string_view LeadingDigits(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    return text.substr(0, end);
}

bool IsAsciiLetterOrDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A page as written: its run of ASCII letters and digits ("12", "ix"), so a
// range "xvi-xvi" gives its first page.
std::string_view PageToken(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && IsAsciiLetterOrDigit(text[end])) {
        ++end;
    }
    return text.substr(0, end);
}

// The end of a range whose first number `rest` follows: the digits after
// "-", "–" or "t/m" ("170-171", "805–806", "1293 t/m 1295"); empty when none.
std::string_view RangeEnd(std::string_view rest)
{
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(' ')));
    for (const std::string_view separator : {kHyphen, kEnDashMark, kDutchUntil}) {
        if (rest.starts_with(separator)) {
            rest.remove_prefix(separator.size());
            rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(' ')));
            return LeadingDigits(rest);
        }
    }
    return {};
}

// What follows the earliest of `words` in `head`, past blanks and a "#"
// ("位置 #243"); empty when none of them is there.
std::string_view TextAfter(std::string_view head, const Words& words)
{
    std::size_t best = std::string_view::npos;
    std::size_t bestEnd = 0;
    for (const std::string_view word : words) {
        const auto at = word.empty() ? std::string_view::npos : head.find(word);
        if (at < best) {
            best = at;
            bestEnd = at + word.size();
        }
    }
    if (best == std::string_view::npos) {
        return {};
    }
    std::string_view rest = head.substr(bestEnd);
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" #")));
    return rest;
}

bool IsBoundary(std::string_view rest)
{
    return rest.empty() || rest.front() == ' ' || rest.front() == '|';
}

// A phrase that ends its part of the line: blanks only between it and the next "|" or the end.
bool EndsAPart(std::string_view body, std::string_view phrase)
{
    for (auto at = body.find(phrase); at != std::string_view::npos; at = body.find(phrase, at + 1)) {
        const std::string_view rest = body.substr(at + phrase.size());
        const auto next = rest.find_first_not_of(' ');
        if (next == std::string_view::npos || rest[next] == '|') {
            return true;
        }
    }
    return false;
}

bool HasPhrase(const Language& language, std::string_view body, const Words& phrases)
{
    for (const std::string_view phrase : phrases) {
        if (phrase.empty()) {
            continue;
        }
        if (language.place == PhrasePlace::first ? body.starts_with(phrase) && IsBoundary(body.substr(phrase.size()))
                                                 : EndsAPart(body, phrase)) {
            return true;
        }
    }
    return false;
}

char16_t KindIn(const Language& language, std::string_view body)
{
    if (HasPhrase(language, body, language.highlights)) {
        return u'h';
    }
    if (HasPhrase(language, body, language.notes)) {
        return u'n';
    }
    if (HasPhrase(language, body, language.bookmarks)) {
        return u'b';
    }
    return 0;
}

std::string_view PageIn(const Language& language, std::string_view head)
{
    if (language.pageNumber == PageNumber::afterWord) {
        return PageToken(TextAfter(head, language.pages));
    }
    const std::string_view page = PageToken(head);
    return head.substr(page.size()).find(language.pages[0]) != std::string_view::npos ? page : std::string_view{};
}

// What follows the last "|": the date, when the line has one.
std::string_view DatePart(std::string_view line)
{
    const auto bar = line.rfind('|');
    return bar == std::string_view::npos ? std::string_view{} : line.substr(bar + 1);
}

// The older line: the location is what stands between " Loc. " and the next
// "|"; a line with no location gives its page in its stead.
MetaParts OlderLine(std::string_view line, char16_t kind)
{
    const std::optional<std::string_view> marked = OlderText(line, kLocationMark);
    const std::string_view location = marked.value_or(std::string_view{});
    const std::string_view page = OlderText(line, kOlderPageMark).value_or(std::string_view{});
    const std::string_view start = LeadingDigits(location);
    return {{MetaForm::older, kind, BeforeDash(marked ? location : page)},
            PageToken(page),
            start,
            RangeEnd(location.substr(start.size())),
            DatePart(line)};
}

// The newer line after its dash: the location, else the page, from the part
// before the last "|" (the date after it holds no number that counts).
MetaParts NewerLine(std::string_view body)
{
    const std::string_view head = body.substr(0, body.rfind('|'));
    for (const Language& language : kLanguages) {
        if (const char16_t kind = KindIn(language, body); kind != 0) {
            const std::string_view afterWord = TextAfter(head, language.locations);
            const std::string_view start = LeadingDigits(afterWord);
            const std::string_view page = PageIn(language, head);
            return {{MetaForm::newer, kind, start.empty() ? LeadingDigits(page) : start},
                    page,
                    start,
                    RangeEnd(afterWord.substr(start.size())),
                    DatePart(body)};
        }
    }
    const bool hasBar = body.find('|') != std::string_view::npos;
    return {{hasBar ? MetaForm::unknown : MetaForm::none, 0, {}}, {}, {}, {}, DatePart(body)};
}

} // namespace

MetaParts SplitMetaLine(std::string_view line)
{
    if (line.starts_with("- Bookmark")) {
        return OlderLine(line, u'b');
    }
    if (line.starts_with("- Highlight")) {
        return OlderLine(line, u'h');
    }
    if (line.starts_with("- Note")) {
        return OlderLine(line, u'n');
    }
    std::string_view body = line;
    if (body.starts_with(kHyphenDash)) {
        body.remove_prefix(kHyphenDash.size());
    } else if (body.starts_with(kEnDash)) {
        body.remove_prefix(kEnDash.size());
    } else {
        return {};
    }
    // Some devices write two blanks after the dash.
    body.remove_prefix(std::min(body.size(), body.find_first_not_of(' ')));
    return NewerLine(body);
}

MetaLine ClassifyMetaLine(std::string_view line)
{
    return SplitMetaLine(line).meta;
}

} // namespace quillery
