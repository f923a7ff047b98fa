#include "clean/clean_book.h"

#include "clean/byte_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillery {

void PrintTo(Fate fate, std::ostream* os)
{
    static constexpr const char* kNames[] = {"kept", "duplicate", "merged", "attached", "placeholder"};
    *os << kNames[static_cast<int>(fate)];
}

namespace {

constexpr std::string_view kLimit = "<You have reached the clipping limit for this item>";

CleanItem H(std::string_view text, std::int32_t start, std::int32_t end, std::int64_t added = 0,
            std::string_view page = {})
{
    return {'h', text, page, start, end, added};
}

CleanItem N(std::string_view text, std::int32_t location, std::int64_t added = 0, std::string_view page = {})
{
    return {'n', text, page, location, location, added};
}

CleanItem Of(char kind, std::string_view text, std::int32_t location)
{
    return {kind, text, {}, location, location, 0};
}

constexpr Fate K = Fate::kept;
constexpr Fate D = Fate::duplicate;
constexpr Fate M = Fate::merged;
constexpr Fate A = Fate::attached;
constexpr Fate P = Fate::placeholder;

struct Case {
    const char* name;
    std::vector<CleanItem> items;
    std::vector<Fate> fates;
    std::vector<std::pair<std::int32_t, std::int32_t>> notes = {}; // highlight, its note
};

void ExpectCleaned(const Case& c)
{
    SCOPED_TRACE(c.name);
    const CleanedBook book = CleanBook(c.items);
    EXPECT_EQ(book.fate, c.fates);
    std::vector<std::int32_t> noteOf(c.items.size(), -1);
    for (const auto& [highlight, note] : c.notes) {
        noteOf[static_cast<std::size_t>(highlight)] = note;
    }
    EXPECT_EQ(book.noteOf, noteOf);
    const auto count = [&book](Fate f) { return std::count(book.fate.begin(), book.fate.end(), f); };
    EXPECT_EQ(book.duplicates, count(D));
    EXPECT_EQ(book.merged, count(M));
    EXPECT_EQ(book.attached, count(A));
    EXPECT_EQ(book.placeholders, count(P));
}

TEST(CleanBook, PlaceholdersAndIdenticalEntries)
{
    const Case cases[] = {
        {"no items", {}, {}},
        {"one item", {H("alone", 5, 6)}, {K}},
        {"placeholder", {H(kLimit, 10, 10)}, {P}},
        {"placeholder with blanks",
         {H(std::string_view(" \r\n<You have reached the clipping limit for this item>\r\n"), 10, 10)},
         {P}},
        {"placeholder inside other text",
         {H("Note: <You have reached the clipping limit for this item>", 10, 10)},
         {K}},
        {"two placeholders are not duplicates", {H(kLimit, 10, 10), H(kLimit, 10, 10)}, {P, P}},
        {"a note with the placeholder's words", {N(kLimit, 10)}, {K}},
        {"identical highlights", {H("same", 10, 12, 1), H("same", 10, 12, 2), H("same", 10, 12, 3)}, {K, D, D}},
        {"identical but for the page: an edit", {H("same", 10, 12, 0, "1"), H("same", 10, 12, 0, "2")}, {M, K}},
        {"identical bookmarks", {Of('b', "", 40), Of('b', "", 41), Of('b', "", 40)}, {K, K, D}},
        {"identical notes", {N("why?", 70), N("why?", 70)}, {K, D}},
        {"another kind: identical only", {Of('x', "cat", 9), Of('x', "the cat", 9), Of('x', "cat", 9)}, {K, K, D}},
        {"same text, other kind", {Of('b', "t", 9), Of('x', "t", 9)}, {K, K}},
        {"identical empty highlights", {H("", 10, 10), H("", 10, 10)}, {K, D}},
    };
    for (const Case& c : cases) {
        ExpectCleaned(c);
    }
}

TEST(CleanBook, EditedHighlightsGiveWayToTheLaterCopy)
{
    const Case cases[] = {
        {"extended", {H("The cat", 100, 101, 1), H("The cat sat.", 100, 102, 2)}, {M, K}},
        {"shortened", {H("The cat sat.", 100, 102, 1), H("cat sat", 100, 101, 2)}, {M, K}},
        {"the date decides, not the file", {H("The cat sat.", 100, 102, 2), H("The cat", 100, 101, 1)}, {K, M}},
        {"equal dates: later in the file", {H("The cat sat.", 100, 102, 5), H("The cat", 100, 101, 5)}, {M, K}},
        {"no dates: later in the file", {H("The cat", 100, 101), H("The cat sat.", 100, 102)}, {M, K}},
        {"undated after dated", {H("The cat sat.", 100, 102, 9), H("The cat", 100, 101)}, {M, K}},
        {"same text, longer range", {H("same", 10, 12, 1), H("same", 10, 13, 2)}, {M, K}},
        {"texts compared trimmed", {H("cat sat\r\n", 10, 11, 1), H("  The cat sat.", 10, 12, 2)}, {M, K}},
        {"sharing a location, neither holds the other",
         {H("First passage.", 100, 105, 1), H("Second passage.", 105, 110, 2)},
         {K, K}},
        {"sharing one location is overlap", {H("passage", 100, 105, 1), H("a passage here", 105, 110, 2)}, {M, K}},
        {"same text far apart", {H("Yes.", 100, 100, 1), H("Yes.", 900, 900, 2)}, {K, K}},
        {"touching but not overlapping", {H("cat", 100, 104, 1), H("the cat", 105, 110, 2)}, {K, K}},
        {"chain of three", {H("b", 10, 11, 1), H("abc", 10, 12, 2), H("abcd", 10, 13, 3)}, {M, M, K}},
        {"chain of three, newest first", {H("abcd", 10, 13, 3), H("b", 10, 11, 1), H("abc", 10, 12, 2)}, {K, M, M}},
        {"chain whose ends do not overlap", {H("b", 1, 5, 1), H("abc", 3, 10, 2), H("abcd", 8, 15, 3)}, {M, M, K}},
        {"two joined into one",
         {H("alpha", 10, 11, 1), H("beta", 12, 13, 2), H("alpha and beta", 10, 13, 3)},
         {M, M, K}},
        {"duplicate first, then the edit",
         {H("cat", 10, 10, 1), H("cat", 10, 10, 1), H("the cat", 10, 11, 2)},
         {M, D, K}},
        {"empty text never merges", {H("", 10, 10, 1), H("anything", 10, 12, 2)}, {K, K}},
        {"blank text never merges", {H("the cat", 10, 12, 1), H(" \r\n", 10, 10, 2)}, {K, K}},
        {"no location: same page", {H("cat", 0, 0, 1, "12"), H("the cat", 0, 0, 2, "12")}, {M, K}},
        {"no location: other pages", {H("cat", 0, 0, 1, "12"), H("the cat", 0, 0, 2, "13")}, {K, K}},
        {"no location, no page", {H("cat", 0, 0, 1), H("the cat", 0, 0, 2)}, {K, K}},
        {"one placed by location, one by page", {H("cat", 10, 10, 1, "12"), H("the cat", 0, 0, 2, "12")}, {K, K}},
        {"a location in one field only", {H("cat", 0, 50, 1), H("the cat", 50, 0, 2)}, {M, K}},
        {"notes do not merge", {N("cat", 10, 1), N("the cat", 10, 2)}, {K, K}},
        {"a placeholder does not count", {H("You have reached", 10, 10, 1), H(kLimit, 10, 10, 2)}, {K, P}},
    };
    for (const Case& c : cases) {
        ExpectCleaned(c);
    }
}

TEST(CleanBook, NotesJoinTheHighlightTheyWereWrittenOn)
{
    const Case cases[] = {
        {"at the end", {H("a", 10, 12), N("n", 12)}, {K, A}, {{0, 1}}},
        {"inside", {H("a", 10, 15), N("n", 12)}, {K, A}, {{0, 1}}},
        {"at the start", {H("a", 10, 15), N("n", 10)}, {K, A}, {{0, 1}}},
        {"note first in the file", {N("n", 12), H("a", 10, 12)}, {A, K}, {{1, 0}}},
        {"between two: the one ending at it",
         {H("a", 10, 12, 1), H("b", 12, 14, 2), N("n", 12, 3)},
         {K, K, A},
         {{0, 2}}},
        {"held by two: the one added last", {H("a", 10, 20, 1), H("b", 12, 18, 2), N("n", 15, 3)}, {K, K, A}, {{1, 2}}},
        {"ending at it, two: the one added last",
         {H("a", 10, 12, 2), H("b", 11, 12, 1), N("n", 12, 3)},
         {K, K, A},
         {{0, 2}}},
        {"equal dates: the later in the file",
         {H("a", 10, 12, 5), H("b", 11, 12, 5), N("n", 12, 5)},
         {K, K, A},
         {{1, 2}}},
        {"outside every highlight", {H("a", 10, 12), N("n", 13)}, {K, K}},
        {"no location", {H("a", 10, 12, 0, "5"), N("n", 0, 0, "5")}, {K, K}},
        {"second note stays", {H("a", 10, 12), N("one", 12), N("two", 12)}, {K, A, K}, {{0, 1}}},
        {"second note does not move to another highlight",
         {H("a", 10, 12, 1), H("b", 11, 14, 2), N("one", 12), N("two", 12)},
         {K, K, A, K},
         {{0, 2}}},
        {"a merged highlight hands its note to the kept one",
         {H("cat", 10, 11, 1), H("the cat", 10, 12, 2), N("n", 11, 3)},
         {M, K, A},
         {{1, 2}}},
        {"not onto a placeholder", {H(kLimit, 10, 12), N("n", 12)}, {P, K}},
        {"duplicate note", {H("a", 10, 12), N("x", 12), N("x", 12)}, {K, A, D}, {{0, 1}}},
        {"not onto a bookmark", {Of('b', "", 12), N("n", 12)}, {K, K}},
    };
    for (const Case& c : cases) {
        ExpectCleaned(c);
    }
}

// A crowd at one location: the containment checks are capped per highlight,
// and notes find their highlight through a sort, so this ends at once.
TEST(CleanBook, AHundredThousandHighlightsAtOneLocation)
{
    constexpr std::size_t kCount = 100000;
    std::vector<std::string> texts;
    texts.reserve(kCount);
    for (std::size_t i = 0; i < kCount; ++i) {
        texts.push_back("passage " + std::to_string(1000000 + i) + " of the book");
    }
    std::vector<CleanItem> items;
    for (std::size_t i = 0; i < kCount; ++i) {
        items.push_back(H(texts[i], 500, 510, 20240101000000));
        items.push_back(N(texts[i], 510, 20240101000000));
    }
    const CleanedBook book = CleanBook(items);
    EXPECT_EQ(book.merged, 0);
    EXPECT_EQ(book.duplicates, 0);
    // Every note's highlight is the last one in the file; it takes one note.
    EXPECT_EQ(book.attached, 1);
    EXPECT_EQ(book.noteOf[2 * kCount - 2], 1);
}

// Random books over substrings of one sentence, so that edits, duplicates and
// notes on edited passages come up often.
TEST(CleanBook, RandomBooksKeepNoSupersededCopy)
{
    const std::string sentence = "the quick brown fox jumps over the lazy dog";
    std::mt19937 random(20240607);
    const auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    CleanedBook seen; // totals over all rounds, so the books are known to hold every case
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> texts(static_cast<std::size_t>(pick(0, 30)));
        std::vector<CleanItem> items;
        for (std::string& text : texts) {
            const auto from = static_cast<std::size_t>(pick(0, 40));
            text =
                pick(0, 19) == 0 ? std::string(kLimit) : sentence.substr(from, static_cast<std::size_t>(pick(0, 12)));
            const char kind = "hhhhhhnnb"[pick(0, 8)];
            const std::int32_t start = pick(0, 9) == 0 ? 0 : pick(1, 20);
            const std::int32_t end = start == 0 ? 0 : start + pick(0, 3);
            items.push_back({kind, text, pick(0, 1) == 0 ? "7" : "", start, end, pick(1, 6)});
        }
        SCOPED_TRACE("round " + std::to_string(round));
        const CleanedBook book = CleanBook(items);
        const auto count = [&book](Fate f) { return std::count(book.fate.begin(), book.fate.end(), f); };
        ASSERT_EQ(book.fate.size(), items.size());
        seen.duplicates += book.duplicates;
        seen.merged += book.merged;
        seen.attached += book.attached;
        seen.placeholders += book.placeholders;
        EXPECT_EQ(count(K) + book.duplicates + book.merged + book.attached + book.placeholders,
                  static_cast<std::int64_t>(items.size()));
        EXPECT_EQ(book.merged, count(M));
        EXPECT_EQ(book.attached, count(A));

        const auto related = [&](std::size_t a, std::size_t b) {
            const CleanItem& x = items[a];
            const CleanItem& y = items[b];
            const bool placed = x.locationStart != 0 && y.locationStart != 0;
            const bool overlap =
                placed ? x.locationStart <= y.locationEnd && y.locationStart <= x.locationEnd
                       : x.locationStart == 0 && y.locationStart == 0 && !x.page.empty() && x.page == y.page;
            const std::string_view tx = StripBlankEnds(x.text);
            const std::string_view ty = StripBlankEnds(y.text);
            return overlap && !tx.empty() && !ty.empty() &&
                   (tx.find(ty) != std::string_view::npos || ty.find(tx) != std::string_view::npos);
        };
        const auto later = [&items](std::size_t a, std::size_t b) {
            return std::pair(items[a].added, a) > std::pair(items[b].added, b);
        };
        const auto isHighlight = [&](std::size_t i, Fate f) { return items[i].kind == 'h' && book.fate[i] == f; };
        std::vector<int> notesTaken(items.size(), 0);
        for (std::size_t a = 0; a < items.size(); ++a) {
            SCOPED_TRACE("item " + std::to_string(a));
            // A merged highlight gave way to a newer copy of its passage that was
            // neither a placeholder nor a repeat.
            if (book.fate[a] == M) {
                bool superseded = false;
                for (std::size_t b = 0; b < items.size(); ++b) {
                    superseded |= (isHighlight(b, K) || isHighlight(b, M)) && related(a, b) && later(b, a);
                }
                EXPECT_TRUE(superseded);
            }
            for (std::size_t b = a + 1; b < items.size(); ++b) {
                EXPECT_FALSE(isHighlight(a, K) && isHighlight(b, K) && related(a, b)) << "and item " << b;
            }
            const std::int32_t note = book.noteOf[a];
            if (note != -1) {
                const auto n = static_cast<std::size_t>(note);
                ASSERT_LT(n, items.size());
                EXPECT_TRUE(isHighlight(a, K));
                EXPECT_EQ(book.fate[n], A);
                EXPECT_TRUE(items[a].locationStart <= items[n].locationStart &&
                            items[n].locationStart <= items[a].locationEnd);
                ++notesTaken[n];
            }
        }
        for (std::size_t n = 0; n < items.size(); ++n) {
            EXPECT_EQ(notesTaken[n], book.fate[n] == A ? 1 : 0) << "note " << n;
        }
    }
    EXPECT_GT(seen.duplicates, 0);
    EXPECT_GT(seen.merged, 100);
    EXPECT_GT(seen.attached, 100);
    EXPECT_GT(seen.placeholders, 0);
}

} // namespace
} // namespace quillery
