#include "extract/meta_line.h"

#include <algorithm>
#include <array>

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

std::string_view TrimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The older line's number after `mark`: what stands before the next "|" (or
// the line's end), without blanks at its ends, cut at its first "-" so that a
// range such as 1234-38 gives 1234. Empty when the mark is missing.
std::string_view OlderNumber(std::string_view meta, std::string_view mark)
{
    const auto at = meta.find(mark);
    if (at == std::string_view::npos) {
        return {};
    }
    std::string_view rest = meta.substr(at + mark.size());
    rest = TrimSpaces(rest.substr(0, rest.find('|')));
    return rest.substr(0, rest.find('-'));
}

std::string_view LeadingDigits(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    return text.substr(0, end);
}

// The digits that follow the earliest of `words` in `head`, past blanks and a
// "#" ("位置 #243"): a range ("170-171", "805–806", "1293 t/m 1295") gives its first number.
std::string_view NumberAfter(std::string_view head, const Words& words)
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
    return LeadingDigits(rest);
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

std::string_view PageNumberIn(const Language& language, std::string_view head)
{
    if (language.pageNumber == PageNumber::afterWord) {
        return NumberAfter(head, language.pages);
    }
    const std::string_view digits = LeadingDigits(head);
    return head.substr(digits.size()).find(language.pages[0]) != std::string_view::npos ? digits : std::string_view{};
}

// The newer line after its dash: the location, else the page, from the part
// before the last "|" (the date after it holds no number that counts).
MetaLine NewerLine(std::string_view body)
{
    const std::string_view head = body.substr(0, body.rfind('|'));
    for (const Language& language : kLanguages) {
        if (const char16_t kind = KindIn(language, body); kind != 0) {
            std::string_view number = NumberAfter(head, language.locations);
            if (number.empty()) {
                number = PageNumberIn(language, head);
            }
            return {MetaForm::newer, kind, number};
        }
    }
    return {body.find('|') != std::string_view::npos ? MetaForm::unknown : MetaForm::none, 0, {}};
}

} // namespace

MetaLine ClassifyMetaLine(std::string_view line)
{
    char16_t olderKind = 0;
    if (line.starts_with("- Bookmark")) {
        olderKind = u'b';
    } else if (line.starts_with("- Highlight")) {
        olderKind = u'h';
    } else if (line.starts_with("- Note")) {
        olderKind = u'n';
    }
    if (olderKind != 0) {
        std::string_view location = OlderNumber(line, kLocationMark);
        if (line.find(kLocationMark) == std::string_view::npos) {
            location = OlderNumber(line, kOlderPageMark);
        }
        return {MetaForm::older, olderKind, location};
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

} // namespace quillery
