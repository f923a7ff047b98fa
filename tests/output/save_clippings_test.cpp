#include "output/save_clippings.h"

#include "extract/clip_store.h"
#include "extract/run_error.h"
#include "output/book_text.h"
#include "util/code_page.h"
#include "util/path_text.h"

#include "support/book_text_of.h"
#include "support/fake_front_end.h"
#include "support/store_entries.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>

namespace quillery {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// Windows joins with "\\", and a file in a path's middle is a missing folder there.
const std::string kSeparator = "\\";
constexpr const char* kNotAFolder = "No such file or directory";
#else
const std::string kSeparator = "/";
constexpr const char* kNotAFolder = "Not a directory";
#endif
const std::u16string kSeparator16(kSeparator.begin(), kSeparator.end());
using test::AddEntry;
using test::FakeFrontEnd;
using test::ReadBytes;
using test::TempDir;

std::set<std::string> Listing(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        const std::u8string name = item.path().filename().u8string();
        names.insert(std::string(name.begin(), name.end()));
    }
    return names;
}

std::string Utf8(const std::u16string& text)
{
    return {text.begin(), text.end()};
}

ClipStore EmmaStore()
{
    ClipStore store;
    store.AddBook("Emma");
    AddEntry(store, {1, 120, u"h", u"First"});
    AddEntry(store, {1, 200, u"n", u"Mine"});
    return store;
}

const std::string kEmmaText = "\x85"
                              "First\r\n\x85NOTE: Mine\r\n";
const std::string kEmmaPage = "<HTML><BODY>\r\n<P><B>Emma</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>" + kEmmaText +
                              "</TEXTAREA>\r\n\r\n</BODY></HTML>\r\n";

TEST(SaveClippings, WritesThePageAndOneFilePerBook)
{
    for (const std::u16string separator : {u"", u"/"}) {
        SCOPED_TRACE(Utf8(separator));
        TempDir dir;
        FakeFrontEnd frontEnd;
        const std::u16string folder = SaveClippings(EmmaStore(), frontEnd.request(dir.u16() + separator), frontEnd);
        EXPECT_EQ(folder, dir.u16() + kSeparator16 + u"My Clippings");
        const fs::path out = dir.path() / "My Clippings";
        EXPECT_EQ(Listing(out), (std::set<std::string>{"Emma.txt", "all.htm"}));
        EXPECT_EQ(ReadBytes(out / "all.htm"), kEmmaPage);
        EXPECT_EQ(ReadBytes(out / "Emma.txt"), kEmmaText);
        EXPECT_EQ(frontEnd.captions, std::vector<std::u16string>{u"Saving.."});
        EXPECT_EQ(frontEnd.yields, 1);
    }
}

TEST(SaveClippings, Utf8DeclaresItsCharsetAndKeepsTheTitlesLetters)
{
    ClipStore store;
    store.AddBook(ToUtf8(u"\u4E09\u4F53: Caf\u00E9"));
    store.AddEntry(1, 1, 'h', ToUtf8(u"\u201CQuoted\u201D <b>"));
    // A blank title keeps its blanks in the page; its file has a name all the same.
    store.AddBook("  ");
    store.AddEntry(2, 2, 'b', "");
    TempDir dir;
    FakeFrontEnd frontEnd;
    frontEnd.encoding = TextEncoding::utf8;
    SaveClippings(store, frontEnd.request(dir.u16()), frontEnd);
    const fs::path out = dir.path() / "My Clippings";
    const std::string name = "\xE4\xB8\x89\xE4\xBD\x93_ Caf\xC3\xA9.txt";
    EXPECT_EQ(Listing(out), (std::set<std::string>{name, "Untitled.txt", "all.htm"}));
    const std::string text = "\xE2\x80\xA6\xE2\x80\x9CQuoted\xE2\x80\x9D <b>\r\n";
    EXPECT_EQ(ReadBytes(out / std::u8string(name.begin(), name.end())), text);
    EXPECT_EQ(ReadBytes(out / "Untitled.txt"), "BOOKMARK @ 2\r\n");
    EXPECT_EQ(ReadBytes(out / "all.htm"),
              "<!DOCTYPE html>\r\n<HTML><HEAD><meta charset=\"utf-8\"></HEAD><BODY>\r\n"
              "<P><B>\xE4\xB8\x89\xE4\xBD\x93: Caf\xC3\xA9</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>"
              "\xE2\x80\xA6\xE2\x80\x9CQuoted\xE2\x80\x9D &lt;b&gt;\r\n</TEXTAREA>\r\n\r\n"
              "<P><B>  </B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>BOOKMARK @ 2\r\n</TEXTAREA>\r\n\r\n</BODY></HTML>\r\n");
}

