#include "extract/added_date.h"

#include "util/byte_set.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <tuple>

namespace quillery {

namespace {

struct MonthName {
    std::string_view word; // lower case, as the devices write it after its first letter
    int month;
};

// Month names in every interface language; no word names two months, so one
// table serves all (an older English line may carry Chinese month names).
// clang-format off
constexpr MonthName kMonthNames[] = {
    {"january", 1}, {"february", 2}, {"march", 3}, {"april", 4}, {"may", 5}, {"june", 6},
    {"july", 7}, {"august", 8}, {"september", 9}, {"october", 10}, {"november", 11}, {"december", 12},
    {"januar", 1}, {"februar", 2}, {"märz", 3}, {"mai", 5}, {"juni", 6}, {"juli", 7},
    {"oktober", 10}, {"dezember", 12},
    {"janvier", 1}, {"février", 2}, {"mars", 3}, {"avril", 4}, {"juin", 6}, {"juillet", 7},
    {"août", 8}, {"septembre", 9}, {"octobre", 10}, {"novembre", 11}, {"décembre", 12},
    {"enero", 1}, {"febrero", 2}, {"marzo", 3}, {"abril", 4}, {"mayo", 5}, {"junio", 6},
    {"julio", 7}, {"agosto", 8}, {"septiembre", 9}, {"setiembre", 9}, {"octubre", 10}, {"noviembre", 11},
    {"diciembre", 12},
    {"gennaio", 1}, {"febbraio", 2}, {"aprile", 4}, {"maggio", 5}, {"giugno", 6}, {"luglio", 7},
    {"settembre", 9}, {"ottobre", 10}, {"dicembre", 12},
    {"janeiro", 1}, {"fevereiro", 2}, {"março", 3}, {"maio", 5}, {"junho", 6}, {"julho", 7},
    {"setembro", 9}, {"outubro", 10}, {"novembro", 11}, {"dezembro", 12},
    {"januari", 1}, {"februari", 2}, {"maart", 3}, {"mei", 5}, {"augustus", 8},
    {"января", 1}, {"февраля", 2}, {"марта", 3}, {"апреля", 4}, {"мая", 5}, {"июня", 6},
    {"июля", 7}, {"августа", 8}, {"сентября", 9}, {"октября", 10}, {"ноября", 11}, {"декабря", 12},
    {"一月", 1}, {"二月", 2}, {"三月", 3}, {"四月", 4}, {"五月", 5}, {"六月", 6},
    {"七月", 7}, {"八月", 8}, {"九月", 9}, {"十月", 10}, {"十一月", 11}, {"十二月", 12},
};
// clang-format on

constexpr std::string_view kMorningWords[] = {"AM", "上午", "午前"};
constexpr std::string_view kAfternoonWords[] = {"PM", "下午", "午後"};

// Past this a number is no part of a date; reading stops growing it there.
constexpr std::int64_t kTooLarge = 1'000'000'000;

enum class HalfDay { none, morning, afternoon };

// What the words and numbers of a date give; -1 where they gave nothing.
struct DatePieces {
    std::int64_t year = -1;
    std::int64_t month = -1;
    std::int64_t day = -1;
    std::int64_t hour = -1;
    std::int64_t minute = -1;
    std::int64_t second = 0;
    HalfDay halfDay = HalfDay::none;
    std::array<std::int64_t, 2> plain{}; // numbers that follow no mark: day and year, in that order
    std::size_t plainCount = 0;
    bool conflict = false; // a piece given twice, or more numbers than a date holds
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr ByteSet kSeparators(" ,.:;+-/()\t\r\n");

bool IsSeparator(char c)
{
    return kSeparators.Contains(c);
}

// A word of at most 16 bytes, its ASCII letters lower-cased, packed into
// numbers with its length: every word of every meta line is looked up, and
// numbers compare at a stroke.
struct PackedWord {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::size_t size = 0;

