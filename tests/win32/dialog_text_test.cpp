#include "win32/dialog_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillery {
namespace {

using namespace std::string_literals;

TEST(DialogFilter, BarsBecomeNuls_andTheListEndsWithTwo)
{
    const struct {
        std::u16string filter;
        std::u16string expected;
    } cases[] = {
        {u"Kindle clippings|My clippings.txt;*.dkx", u"Kindle clippings\0My clippings.txt;*.dkx\0\0"s},
        {u"A|*.a|B|*.b", u"A\0*.a\0B\0*.b\0\0"s},
        {u"", u"All files (*.*)\0*.*\0\0"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.filter.begin(), c.filter.end()));
        EXPECT_EQ(DialogFilter(c.filter), c.expected);
    }
}

TEST(ChosenPaths, OneFileIsItsPath_severalAreTheFolderWithEachName)
{
    const struct {
        const char* name;
        std::u16string answer;
        std::vector<std::u16string> expected;
    } cases[] = {
        {"cancelled", u"\0\0"s, {}},
        {"one file", u"C:\\books\\My Clippings.txt\0\0"s, {u"C:\\books\\My Clippings.txt"}},
        {"one file, the rest of the buffer NULs", u"C:\\a.dkx\0\0\0\0"s, {u"C:\\a.dkx"}},
        {"several files", u"C:\\books\0a.txt\0b.dkx\0\0"s, {u"C:\\books\\a.txt", u"C:\\books\\b.dkx"}},
        {"several files in a root", u"C:\\\0a.txt\0b.txt\0\0"s, {u"C:\\a.txt", u"C:\\b.txt"}},
        {"no closing NULs", u"C:\\x.txt"s, {u"C:\\x.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChosenPaths(c.answer), c.expected);
    }
}

TEST(ParseWindowArguments, EncodingFirst_thenThePathJoinedByBlanks)
{
    const struct {
        const char* name;
        std::vector<std::u16string> arguments;
        std::optional<TextEncoding> encoding;
        std::u16string path;
    } cases[] = {
        {"none", {}, kDefaultEncoding, u""},
        {"a path", {u"C:\\My Clippings.txt"}, kDefaultEncoding, u"C:\\My Clippings.txt"},
        {"an unquoted path with blanks", {u"C:\\My", u"Clippings.txt"}, kDefaultEncoding, u"C:\\My Clippings.txt"},
        {"an encoding and a path", {u"--encoding", u"windows-1252", u"a.txt"}, TextEncoding::windows1252, u"a.txt"},
        {"an encoding alone", {u"--encoding", u"utf-8"}, TextEncoding::utf8, u""},
        {"an encoding unknown", {u"--encoding", u"latin-9", u"a.txt"}, std::nullopt, u"a.txt"},
        {"an encoding not named", {u"--encoding"}, std::nullopt, u""},
        {"the option only counts first",
         {u"a.txt", u"--encoding", u"utf-8"},
         kDefaultEncoding,
         u"a.txt --encoding utf-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowArguments parsed = ParseWindowArguments(c.arguments);
        EXPECT_EQ(parsed.encoding, c.encoding);
        EXPECT_EQ(parsed.path, c.path);
    }
}

} // namespace
} // namespace quillery