TEST(SaveClippings, NoBooksGiveTheBarePage)
{
    TempDir dir;
    FakeFrontEnd frontEnd;
    SaveClippings(ClipStore(), frontEnd.request(dir.u16()), frontEnd);
    const fs::path out = dir.path() / "My Clippings";
    EXPECT_EQ(Listing(out), std::set<std::string>{"all.htm"});
    EXPECT_EQ(ReadBytes(out / "all.htm"), "<HTML><BODY>\r\n</BODY></HTML>\r\n");
}

TEST(SaveClippings, NamesFilesSafelyAndKeepsTheTitlesInThePage)
{
    ClipStore store;
    store.AddBook("Emma");                          // every entry filtered out
    store.AddBook("A/B");                           // A_B.txt
    store.AddBook("A:B");                           // A_B (2).txt
    store.AddBook("   ");                           // .txt
    store.AddBook(EncodeWindows1252(u"Caf\u00E9")); // Caf_.txt; the page keeps the byte 0xE9
    store.AddBook(".NET in Action");                // NET in Action.txt, not a hidden file
    store.AddBook(". . .");                         // Untitled (2).txt
    AddEntry(store, {2, 1, u"h", u"one"});
    AddEntry(store, {0, 1, u"h", u"no book"});
    AddEntry(store, {3, 2, u"b", u""});
    AddEntry(store, {8, 1, u"h", u"past the last book"});
    AddEntry(store, {5, 3, u"n", u"\u00C3\u00A9t\u00C3\u00A9"});
    TempDir dir;
    FakeFrontEnd frontEnd;
    SaveClippings(store, frontEnd.request(dir.u16()), frontEnd);

    const fs::path out = dir.path() / "My Clippings";
    const struct {
        std::string file;
        std::string bytes;
    } files[] = {
        {"Emma.txt", ""},
        {"A_B.txt", "\x85one\r\n"},
        {"A_B (2).txt", "BOOKMARK @ 2\r\n"},
        {"Untitled.txt", ""},
        {"Caf_.txt", "\x85NOTE: \xE9t\xE9\r\n"},
        {"NET in Action.txt", ""},
        {"Untitled (2).txt", ""},
    };
    std::set<std::string> expectedNames = {"all.htm"};
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        EXPECT_EQ(ReadBytes(out / f.file), f.bytes);
        expectedNames.insert(f.file);
    }
    EXPECT_EQ(Listing(out), expectedNames);
    const std::string rows = "<P><B>Emma</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10></TEXTAREA>\r\n\r\n"
                             "<P><B>A/B</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>\x85one\r\n</TEXTAREA>\r\n\r\n"
                             "<P><B>A:B</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>BOOKMARK @ 2\r\n</TEXTAREA>\r\n\r\n"
                             "<P><B>   </B><BR>\r\n<TEXTAREA COLS=80 ROWS=10></TEXTAREA>\r\n\r\n"
                             "<P><B>Caf\xE9</B><BR>\r\n"
                             "<TEXTAREA COLS=80 ROWS=10>\x85NOTE: \xE9t\xE9\r\n</TEXTAREA>\r\n\r\n"
                             "<P><B>.NET in Action</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10></TEXTAREA>\r\n\r\n"
                             "<P><B>. . .</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10></TEXTAREA>\r\n\r\n";
    EXPECT_EQ(ReadBytes(out / "all.htm"), "<HTML><BODY>\r\n" + rows + "</BODY></HTML>\r\n");
}

