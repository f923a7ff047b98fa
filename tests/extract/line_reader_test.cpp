#include "extract/line_reader.h"

#include "extract/run_error.h"
#include "support/temp_dir.h"
#include "util/path_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

struct ReadLines {
    std::vector<std::string> lines;
    std::vector<bool> atEndAfter; // AtEnd() after each line
    bool atEndAtStart = false;
};

ReadLines ReadAll(const std::u16string& path, std::size_t blockSize)
{
    LineReader reader(path, blockSize);
    ReadLines result;
    result.atEndAtStart = reader.AtEnd();
    std::string_view line;
    while (reader.Next(line)) {
        result.lines.emplace_back(line);
        EXPECT_EQ(reader.lineNumber(), static_cast<std::int64_t>(result.lines.size()));
        result.atEndAfter.push_back(reader.AtEnd());
    }
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.Next(line));
    return result;
}

// The lines as the rules say: CR LF, CR CR LF, CR and LF each end one line.
std::vector<std::string> ReferenceSplit(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes.compare(i, 3, "\r\r\n") == 0) {
                i += 2;
            } else if (bytes.compare(i, 2, "\r\n") == 0) {
                ++i;
            }
            lines.push_back(current);
            current.clear();
            open = false;
        } else {
            current.push_back(bytes[i]);
            open = true;
        }
    }
    if (open) {
        lines.push_back(current);
    }
    return lines;
}

constexpr std::size_t kBlockSizes[] = {1, 2, 3, 4, 7, LineReader::kDefaultBlockSize};

struct SplitCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

// ---- line ends, at every block size so that each boundary is crossed

TEST(LineReaderTest, splitsAtCrLfCrAndLf_atEveryBlockSize)
{
    const SplitCase cases[] = {
        {"empty file", "", {}},
        {"no line end", "abc", {"abc"}},
        {"crlf between", "a\r\nb", {"a", "b"}},
        {"crlf at end", "a\r\n", {"a"}},
        {"lf alone", "a\nb\n", {"a", "b"}},
        {"cr alone", "a\rb\r", {"a", "b"}},
        {"mixed", "a\rb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}},
        {"only crlf", "\r\n", {""}},
        {"only cr", "\r", {""}},
        {"two lf", "\n\n", {"", ""}},
        {"cr cr lf", "x\r\r\ny\r\r\n", {"x", "y"}},
        {"cr cr then no lf", "x\r\ry\r\r", {"x", "", "y", ""}},
        {"cr cr cr lf", "x\r\r\r\n", {"x", ""}},
        {"only cr cr lf", "\r\r\n\r\r\n", {"", ""}},
        {"lf cr", "a\n\rb", {"a", "", "b"}},
        {"long line",
         std::string(50, 'x') + "\r\n" + std::string(33, 'y'),
         {std::string(50, 'x'), std::string(33, 'y')}},
        {"high bytes kept", "\xEF\xBB\xBFt\xE2\x80\x99s\r\n", {"\xEF\xBB\xBFt\xE2\x80\x99s"}},
        {"nul kept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::u16string path = FromFsPath(dir.Write("lines.txt", c.bytes));
        for (const std::size_t blockSize : kBlockSizes) {
            SCOPED_TRACE(std::string(c.name) + ", block size " + std::to_string(blockSize));
            const ReadLines read = ReadAll(path, blockSize);
            EXPECT_EQ(read.lines, c.lines);
            EXPECT_EQ(read.atEndAtStart, c.lines.empty());
            for (std::size_t i = 0; i < read.atEndAfter.size(); ++i) {
                EXPECT_EQ(read.atEndAfter[i], i + 1 == read.lines.size()) << "after line " << i + 1;
            }
        }
    }
}

TEST(LineReaderTest, randomLineEnds_matchTheRules_atEveryBlockSize)
{
    std::mt19937 random(20240607);
    const char alphabet[] = {'a', 'b', '\r', '\n'};
    std::uniform_int_distribution<int> pick(0, 3);
    TempDir dir;
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        for (int i = 0; i < 97; ++i) {
            bytes.push_back(alphabet[pick(random)]);
        }
        const std::u16string path = FromFsPath(dir.Write("random.txt", bytes));
        for (const std::size_t blockSize : kBlockSizes) {
            SCOPED_TRACE("round " + std::to_string(round) + ", block size " + std::to_string(blockSize));
            EXPECT_EQ(ReadAll(path, blockSize).lines, ReferenceSplit(bytes));
        }
    }
}

TEST(LineReaderTest, crAtBlockEndAndLfAtNextBlockStart_areOneLineEnd)
{
    TempDir dir;
    // Block size 2: "a\r" fills the first block, "\nb" opens the second.
    const std::u16string path = FromFsPath(dir.Write("split.txt", "a\r\nb"));
    LineReader reader(path, 2);
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "a");
    EXPECT_FALSE(reader.AtEnd());
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "b");
    EXPECT_EQ(reader.lineNumber(), 2);
    EXPECT_TRUE(reader.AtEnd());
}

