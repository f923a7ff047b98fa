// Bad input of every kind through quillery-cli: for each, the exit status,
// the message, and what is on disk afterwards. A failure while reading
// leaves the output folder's parent empty; a failure while writing names
// the path and the folder that holds the partial output; nothing that
// existed is replaced. The large inputs are made here, not kept as files.
#include "cli/cli_run.h"

#include "support/temp_dir.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

const fs::path kBadData = fs::path(SAMPLE_DIR) / ".." / ".." / "tests" / "data" / "bad";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// One Kindle entry with CR LF line ends.
std::string Entry(std::string_view title, std::string_view meta, std::string_view text)
{
    return std::string(title) + "\r\n" + std::string(meta) + "\r\n\r\n" + std::string(text) + "\r\n==========\r\n";
}

// "all.htm" for books given as (title, text) in page order, none of them
// holding "&", "<" or ">".
std::string Page(const std::vector<std::pair<std::string, std::string>>& books)
{
    std::string page = "<HTML><BODY>\r\n";
    for (const auto& [title, text] : books) {
        page += "<P><B>" + title + "</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>" + text + "</TEXTAREA>\r\n\r\n";
    }
    return page + "</BODY></HTML>\r\n";
}

using Files = std::map<std::string, std::string>;

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        test::SetEnv(name, value);
    }
    ~ScopedEnv()
    {
        if (old_) {
            test::SetEnv(name_, *old_);
        } else {
            test::UnsetEnv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

#ifndef _WIN32
// Runs the real quillery-cli in a child with `resource` limited to `limit`:
// RLIMIT_FSIZE for a disk that is full (SIGXFSZ keeps its default, which ends
// the process: the program itself must turn it into a failed write),
// RLIMIT_AS for a machine short of memory.
CliResult RunWithLimit(const std::vector<std::string>& args, decltype(RLIMIT_AS) resource, rlim_t limit)
{
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        close(out[0]);
        close(err[0]);
        const rlimit limited{limit, limit};
        setrlimit(resource, &limited);
        std::signal(SIGXFSZ, SIG_DFL);
        std::vector<char*> argv{const_cast<char*>(QUILLERY_CLI_PATH)};
        for (const auto& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(QUILLERY_CLI_PATH, argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    const auto drain = [](int fd) {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        close(fd);
        return text;
    };
    CliResult result;
    result.out = drain(out[0]);
    result.err = drain(err[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
#endif

// A folder holding the input files and, in "out", the base folder that
// "My Clippings" is made in.
class BadInputTest : public testing::Test {
  protected:
    BadInputTest() : base_(dir_.path() / "out") { fs::create_directory(base_); }

    CliResult Run(const fs::path& input, std::vector<std::string> args = {}) const
    {
        // One byte per character, so that the expected files read as written here.
        args.insert(args.begin(), {"-q", "--encoding", "windows-1252", "-o", base_.string()});
        args.push_back(input.string());
        return RunCliInProcess(args);
    }

    // Every file under the base folder, by its path relative to it, with its bytes.
    Files OnDisk() const
    {
        Files files;
        for (const auto& item : fs::recursive_directory_iterator(base_)) {
            if (!item.is_directory()) {
                files[fs::relative(item.path(), base_).generic_string()] = ReadBytes(item.path());
            }
        }
        return files;
    }

    bool BaseIsEmpty() const { return fs::is_empty(base_); }

    // A failure before anything is written, with its message.
    void ExpectMissing(const CliResult& result, const std::string& message) const
    {
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }

    // Empties the base folder, so that each case of a table starts afresh.
    void ClearBase() const
    {
        for (const auto& item : fs::directory_iterator(base_)) {
            fs::remove_all(item.path());
        }
    }

    // A failure while reading: one line on stderr naming the input and
    // holding every piece, exit status 1, nothing on stdout or on disk.
    void ExpectReadFailure(const CliResult& result, const fs::path& input, const std::vector<std::string>& pieces) const
    {
        EXPECT_EQ(result.code, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.starts_with("quillery-cli: ")) << result.err;
        EXPECT_NE(result.err.find("\"" + input.string() + "\""), std::string::npos) << result.err;
        for (const auto& piece : pieces) {
            EXPECT_NE(result.err.find(piece), std::string::npos) << "missing \"" << piece << "\" in " << result.err;
        }
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "not one line: " << result.err;
        EXPECT_TRUE(BaseIsEmpty()) << "a failed read left output behind";
    }

    // A successful run: the folder's path on stdout and exactly `files` in it.
    void ExpectWritten(const CliResult& result, const Files& files, const std::string& folder = "My Clippings") const
    {
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.out, (base_ / folder).string() + "\n");
        Files expected;
        for (const auto& [name, bytes] : files) {
            expected[folder + "/" + name] = bytes;
        }
        const Files written = OnDisk();
        EXPECT_EQ(written.size(), expected.size());
        for (const auto& [name, bytes] : expected) {
            const auto found = written.find(name);
            ASSERT_NE(found, written.end()) << "missing " << name;
            // Compared by hand: a failure must not print megabytes.
            EXPECT_TRUE(found->second == bytes)
                << name << ": " << found->second.size() << " bytes, expected " << bytes.size();
        }
    }

    TempDir dir_;
    fs::path base_;
};

// --- Input that can't be read: a message naming the file, and nothing written ---

TEST_F(BadInputTest, unreadableInput_failsNamingTheFile_andWritesNothing)
{
    struct Case {
        std::string name;
        std::function<fs::path(const TempDir&)> make;
        std::vector<std::string> pieces;
    };
    const auto bad = [](const std::string& name) { return [name](const TempDir&) { return kBadData / name; }; };
    const auto folder = [](const std::string& name) {
        return [name](const TempDir& dir) {
            fs::create_directory(dir.path() / name);
            return dir.path() / name;
        };
    };
    const auto missing = [](const std::string& name) {
        return [name](const TempDir& dir) { return dir.path() / name; };
    };
    const Case cases[] = {
        {"0-byte file", bad("empty.txt"), {"line 1", "empty"}},
        // Nothing follows the byte-order mark: as empty as a 0-byte file.
        {"lone byte-order mark", bad("lone_bom.txt"), {"line 1", "empty"}},
        {"location of 40 digits",
         bad("location_40_digits.txt"),
         {"line 2", "1234567890123456789012345678901234567890"}},
        {"location 1e309", bad("location_1e309.txt"), {"line 2", "1e309"}},
        // No meta line of any form: no clippings log at all.
        {"binary junk", bad("binary_junk.bin"), {"no Kindle clippings found"}},
        {"a plain text file",
         [](const TempDir& dir) { return dir.Write("notes.txt", "Shopping\r\nmilk, bread\r\n\r\neggs\r\n"); },
         {"no Kindle clippings found"}},
        {"missing file", missing("missing.txt"), {"cannot open", "No such file"}},
        {"missing .dkx file", missing("missing.dkx"), {"cannot open", "No such file"}},
        {"folder as input", folder("clippings"), {"no clippings file in the folder"}},
        {"folder named .dkx as input", folder("notes.dkx"), {"no clippings file in the folder"}},
        // Longer than any title: the first megabyte is all that is read.
        {"10 MB single line",
         [](const TempDir& dir) { return dir.Write("one line.txt", std::string(10 << 20, 'x')); },
         {"line 1", "longer than 1048576 bytes"}},
        {"meta line over 1 MB",
         [](const TempDir& dir) {
             return dir.Write("long meta.txt", Entry("Book", "- Highlight Loc. 1 | " + std::string(1 << 20, 'm'), "t"));
         },
         {"line 2", "longer than 1048576 bytes"}},
        {"no text at all (NUL bytes)",
         [](const TempDir& dir) { return dir.Write("zeros.txt", std::string(3 << 20, '\0')); },
         {"line 1", "longer than 1048576 bytes"}},
#ifdef _WIN32
        {"device name", [](const TempDir&) { return fs::path("NUL"); }, {"cannot open", "not a regular file"}},
#else
        {"character device",
         [](const TempDir&) { return fs::path("/dev/zero"); },
         {"cannot open", "not a regular file"}},
        // Opened without blocking: no writer is needed for the refusal.
        {"FIFO without a writer",
         [](const TempDir& dir) {
             const fs::path fifo = dir.path() / "fifo.txt";
             EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
             return fifo;
         },
         {"cannot open", "not a regular file"}},
#endif
        {".dkx without a book name or items (deflated)", bad("deflated.dkx"), {"no Duokan reading data found"}},
        {"0-byte .dkx",
         [](const TempDir& dir) { return dir.Write("empty.dkx", ""); },
         {"no Duokan reading data found"}},
        {"10001 distinct titles",
         [](const TempDir& dir) {
             std::string file;
             for (int i = 1; i <= 10001; ++i) {
                 file += Entry("Book " + std::to_string(i), "- Highlight Loc. 1 | Added", "text");
             }
             return dir.Write("many books.txt", file);
         },
         {"line 50001", "10000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir inputs;
        const fs::path input = c.make(inputs);
        ExpectReadFailure(Run(input), input, c.pieces);
        ClearBase();
    }
}

// Bytes of the file or its name never reach the terminal raw: an escape
// sequence could retitle it, erase lines or forge a line of output.
TEST_F(BadInputTest, controlCharactersInMessagesAndWarnings_areShownAsEscapes)
{
    const TempDir inputs;
    const fs::path crafted = inputs.Write(
        "crafted.txt", Entry("Book", "- Highlight Loc. 1 | Added", "kept") +
                           Entry("Book", "- Din markering\x1b]0;owned\a\b\v | Tilf\xC3\xB8jet", "skipped"));
    const CliResult warned = Run(crafted);
    EXPECT_EQ(warned.code, 0);
    EXPECT_NE(warned.err.find("markering\\x1b]0;owned\\x07\\x08\\x0b |"), std::string::npos) << warned.err;
    const fs::path missing = inputs.path() / "a\x1b[2Kb\x9b.txt";
    const CliResult failed = Run(missing);
    EXPECT_EQ(failed.code, 1);
    EXPECT_NE(failed.err.find("a\\x1b[2Kb"), std::string::npos) << failed.err;
    for (const CliResult* result : {&warned, &failed}) {
        EXPECT_EQ(result->err.find_first_of(std::string("\x1b\a\b\v", 4)), std::string::npos) << result->err;
    }
}

TEST_F(BadInputTest, fileWithoutReadPermission_failsNamingTheFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no permission bits that stop reading";
#else
    if (geteuid() == 0) {
        GTEST_SKIP() << "running as root: permission bits do not stop root from reading";
    }
    const fs::path input =
        dir_.Write("locked.txt", std::string(kBom) + Entry("Book", "- Highlight Loc. 1 | Added", "t"));
    fs::permissions(input, fs::perms::none);
    ExpectReadFailure(Run(input), input, {"cannot open", "Permission denied"});
#endif
}

// --- Odd input that reads: every entry written, byte for byte ---

TEST_F(BadInputTest, oddButReadableInput_isWrittenWhole)
{
    const std::string sampleEmma = "@120 First\r\n@200 NOTE: Mine\r\nover two lines\r\n";
    const std::string sampleBookmark = "BOOKMARK @ 300\r\n";
    const Files sample{
        {"Emma (Jane Austen).txt", sampleEmma},
        {"Persuasion (Jane Austen).txt", sampleBookmark},
        {"all.htm", Page({{"Emma (Jane Austen)", sampleEmma}, {"Persuasion (Jane Austen)", sampleBookmark}})}};
    const auto oneBook = [](const std::string& title, const std::string& fileName, const std::string& text) {
        return Files{{fileName, text}, {"all.htm", Page({{title, text}})}};
    };
    const std::string longMeta = "- Highlight Loc. 7 | " + std::string(100000 - 21, 'm');
    const std::string longTitle(100000, 'T');
    const std::string bigText(10 << 20, 'a');
    std::string manyItems = "<?xml version=\"1.0\"?><ReadingData><BookName>Many</BookName>";
    std::string manyItemsText;
    for (int i = 0; i < 100000; ++i) {
        manyItems += "<ReadingDataItem><Type>DIGEST</Type><BeginPos><AtomIndex>" + std::to_string(100000 - i) +
                     "</AtomIndex></BeginPos><BookContent>t" + std::to_string(i) + "</BookContent></ReadingDataItem>";
    }
    manyItems += "</ReadingData>";
    for (int location = 1; location <= 100000; ++location) {
        manyItemsText += "@" + std::to_string(location) + " t" + std::to_string(100000 - location) + "\r\n";
    }
    // Every title is cut to the same 200 characters, so each book takes the next number.
    std::string sameName;
    std::vector<std::pair<std::string, std::string>> sameNameBooks;
    Files sameNameFiles;
    const std::string cut(200, 'T');
    for (int i = 1; i <= 10000; ++i) {
        const std::string title = cut + std::to_string(i);
        const std::string text = "@" + std::to_string(i) + " t\r\n";
        sameName += Entry(title, "- Highlight Loc. " + std::to_string(i) + " | Added", "t");
        sameNameBooks.emplace_back(title, text);
        sameNameFiles[i == 1 ? cut + ".txt" : cut + " (" + std::to_string(i) + ").txt"] = text;
    }
    sameNameFiles["all.htm"] = Page(sameNameBooks);

    struct Case {
        std::string name;
        std::function<fs::path(const TempDir&)> make;
        Files files;
    };
    const auto bad = [](const std::string& name) { return [name](const TempDir&) { return kBadData / name; }; };
    const auto made = [](const std::string& name, std::string bytes) {
        return [name, bytes = std::move(bytes)](const TempDir& dir) { return dir.Write(name, bytes); };
    };
    const Case cases[] = {
        {"CR LF line ends", bad("line_ends_crlf.txt"), sample},
        {"CR-only line ends read like CR LF", bad("line_ends_cr.txt"), sample},
        {"LF-only line ends read like CR LF", bad("line_ends_lf.txt"), sample},
        // The NUL stays in the page; no file name can hold it, so the file gets "_".
        {"NUL byte in a title",
         bad("nul_in_title.txt"),
         {{"Bo_ok (A).txt", "@5 text\r\n"}, {"all.htm", Page({{std::string("Bo\0ok (A)", 9), "@5 text\r\n"}})}}},
        {"location '-'", bad("location_minus.txt"), oneBook("Book", "Book.txt", "@0 text\r\n")},
        {"location '+'", bad("location_plus.txt"), oneBook("Book", "Book.txt", "@0 text\r\n")},
        {"meta line of 100000 characters", made("long meta.txt", Entry("Book", longMeta, "text")),
         oneBook("Book", "Book.txt", "@7 text\r\n")},
        // The file name is cut to 200 characters; the page keeps the whole title.
        {"title of 100000 characters",
         made("long title.txt", std::string(kBom) + Entry(longTitle, "- Note Loc. 3 | x", "n")),
         oneBook(longTitle, std::string(200, 'T') + ".txt", "@3 NOTE: n\r\n")},
        {"10 MB line as an entry's text", made("big text.txt", Entry("Big", "- Highlight Loc. 1 | Added", bigText)),
         oneBook("Big", "Big.txt", "@1 " + bigText + "\r\n")},
        // The item without a closing tag ends the reading; the one before it stays.
        {".dkx with an unclosed item", bad("unclosed_item.dkx"), oneBook("Unclosed", "Unclosed.txt", "@9 kept\r\n")},
        // An item ends at the first closing tag, so the inner item's content is the
        // outer item's; the outer's rest holds no opening tag and is passed over.
        {".dkx with nested items", bad("nested_items.dkx"),
         oneBook("Nested", "Nested.txt", "@2 after\r\n@4 NOTE: inner\r\n")},
        {".dkx with 100000 items", made("many.dkx", manyItems), oneBook("Many", "Many.txt", manyItemsText)},
        // A blank title is no file name; "Untitled" is taken by the book of that name.
        {"blank Kindle title",
         bad("blank_title.txt"),
         {{"Untitled.txt", "@4 named\r\n"},
          {"Untitled (2).txt", "@9 blank\r\n"},
          {"all.htm", Page({{"Untitled", "@4 named\r\n"}, {"  ", "@9 blank\r\n"}})}}},
        {"10000 titles cut to one file name", made("same name.txt", sameName), sameNameFiles},
        {"titles of dots only",
         bad("dot_titles.txt"),
         {{"Untitled.txt", "@1 two dots\r\n"},
          {"Untitled (2).txt", "@2 one dot\r\n"},
          {"Untitled (3).txt", "@3 four dots\r\n"},
          {"all.htm", Page({{"..", "@1 two dots\r\n"}, {".", "@2 one dot\r\n"}, {"....", "@3 four dots\r\n"}})}}},
        {"location with a fraction", bad("location_fraction.txt"), oneBook("Book", "Book.txt", "@14 half\r\n")},
        {".dkx with items but no book name",
         made("nameless.dkx", "<ReadingDataItem><Type>DIGEST</Type><BookContent>x</BookContent></ReadingDataItem>"),
         oneBook("", "Untitled.txt", "@0 x\r\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir inputs;
        ExpectWritten(Run(c.make(inputs), {"--bookmarks", "--keep-locations"}), c.files);
        ClearBase();
    }
}

TEST_F(BadInputTest, titlesOfDotsOnly_areUntitledInUtf8Too)
{
    const CliResult result =
        RunCliInProcess({"-q", "--encoding", "utf-8", "-o", base_.string(), (kBadData / "dot_titles.txt").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    const Files written = OnDisk();
    for (const std::string name : {"Untitled.txt", "Untitled (2).txt", "Untitled (3).txt"}) {
        EXPECT_EQ(written.count("My Clippings/" + name), 1U) << name;
    }
    EXPECT_EQ(written.size(), 4U);
}

TEST_F(BadInputTest, pathsThatAreNotUtf8_reachTheFileSystemUnchanged)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows names are UTF-16: there are no name bytes that are not UTF-8";
#else
    const std::string latin1 = "x-\xE9";
    const fs::path input = dir_.Write(latin1 + ".txt", ReadBytes(kBadData / "location_plus.txt"));
    const fs::path base = base_ / ("o-" + latin1);
    fs::create_directory(base);
    const struct {
        std::string encoding;
        std::string book; // Book.txt as written in that encoding
    } cases[] = {{"utf-8", "\xE2\x80\xA6text\r\n"}, {"windows-1252", "\x85text\r\n"}};
    for (const auto& c : cases) {
        const fs::path folder = base / c.encoding;
        fs::create_directory(folder);
        const CliResult written =
            RunCliInProcess({"-q", "--encoding", c.encoding, "-o", folder.string(), input.string()});
        ASSERT_EQ(written.code, 0) << c.encoding << ": " << written.err;
        EXPECT_EQ(written.out, (folder / "My Clippings").string() + "\n") << c.encoding;
        EXPECT_EQ(ReadBytes(folder / "My Clippings" / "Book.txt"), c.book) << c.encoding;
    }
    // A message shows the path's own bytes.
    const fs::path missing = dir_.path() / (latin1 + "-missing.txt");
    ExpectMissing(RunCliInProcess({"-q", "-o", base.string(), missing.string()}), "cannot open \"" + missing.string());
    const fs::path none = base_ / (latin1 + "-none");
    ExpectMissing(RunCliInProcess({"-q", "-o", none.string(), input.string()}),
                  "cannot use the output folder \"" + none.string() + "\": No such file or directory");
#endif
}

TEST_F(BadInputTest, outOfMemory_saysWhere_andAReadingFailureLeavesNothing)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no address-space limit for a child (rlimit)";
#else
    if (kAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit here allows";
    }
    // One text line of 32 MB, all "&": reading it takes about 3.5 times that.
    // The page holds each "&" as "&amp;", but in blocks: no more is needed to
    // write it.
    const fs::path input =
        dir_.Write("big.txt", Entry("Amp", "- Highlight Loc. 1 | Added", std::string(std::size_t{32} << 20, '&')));
    const std::vector<std::string> args{"-q", "-o", base_.string(), input.string()};
    const CliResult reading = RunWithLimit(args, RLIMIT_AS, rlim_t{64} << 20);
    EXPECT_EQ(reading.code, 1);
    EXPECT_EQ(reading.err, "quillery-cli: not enough memory to read \"" + input.string() + "\" (at line 4)\n");
    EXPECT_TRUE(BaseIsEmpty());

    const CliResult writing = RunWithLimit(args, RLIMIT_AS, rlim_t{200} << 20);
    ASSERT_EQ(writing.code, 0) << writing.err;
    const fs::path folder = base_ / "My Clippings";
    EXPECT_EQ(fs::file_size(folder / "Amp.txt"), std::uintmax_t{3} + (32 << 20) + 2);
    // Read in part: the whole page would take 160 MB here too.
    const std::string head = "<!DOCTYPE html>\r\n<HTML><HEAD><meta charset=\"utf-8\"></HEAD><BODY>\r\n"
                             "<P><B>Amp</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>\xE2\x80\xA6";
    const std::string tail = "&amp;&amp;\r\n</TEXTAREA>\r\n\r\n</BODY></HTML>\r\n";
    EXPECT_EQ(fs::file_size(folder / "all.htm"), head.size() + std::uintmax_t{5} * ((32 << 20) - 2) + tail.size());
    std::ifstream page(folder / "all.htm", std::ios::binary);
    std::string start(head.size() + 10, '\0');
    page.read(start.data(), static_cast<std::streamsize>(start.size()));
    EXPECT_EQ(start, head + "&amp;&amp;");
    std::string end(tail.size(), '\0');
    page.seekg(-static_cast<std::streamoff>(tail.size()), std::ios::end);
    page.read(end.data(), static_cast<std::streamsize>(end.size()));
    EXPECT_EQ(end, tail);
#endif
}

// --- Output that can't be written: the path named, nothing existing replaced ---

TEST_F(BadInputTest, desktopOnReadOnlyFileSystem_failsNamingTheFolder)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows the desktop comes from the shell, not XDG_CONFIG_HOME";
#else
    // Folders of sysfs refuse new folders even to root.
    const fs::path desktop = "/sys/kernel";
    std::error_code refused;
    if (!fs::is_directory(desktop) || fs::create_directory(desktop / "My Clippings", refused)) {
        GTEST_SKIP() << desktop << " takes new folders here";
    }
    fs::create_directory(dir_.path() / "config");
    dir_.Write("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"" + desktop.string() + "\"\n");
    const ScopedEnv config("XDG_CONFIG_HOME", (dir_.path() / "config").string());
    const fs::path input = kBadData / "line_ends_crlf.txt";
    const CliResult result = RunCliInProcess({"-q", input.string()});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("cannot create the folder \"/sys/kernel/My Clippings\""), std::string::npos)
        << result.err;
#endif
}

TEST_F(BadInputTest, desktopWithoutWritePermission_failsNamingTheFolder)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no permission bits that stop writing into a folder";
#else
    if (geteuid() == 0) {
        GTEST_SKIP() << "running as root: permission bits do not stop root from writing";
    }
    fs::permissions(base_, fs::perms::owner_read | fs::perms::owner_exec);
    const CliResult result = Run(kBadData / "line_ends_crlf.txt");
    fs::permissions(base_, fs::perms::owner_all);
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("\"" + (base_ / "My Clippings").string() + "\""), std::string::npos) << result.err;
    EXPECT_TRUE(BaseIsEmpty());
#endif
}

TEST_F(BadInputTest, homeThatIsAFile_failsNamingTheFolder_andLeavesTheFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows the desktop comes from the shell, not HOME";
#else
    // No desktop folder, so the home folder stands in; here it is a regular file.
    const fs::path home = dir_.Write("home", "not a folder");
    const ScopedEnv homeEnv("HOME", home.string());
    const ScopedEnv config("XDG_CONFIG_HOME", (dir_.path() / "no config").string());
    const CliResult result = RunCliInProcess({"-q", (kBadData / "line_ends_crlf.txt").string()});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("cannot create the folder \"" + (home / "My Clippings").string() + "\""),
              std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(home), "not a folder");
#endif
}

TEST_F(BadInputTest, outputNamesTaken_theNextNumberIsMade_andTheOthersAreUntouched)
{
    fs::create_directory(base_ / "My Clippings");
    const fs::path keep = dir_.Write("out/My Clippings/all.htm", "an earlier run");
    const fs::path taken = dir_.Write("out/My Clippings (2)", "a file of that name");
    const CliResult result = Run(kBadData / "location_plus.txt", {"--keep-locations"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, (base_ / "My Clippings (3)").string() + "\n");
    EXPECT_EQ(OnDisk(), (Files{{"My Clippings/all.htm", "an earlier run"},
                               {"My Clippings (2)", "a file of that name"},
                               {"My Clippings (3)/Book.txt", "@0 text\r\n"},
                               {"My Clippings (3)/all.htm", Page({{"Book", "@0 text\r\n"}})}}));
}

TEST_F(BadInputTest, fullDisk_failsNamingTheFileAndThePartialOutput_andKeepsWhatExisted)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file-size limit for a child (rlimit)";
#else
    const std::string clippings = Entry("Book", "- Highlight Loc. 1 | Added", std::string(200000, 'a'));
    const fs::path input = dir_.Write("My Clippings.txt", clippings);
    fs::create_directory(base_ / "My Clippings");
    dir_.Write("out/My Clippings/all.htm", "an earlier run");

    const CliResult result = RunWithLimit({"-q", "-o", base_.string(), input.string()}, RLIMIT_FSIZE, 64 * 1024);
    const fs::path folder = base_ / "My Clippings (2)";
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("cannot write \"" + (folder / "Book.txt").string() + "\": File too large"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("the partial output stays in \"" + folder.string() + "\""), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(base_ / "My Clippings" / "all.htm"), "an earlier run");
    EXPECT_EQ(ReadBytes(input), clippings);
    EXPECT_TRUE(fs::is_directory(folder));
#endif
}

} // namespace
} // namespace quillery::test