TEST(SaveClippings, EscapesMarkupInThePageOnly)
{
    ClipStore store;
    store.AddBook("Tom & Jerry <2>");
    AddEntry(store, {1, 1, u"h", u"a<b && c>d </TEXTAREA>"});
    TempDir dir;
    FakeFrontEnd frontEnd;
    SaveClippings(store, frontEnd.request(dir.u16()), frontEnd);
    const fs::path out = dir.path() / "My Clippings";
    EXPECT_EQ(ReadBytes(out / "all.htm"), "<HTML><BODY>\r\n<P><B>Tom &amp; Jerry &lt;2&gt;</B><BR>\r\n"
                                          "<TEXTAREA COLS=80 ROWS=10>\x85"
                                          "a&lt;b &amp;&amp; c&gt;d &lt;/TEXTAREA&gt;\r\n"
                                          "</TEXTAREA>\r\n\r\n</BODY></HTML>\r\n");
    EXPECT_EQ(ReadBytes(out / "Tom & Jerry _2_.txt"), "\x85"
                                                      "a<b && c>d </TEXTAREA>\r\n");
}

TEST(SaveClippings, LeavesEarlierOutputAloneAndTakesTheNextNumber)
{
    TempDir dir;
    fs::create_directory(dir.path() / "My Clippings");
    dir.Write("My Clippings/all.htm", "earlier run");
    dir.Write("My Clippings (2)", "a file of that name");
    FakeFrontEnd frontEnd;
    const std::u16string folder = SaveClippings(EmmaStore(), frontEnd.request(dir.u16()), frontEnd);
    EXPECT_EQ(folder, dir.u16() + kSeparator16 + u"My Clippings (3)");
    EXPECT_EQ(ReadBytes(dir.path() / "My Clippings" / "all.htm"), "earlier run");
    EXPECT_EQ(Listing(dir.path() / "My Clippings"), std::set<std::string>{"all.htm"});
    EXPECT_EQ(ReadBytes(dir.path() / "My Clippings (2)"), "a file of that name");
    EXPECT_EQ(ReadBytes(dir.path() / "My Clippings (3)" / "all.htm"), kEmmaPage);
}

TEST(SaveClippings, NamesTakenWhileSavingGetTheNextNumber)
{
    TempDir dir;
    FakeFrontEnd frontEnd;
    // Another program writes into the new folder while the caption is drawn.
    frontEnd.onYield = [&dir](FakeFrontEnd&) {
        dir.Write("My Clippings/all.htm", "not ours");
        dir.Write("My Clippings/Emma.txt", "not ours either");
    };
    SaveClippings(EmmaStore(), frontEnd.request(dir.u16()), frontEnd);
    const fs::path out = dir.path() / "My Clippings";
    EXPECT_EQ(Listing(out), (std::set<std::string>{"Emma.txt", "Emma (2).txt", "all.htm", "all (2).htm"}));
    EXPECT_EQ(ReadBytes(out / "all.htm"), "not ours");
    EXPECT_EQ(ReadBytes(out / "Emma.txt"), "not ours either");
    EXPECT_EQ(ReadBytes(out / "all (2).htm"), kEmmaPage);
    EXPECT_EQ(ReadBytes(out / "Emma (2).txt"), kEmmaText);
}