// ---- the length limit, counted without the line end

TEST(LineReaderTest, lineLongerThanTheLimit_throwsNamingItsLine_atEveryBlockSize)
{
    struct LimitCase {
        const char* name;
        std::string bytes;
        std::size_t maxLength;
        std::vector<std::string> lines; // read before the failure
        std::int64_t tooLongLine;       // 0: none
    };
    const LimitCase cases[] = {
        {"at the limit", "abcd\r\nxy", 4, {"abcd", "xy"}, 0},
        {"one past it", "ab\r\nabcde\r\nx", 4, {"ab"}, 2},
        {"cr cr lf and cr count nothing", "abcd\r\r\nabcd\r", 4, {"abcd", "abcd"}, 0},
        {"last line without line end past it", "ab\nabcde", 4, {"ab"}, 2},
        {"empty lines under limit 0", "\r\r\n\n\r", 0, {"", "", ""}, 0},
        {"one byte past limit 0", "\n\nx\n", 0, {"", ""}, 3},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::u16string path = FromFsPath(dir.Write("limit.txt", c.bytes));
        for (const std::size_t blockSize : kBlockSizes) {
            SCOPED_TRACE(std::string(c.name) + ", block size " + std::to_string(blockSize));
            LineReader reader(path, blockSize);
            std::vector<std::string> lines;
            std::int64_t tooLongLine = 0;
            std::string_view line;
            try {
                while (reader.Next(line, c.maxLength)) {
                    lines.emplace_back(line);
                }
            } catch (const LineTooLong& error) {
                tooLongLine = error.line();
                EXPECT_EQ(std::string(error.what()),
                          "the line is longer than " + std::to_string(c.maxLength) + " bytes");
            }
            EXPECT_EQ(lines, c.lines);
            EXPECT_EQ(tooLongLine, c.tooLongLine);
        }
    }
}

// ---- failures name the path

TEST(LineReaderTest, missingFile_failsNamingThePath)
{
    TempDir dir;
    const std::u16string path = dir.u16() + u"/no such file.txt";
    try {
        LineReader reader(path);
        FAIL() << "no failure";
    } catch (const RunError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot open \"" + ToUtf8(path) + "\": No such file or directory");
    }
}

TEST(LineReaderTest, folder_failsNamingThePath)
{
    TempDir dir;
    try {
        LineReader reader(dir.u16());
        FAIL() << "no failure";
    } catch (const RunError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot open \"" + ToUtf8(dir.u16()) + "\": Is a directory");
    }
}

TEST(LineReaderTest, readError_failsNamingThePath)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no /proc/self/mem to fail a read";
#endif
    // Reading this process's own memory from address 0 fails with an I/O error.
    const std::u16string path = u"/proc/self/mem";
    if (std::FILE* probe = std::fopen("/proc/self/mem", "rb")) {
        std::fclose(probe);
    } else {
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    }
    LineReader reader(path);
    std::string_view line;
    try {
        reader.Next(line);
        FAIL() << "no failure";
    } catch (const RunError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot read \"/proc/self/mem\": Input/output error");
    }
}

} // namespace
} // namespace quillery::test
