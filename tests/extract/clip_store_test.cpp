#include "extract/clip_store.h"

#include "extract/run_error.h"
#include "extract/show_progress.h"

#include "support/fake_front_end.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quillery {
namespace {

TEST(ClipStore, BooksAreNumberedFromOneAndFoundByExactTitle)
{
    ClipStore store;
    EXPECT_EQ(store.AddBook("Emma"), 1);
    EXPECT_EQ(store.AddBook("emma"), 2);
    EXPECT_EQ(store.FindBook("Emma"), 1);
    EXPECT_EQ(store.FindBook("emma"), 2);
    EXPECT_EQ(store.FindBook("Emma "), 0);
    EXPECT_EQ(store.bookTitle(2), "emma");
    EXPECT_EQ(store.bookCount(), 2);
}

// The hashed lookup must give what a scan of the titles from book 1 gives:
// the first book of that title, or 0. Titles come from a tiny alphabet so
// that equal, prefixed and near-equal titles are common; some are added twice.
TEST(ClipStore, FindBookGivesWhatAScanFromBookOneGives)
{
    std::mt19937 random(11);
    const auto title = [&] {
        std::string t(random() % 5, 'a');
        for (auto& c : t) {
            c = static_cast<char>('a' + random() % 3);
        }
        return t;
    };
    ClipStore store;
    const auto scan = [&](const std::string& t) {
        for (std::int32_t book = 1; book <= store.bookCount(); ++book) {
            if (store.bookTitle(book) == t) {
                return book;
            }
        }
        return 0;
    };
    for (int step = 0; step < 3000; ++step) {
        const std::string t = title();
        if (random() % 4 == 0) {
            store.AddBook(t);
        }
        const std::string query = title();
        ASSERT_EQ(store.FindBook(query), scan(query)) << "step " << step;
    }
}

TEST(ClipStore, EntriesFillFromSlotOne)
{
    ClipStore store;
    store.AddEntry(1, 5, 'h', "x");
    store.AddEntry(1, 6, 'n', "yz");
    EXPECT_EQ(store.entryCount(), 2);
    EXPECT_EQ(store.Text(store.entry(2)), "yz");
    EXPECT_EQ(store.Text(store.entry(1)), "x");
    EXPECT_EQ(store.entryTable().size(), 3U);
    store.MarkerSlot().book = 9;
    store.ClearEntries();
    EXPECT_EQ(store.entryCount(), 0);
    store.AddEntry(1, 7, 'b', "w");
    EXPECT_EQ(store.entry(1).location, 7);
    EXPECT_EQ(store.Text(store.entry(1)), "w");
}

TEST(ClipStore, LimitsFailWithAMessageNamingThem)
{
    ClipStore store;
    for (int i = 0; i < ClipStore::kMaxBooks; ++i) {
        store.AddBook("t" + std::to_string(i));
    }
    // The title index grew many times on the way; every title is still found.
    for (int i = 0; i < ClipStore::kMaxBooks; ++i) {
        ASSERT_EQ(store.FindBook("t" + std::to_string(i)), i + 1);
    }
    EXPECT_THROW(
        {
            try {
                store.AddBook("one more");
            } catch (const RunError& error) {
                EXPECT_STREQ(error.what(), "too many books: at most 10000 can be extracted");
                throw;
            }
        },
        RunError);

    for (int i = 0; i < ClipStore::kMaxEntries; ++i) {
        store.AddEntry(1, i, 'h', {});
    }
    try {
        store.AddEntry(0, 0, 0, {});
        ADD_FAILURE() << "no failure";
    } catch (const RunError& error) {
        EXPECT_STREQ(error.what(), "too many entries: at most 1000000 can be extracted");
    }
    try {
        store.MarkerSlot();
        ADD_FAILURE() << "no failure";
    } catch (const RunError& error) {
        EXPECT_NE(std::string(error.what()).find("at most 999999 entries"), std::string::npos) << error.what();
    }
}

TEST(ShowProgress, CaptionThenYield)
{
    ClipStore store;
    test::FakeFrontEnd frontEnd;
    store.AddBook("A");
    store.AddEntry(1, 1, 'h', "x");
    ShowProgress(frontEnd, store);
    ASSERT_EQ(frontEnd.captions.size(), 1U);
    EXPECT_EQ(frontEnd.captions[0], u"1 entries in 1 ebooks");
    EXPECT_EQ(frontEnd.yields, 1);
    EXPECT_EQ(ProgressCaption(store), u"1 entries in 1 ebooks");
}

} // namespace
} // namespace quillery