TEST(SaveClippings, ARunGivenUpAtTheYieldLeavesNoFolder)
{
    TempDir dir;
    FakeFrontEnd frontEnd;
    frontEnd.onYield = [](FakeFrontEnd&) { throw RunAbandoned(); };
    EXPECT_THROW(SaveClippings(EmmaStore(), frontEnd.request(dir.u16()), frontEnd), RunAbandoned);
    EXPECT_TRUE(Listing(dir.path()).empty());
}

std::string FailureOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const RunError& error) {
        return error.what();
    }
    return "no failure";
}

TEST(SaveClippings, AFolderThatCannotBeMadeIsNamed)
{
    TempDir dir;
    const std::string base = dir.Write("not a folder", "x").string();
    FakeFrontEnd frontEnd;
    EXPECT_EQ(FailureOf([&] {
                  SaveClippings(EmmaStore(), frontEnd.request({base.begin(), base.end()}), frontEnd);
              }),
              "cannot create the folder \"" + base + kSeparator + "My Clippings\": " + kNotAFolder);
    EXPECT_TRUE(frontEnd.captions.empty());
}

TEST(SaveClippings, AFileThatCannotBeMadeNamesItAndTheFolder)
{
    TempDir dir;
    FakeFrontEnd frontEnd;
    // The folder is removed and a file put at its path: the removed folder
    // takes no new files, and the file is not written into.
#ifdef _WIN32
    GTEST_SKIP() << "the run holds its folder open, so the folder cannot be removed to make a file fail: see "
                    "TheHeldFolderCanBeNeitherMovedNorRemoved";
#endif
    frontEnd.onYield = [&dir](FakeFrontEnd&) {
        fs::remove(dir.path() / "My Clippings");
        dir.Write("My Clippings", "");
    };
    const std::string folder = (dir.path() / "My Clippings").string();
    EXPECT_EQ(FailureOf([&] { SaveClippings(EmmaStore(), frontEnd.request(dir.u16()), frontEnd); }),
              "cannot create \"" + folder + kSeparator +
                  "all.htm\": No such file or directory (the partial output stays in \"" + folder + "\")");
    EXPECT_EQ(ReadBytes(dir.path() / "My Clippings"), "");
}

