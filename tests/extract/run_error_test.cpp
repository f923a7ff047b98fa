#include "extract/run_error.h"

#include "util/text.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

namespace quillery {
namespace {

TEST(RunError, EachFormIsWordedAsOneLine)
{
    const struct {
        const char* name;
        RunError error;
        std::string message;
    } cases[] = {
        {"no place", RunError("too many books"), "too many books"},
        {"action and path", RunError("cannot open", u"a.txt", "Permission denied"),
         "cannot open \"a.txt\": Permission denied"},
        {"path and line", RunError({}, u"a.txt", "bad").AtLine(7), "\"a.txt\", line 7: bad"},
        {"path and item", RunError("too long").At(u"b.dkx").AtItem(3), "\"b.dkx\", item 3: too long"},
        {"partial output", RunError("cannot write", u"o/x.txt", "File too large").KeepingOutputIn(u"o"),
         "cannot write \"o/x.txt\": File too large (the partial output stays in \"o\")"},
        {"memory at a line", RunError::OutOfMemory("read", u"a.txt").AtLine(12),
         "not enough memory to read \"a.txt\" (at line 12)"},
        {"memory, no path", RunError::OutOfMemory("write the output").KeepingOutputIn(u"o"),
         "not enough memory to write the output (the partial output stays in \"o\")"},
        {"controls in the path", RunError({}, u"a\x1b]0;x\a\n.txt", "bad").AtLine(1),
         "\"a\\x1b]0;x\\x07\\x0a.txt\", line 1: bad"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.error.what(), c.message);
        EXPECT_EQ(WordRunError(c.error), c.message);
    }
}

std::string MessageOf(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (...) {
        return CurrentFailureMessage();
    }
}

TEST(RunError, CurrentFailureMessageWordsEveryKindOfFailure)
{
    EXPECT_EQ(MessageOf(std::make_exception_ptr(RunError("cannot open", u"x", "gone"))), "cannot open \"x\": gone");
    EXPECT_EQ(MessageOf(std::make_exception_ptr(std::bad_alloc())), "not enough memory");
    EXPECT_EQ(MessageOf(std::make_exception_ptr(std::runtime_error("odd\x1b[2K"))), "odd\\x1b[2K");
    EXPECT_EQ(MessageOf(std::make_exception_ptr(42)), "unknown failure");
}

TEST(EscapeControls, MakesEveryControlCharacterVisible)
{
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"plain text, \xC3\xA9t\xC3\xA9", "plain text, \xC3\xA9t\xC3\xA9"},
        {std::string("\0\t\x1f", 3), "\\x00\\x09\\x1f"},
        {"bell\a del\x7f", "bell\\x07 del\\x7f"},
        {"c1 \xC2\x85 \xC2\x9B end", "c1 \\u0085 \\u009b end"},
        {"nbsp \xC2\xA0 stays", "nbsp \xC2\xA0 stays"},
        {"a lone \xC2", "a lone \xC2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(EscapeControls(c.in), c.out);
    }
}

} // namespace
} // namespace quillery