    friend constexpr bool operator==(const PackedWord&, const PackedWord&) = default;
};

// The order of the binary search: any that is fixed and total.
constexpr bool Before(const PackedWord& a, const PackedWord& b)
{
    return std::tie(a.low, a.high, a.size) < std::tie(b.low, b.high, b.size);
}

constexpr std::size_t kPackedBytes = 16;

constexpr PackedWord Packed(std::string_view word)
{
    PackedWord packed{0, 0, word.size()};
    for (std::size_t k = 0; k < word.size(); ++k) {
        const char c = word[k] >= 'A' && word[k] <= 'Z' ? static_cast<char>(word[k] - 'A' + 'a') : word[k];
        const std::uint64_t bits = std::uint64_t{static_cast<unsigned char>(c)} << (8 * (k % 8));
        (k < 8 ? packed.low : packed.high) |= bits;
    }
    return packed;
}

struct PackedMonth {
    PackedWord word;
    int month;
};

// The month names packed and in order, for a binary search.
constexpr auto kPackedMonths = [] {
    std::array<PackedMonth, std::size(kMonthNames)> packed{};
    std::transform(std::begin(kMonthNames), std::end(kMonthNames), packed.begin(), [](const MonthName& name) {
        return PackedMonth{Packed(name.word), name.month};
    });
    std::sort(packed.begin(), packed.end(),
              [](const PackedMonth& a, const PackedMonth& b) { return Before(a.word, b.word); });
    return packed;
}();

static_assert(std::all_of(std::begin(kMonthNames), std::end(kMonthNames),
                          [](const MonthName& name) { return name.word.size() <= kPackedBytes; }));

// The month a word names, its ASCII letters in any case; 0 when none.
int MonthNamed(std::string_view word)
{
    if (word.size() > kPackedBytes) {
        return 0;
    }
    const PackedWord packed = Packed(word);
    const auto* found =
        std::lower_bound(kPackedMonths.begin(), kPackedMonths.end(), packed,
                         [](const PackedMonth& month, const PackedWord& key) { return Before(month.word, key); });
    return found != kPackedMonths.end() && found->word == packed ? found->month : 0;
}

// Reads the digits at `at`, moving past them; a huge number is held at kTooLarge.
std::int64_t ReadNumber(std::string_view text, std::size_t& at)
{
    std::int64_t value = 0;
    while (at < text.size() && IsDigit(text[at])) {
        value = std::min(value * 10 + (text[at] - '0'), kTooLarge);
        ++at;
    }
    return value;
}

// Moves past `mark` when it stands at `at`.
bool Take(std::string_view text, std::size_t& at, std::string_view mark)
{
    if (text.substr(at).starts_with(mark)) {
        at += mark.size();
        return true;
    }
    return false;
}

bool TakeTimeColon(std::string_view text, std::size_t& at)
{
    if (at + 1 < text.size() && text[at] == ':' && IsDigit(text[at + 1])) {
        ++at;
        return true;
    }
    return false;
}

void Set(std::int64_t& piece, std::int64_t value, DatePieces& pieces)
{
    pieces.conflict = pieces.conflict || piece != -1;
    piece = value;
}

// A number and what is joined to it: a time "18:10[:53]" (the first one
// counts; a zone such as "GMT+00:59" after it does not), a year, month or
// day marked by 年, 月 or 日, or else a plain number.
void ReadNumberAt(std::string_view text, std::size_t& at, DatePieces& pieces)
{
    const std::int64_t value = ReadNumber(text, at);
    if (TakeTimeColon(text, at)) {
        const std::int64_t minute = ReadNumber(text, at);
        const std::int64_t second = TakeTimeColon(text, at) ? ReadNumber(text, at) : 0;
        if (pieces.hour == -1) {
            pieces.hour = value;
            pieces.minute = minute;
            pieces.second = second;
        }
    } else if (Take(text, at, "年")) {
        Set(pieces.year, value, pieces);
    } else if (Take(text, at, "月")) {
        Set(pieces.month, value, pieces);
    } else if (Take(text, at, "日")) {
        Set(pieces.day, value, pieces);
    } else if (pieces.plainCount < pieces.plain.size()) {
        pieces.plain[pieces.plainCount++] = value;
    } else {
        pieces.conflict = true;
    }
}

// A word names a month, a half of the day, or nothing a date needs (a weekday, "de", "г.").
void ReadWord(std::string_view word, DatePieces& pieces)
{
    if (const int month = MonthNamed(word); month != 0) {
        Set(pieces.month, month, pieces);
        return;
    }
    for (const std::string_view morning : kMorningWords) {
        if (word == morning) {
            pieces.halfDay = HalfDay::morning;
        }
    }
    for (const std::string_view afternoon : kAfternoonWords) {
        if (word == afternoon) {
            pieces.halfDay = HalfDay::afternoon;
        }
    }
}

DatePieces ReadPieces(std::string_view text)
{
    DatePieces pieces;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsDigit(text[at])) {
            ReadNumberAt(text, at, pieces);
        } else if (IsSeparator(text[at])) {
            ++at;
        } else {
            const std::size_t start = at;
            while (at < text.size() && !IsDigit(text[at]) && !IsSeparator(text[at])) {
                ++at;
            }
            ReadWord(text.substr(start, at - start), pieces);
        }
    }
    return pieces;
}

bool IsLeapYear(std::int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int64_t DaysIn(std::int64_t year, std::int64_t month)
{
    constexpr std::array<std::int64_t, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// The hour on a 24-hour clock: 12 AM is 0, 1 PM is 13; -1 when out of range.
std::int64_t Hour24(std::int64_t hour, HalfDay halfDay)
{
    if (halfDay == HalfDay::none) {
        return hour <= 23 ? hour : -1;
    }
    if (hour > 12) {
        return -1;
    }
    const std::int64_t hour12 = hour % 12;
    return halfDay == HalfDay::afternoon ? hour12 + 12 : hour12;
}

// A named month takes its day and year from the plain numbers, day first in
// every language ("August 22, 2024", "22. August 2024", "11 December 12");
// a month marked by 月 comes with its year and day marked too.
bool CompleteDate(DatePieces& pieces)
{
    if (pieces.conflict || pieces.month == -1 || pieces.hour == -1) {
        return false;
    }
    if (pieces.year == -1 && pieces.day == -1 && pieces.plainCount == 2) {
        pieces.day = pieces.plain[0];
        pieces.year = pieces.plain[1] < 100 ? 2000 + pieces.plain[1] : pieces.plain[1];
        return true;
    }
    return pieces.year != -1 && pieces.day != -1 && pieces.plainCount == 0;
}

// `value` (not negative) in decimal, at least `width` digits.
void AppendPadded(std::string& out, std::int64_t value, std::size_t width)
{
    std::array<char, 20> digits{};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < digits.size());
    out.append(width > count ? width - count : 0, '0');
    out.append(std::make_reverse_iterator(digits.begin() + static_cast<std::ptrdiff_t>(count)), digits.rend());
}

} // namespace

std::int64_t ReadAddedDate(std::string_view text)
{
    DatePieces pieces = ReadPieces(text);
    if (!CompleteDate(pieces)) {
        return 0;
    }
    const std::int64_t hour = Hour24(pieces.hour, pieces.halfDay);
    const bool valid = pieces.year >= 1900 && pieces.year <= 9999 && pieces.month >= 1 && pieces.month <= 12 &&
                       pieces.day >= 1 && pieces.day <= DaysIn(pieces.year, pieces.month) && hour >= 0 &&
                       pieces.minute <= 59 && pieces.second <= 59;
    if (!valid) {
        return 0;
    }
    return ((((pieces.year * 100 + pieces.month) * 100 + pieces.day) * 100 + hour) * 100 + pieces.minute) * 100 +
           pieces.second;
}

void AppendAddedIso(std::string& out, std::int64_t added)
{
    if (added <= 0) {
        return;
    }
    AppendPadded(out, added / 10'000'000'000, 4);
    const char separators[] = {'-', '-', 'T', ':', ':'};
    std::int64_t divisor = 100'000'000;
    for (const char separator : separators) {
        out += separator;
        AppendPadded(out, added / divisor % 100, 2);
        divisor /= 100;
    }
}

std::string AddedIso(std::int64_t added)
{
    std::string iso;
    AppendAddedIso(iso, added);
    return iso;
}

std::int64_t ReadNumericDate(std::string_view text)
{
    // YYYY-MM-DD hh:mm:ss: digits at fixed places, one mark between each.
    constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != kShape.size()) {
        return 0;
    }
    std::int64_t pieces[6] = {};
    std::size_t piece = 0;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == 'd') {
            if (!IsDigit(text[i])) {
                return 0;
            }
            pieces[piece] = pieces[piece] * 10 + (text[i] - '0');
        } else if (text[i] == kShape[i] || (i == 10 && text[i] == 'T')) {
            ++piece;
        } else {
            return 0;
        }
    }
    const auto [year, month, day, hour, minute, second] = pieces;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysIn(year, month) || hour > 23 || minute > 59 ||
        second > 59) {
        return 0;
    }
    return ((((year * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second;
}

} // namespace quillery