#ifdef _WIN32
TEST(SaveClippings, TheHeldFolderCanBeNeitherMovedNorRemoved_andGetsTheBooks)
{
    const struct {
        std::string name;
        std::function<BOOL(const std::wstring& folder)> change;
    } cases[] = {
        {"renamed", [](const std::wstring& folder) { return MoveFileW(folder.c_str(), (folder + L" moved").c_str()); }},
        {"removed", [](const std::wstring& folder) { return RemoveDirectoryW(folder.c_str()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path folder = dir.path() / "My Clippings";
        FakeFrontEnd frontEnd;
        int yields = 0;
        BOOL changed = FALSE;
        frontEnd.onYield = [&](FakeFrontEnd&) {
            if (yields++ == 0) {
                changed = c.change(folder.wstring());
            }
        };
        SaveClippings(EmmaStore(), frontEnd.request(dir.u16()), frontEnd);
        EXPECT_GT(yields, 0);
        EXPECT_FALSE(changed);
        EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"My Clippings"});
        EXPECT_EQ(ReadBytes(folder / "all.htm"), kEmmaPage);
        EXPECT_EQ(ReadBytes(folder / "Emma.txt"), kEmmaText);
    }
}

// Windows may let the held folder's parent be renamed: the books still go
// into the held folder, not into one made at its old path meanwhile.
TEST(SaveClippings, TheHeldFolderGetsTheBooks_evenWhenItsParentIsRenamed)
{
    TempDir dir;
    const fs::path base = dir.path() / "base";
    const fs::path renamed = dir.path() / "base moved";
    fs::create_directory(base);
    FakeFrontEnd frontEnd;
    int yields = 0;
    BOOL moved = FALSE;
    frontEnd.onYield = [&](FakeFrontEnd&) {
        if (yields++ == 0 && (moved = MoveFileW(base.c_str(), renamed.c_str())) != FALSE) {
            fs::create_directories(base / "My Clippings");
        }
    };
    SaveClippings(EmmaStore(), frontEnd.request(FromFsPath(base)), frontEnd);
    const fs::path held = (moved ? renamed : base) / "My Clippings";
    EXPECT_EQ(Listing(held), (std::set<std::string>{"all.htm", "Emma.txt"}));
    EXPECT_EQ(ReadBytes(held / "all.htm"), kEmmaPage);
    if (moved) {
        EXPECT_TRUE(fs::is_empty(base / "My Clippings"));
    }
}
#else
// Links and renameat2 are POSIX: on Windows the folder is held open instead.
TEST(SaveClippings, AFolderSwappedForALinkStillGetsTheBooks_andTheLinksTargetStaysEmpty)
{
    const struct {
        std::string name;
        // Puts a link to "elsewhere" at the folder's path and returns where the folder went.
        std::function<fs::path(const fs::path& folder, const fs::path& elsewhere)> swap;
    } cases[] = {
        {"moved away, then a link made",
         [](const fs::path& folder, const fs::path& elsewhere) {
             const fs::path moved = folder.parent_path() / "moved";
             fs::rename(folder, moved);
             fs::create_directory_symlink(elsewhere, folder);
             return moved;
         }},
        {"exchanged with a link in one step",
         [](const fs::path& folder, const fs::path& elsewhere) {
             const fs::path link = folder.parent_path() / "link";
             fs::create_directory_symlink(elsewhere, link);
             EXPECT_EQ(renameat2(AT_FDCWD, folder.c_str(), AT_FDCWD, link.c_str(), RENAME_EXCHANGE), 0);
             return link;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path folder = dir.path() / "My Clippings";
        const fs::path elsewhere = dir.path() / "elsewhere";
        fs::create_directory(elsewhere);
        fs::path moved;
        FakeFrontEnd frontEnd;
        frontEnd.onYield = [&](FakeFrontEnd&) { moved = c.swap(folder, elsewhere); };
        EXPECT_EQ(SaveClippings(EmmaStore(), frontEnd.request(dir.u16()), frontEnd), FromFsPath(folder));
        EXPECT_TRUE(fs::is_empty(elsewhere));
        EXPECT_EQ(ReadBytes(moved / "all.htm"), kEmmaPage);
        EXPECT_EQ(ReadBytes(moved / "Emma.txt"), kEmmaText);
    }
}

#endif

TEST(SaveClippings, TitlesGivingOneNameAreNumberedInTurn_pastNamesTakenByOthers)
{
    const struct {
        std::string name;
        std::vector<std::string> titles;
        std::vector<std::string> takenByOthers; // made in the folder while the caption is drawn
        std::vector<std::string> files;         // each title's file, in title order
    } cases[] = {
        {"one name three times", {"A", "A", "A"}, {}, {"A.txt", "A (2).txt", "A (3).txt"}},
        {"a title that looks numbered comes first", {"A (2)", "A", "A"}, {}, {"A (2).txt", "A.txt", "A (3).txt"}},
        {"a title that looks numbered comes later", {"A", "A", "A (2)"}, {}, {"A.txt", "A (2).txt", "A (2) (2).txt"}},
        {"names taken by another program are passed over",
         {"A", "A", "A"},
         {"A.txt", "A (3).txt"},
         {"A (2).txt", "A (4).txt", "A (5).txt"}},
        {"titles that differ only where no name can hold them",
         {"T/1", "T:1", "T?1", "T*1"},
         {},
         {"T_1.txt", "T_1 (2).txt", "T_1 (3).txt", "T_1 (4).txt"}},
        {"dot titles",
         {"..", ".", "....", ". ."},
         {},
         {"Untitled.txt", "Untitled (2).txt", "Untitled (3).txt", "Untitled (4).txt"}},
    };
    for (const TextEncoding encoding : {TextEncoding::windows1252, TextEncoding::utf8}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name + (encoding == TextEncoding::utf8 ? " (UTF-8)" : " (Windows-1252)"));
            ClipStore store;
            for (std::size_t i = 0; i < c.titles.size(); ++i) {
                store.AddBook(c.titles[i]);
                store.AddEntry(static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(i + 1), 'b', "");
            }
            TempDir dir;
            FakeFrontEnd frontEnd;
            frontEnd.encoding = encoding;
            frontEnd.onYield = [&](FakeFrontEnd&) {
                for (const auto& name : c.takenByOthers) {
                    dir.Write("My Clippings/" + name, "not ours");
                }
            };
            SaveClippings(store, frontEnd.request(dir.u16()), frontEnd);
            const fs::path out = dir.path() / "My Clippings";
            std::set<std::string> expected(c.takenByOthers.begin(), c.takenByOthers.end());
            expected.insert("all.htm");
            for (std::size_t i = 0; i < c.files.size(); ++i) {
                EXPECT_EQ(ReadBytes(out / c.files[i]), "BOOKMARK @ " + std::to_string(i + 1) + "\r\n") << c.files[i];
                expected.insert(c.files[i]);
            }
            EXPECT_EQ(Listing(out), expected);
        }
    }
}

#ifndef _WIN32
// Lowers the largest file this process may write (root too is bound by it),
// so a write fails as on a full disk; restored on leaving. The signal sent
// past the limit is left to end the process: the writer turns it off itself.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_DFL);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};
#endif

TEST(SaveClippings, AFailedWriteNamesTheFileAndThePartialOutput)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file-size limit (rlimit) to make a write fail";
#else
    constexpr rlim_t kLimit = 64 * 1024;
    const struct {
        std::size_t firstBookText;
        std::size_t secondBookText;
        std::string failing;
    } cases[] = {
        {10, 100 * 1024, "Second.txt"},    // a book file past the limit
        {40 * 1024, 40 * 1024, "all.htm"}, // the page past the limit, at its last write
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        ClipStore store;
        store.AddBook("First");
        store.AddBook("Second");
        AddEntry(store, {1, 1, u"h", std::u16string(c.firstBookText, u'x')});
        AddEntry(store, {2, 1, u"h", std::u16string(c.secondBookText, u'y')});
        TempDir dir;
        FakeFrontEnd frontEnd;
        const std::string folder = (dir.path() / "My Clippings").string();
        std::string failure;
        {
            FileSizeLimit limit(kLimit);
            failure = FailureOf([&] { SaveClippings(store, frontEnd.request(dir.u16()), frontEnd); });
        }
        EXPECT_EQ(failure, "cannot write \"" + folder + "/" + c.failing +
                               "\": File too large (the partial output stays in \"" + folder + "\")");
        // The book written before the failure stays whole, and so do its rows in the page.
        const std::string firstText = "\x85" + std::string(c.firstBookText, 'x') + "\r\n";
        EXPECT_EQ(ReadBytes(dir.path() / "My Clippings" / "First.txt"), firstText);
        const std::string pageStart = "<HTML><BODY>\r\n<P><B>First</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>" + firstText +
                                      "</TEXTAREA>\r\n\r\n<P><B>Second</B>";
        EXPECT_EQ(ReadBytes(dir.path() / "My Clippings" / "all.htm").substr(0, pageStart.size()), pageStart);
    }
#endif
}

// The page and the files as the writer's steps give them, each book's text
// taken from `clippings`, which scans the whole table.
void ExpectTheDirectSteps(const ClipStore& store, FakeFrontEnd& frontEnd, const fs::path& out)
{
    auto escape = [](std::u16string text) {
        std::u16string escaped;
        for (const char16_t c : text) {
            escaped += c == u'&' ? u"&amp;" : c == u'<' ? u"&lt;" : c == u'>' ? u"&gt;" : std::u16string(1, c);
        }
        return escaped;
    };
    std::u16string page = u"<HTML><BODY>\r\n";
    for (std::int32_t i = 1; i <= store.bookCount(); ++i) {
        const std::u16string text = DecodeWindows1252(test::BookTextOf(store, i, frontEnd));
        page += u"<P><B>" + escape(test::TitleOf(store, i)) + u"</B><BR>\r\n";
        page += u"<TEXTAREA COLS=80 ROWS=10>" + escape(text) + u"</TEXTAREA>\r\n\r\n";
        SCOPED_TRACE(Utf8(test::TitleOf(store, i)));
        EXPECT_EQ(ReadBytes(out / (Utf8(test::TitleOf(store, i)) + ".txt")), EncodeWindows1252(text));
    }
    page += u"</BODY></HTML>\r\n";
    EXPECT_EQ(ReadBytes(out / "all.htm"), EncodeWindows1252(page));
    EXPECT_EQ(Listing(out).size(), static_cast<std::size_t>(store.bookCount()) + 1);
}

TEST(SaveClippings, GroupingByBookGivesWhatTheDirectStepsGive)
{
    const std::u16string kinds[] = {u"h", u"n", u"b", u"other"};
    const std::u16string texts[] = {
        u"", u"plain", u"a & b < c", u"Caf\u00C3\u00A9", u"\u00C2\u00B0 \u2026", u"two\r\nlines"};
    std::mt19937 random(1234);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        ClipStore store;
        const int books = 1 + round * 7;
        for (int b = 1; b <= books; ++b) {
            store.AddBook("Book " + std::string(1, static_cast<char>('A' + b % 26)) +
                          std::string(static_cast<std::size_t>(b / 26), '+'));
        }
        for (int j = 0; j < 400; ++j) {
            // Now and then a book number outside the table: such entries go nowhere.
            const auto book = static_cast<std::int32_t>(random() % (books + 2));
            AddEntry(store,
                     {book, static_cast<std::int32_t>(random() % 1000) - 10, kinds[random() % 4], texts[random() % 6]});
        }
        FakeFrontEnd frontEnd;
        frontEnd.options.keeplocs = round % 2 == 1;
        frontEnd.options.fixANSI = round % 3 != 2;
        TempDir dir;
        SaveClippings(store, frontEnd.request(dir.u16()), frontEnd);
        ExpectTheDirectSteps(store, frontEnd, dir.path() / "My Clippings");
    }
}

TEST(SaveClippings, BooksLargerThanABlockGiveWhatTheDirectStepsGive)
{
    // Megabytes of text, some of it in one entry, with markup and "fix ANSI"
    // sequences all through, so blocks of the text and of the page end
    // anywhere among them.
    const std::u16string piece = u"a&b<c>d \u00C3\u00A9 \u00E2\u20AC\u2122 e\r\n";
    std::u16string large;
    while (large.size() < (std::size_t{5} << 20)) {
        large += piece;
    }
    for (const bool fixANSI : {true, false}) {
        SCOPED_TRACE(fixANSI ? "fix ANSI" : "as read");
        ClipStore store;
        store.AddBook("Many & large");
        store.AddBook("Small");
        for (std::int32_t j = 0; j < 3000; ++j) {
            AddEntry(store, {1, j, j % 2 == 0 ? u"h" : u"n", std::u16string(1 + j % 97, u'&') + piece + piece});
            if (j == 1500) {
                AddEntry(store, {1, j, u"h", large});
            }
        }
        AddEntry(store, {2, 1, u"h", u"after"});
        FakeFrontEnd frontEnd;
        frontEnd.options.fixANSI = fixANSI;
        TempDir dir;
        SaveClippings(store, frontEnd.request(dir.u16()), frontEnd);
        ExpectTheDirectSteps(store, frontEnd, dir.path() / "My Clippings");
    }
}

} // namespace
} // namespace quillery
