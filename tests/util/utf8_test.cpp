#include "util/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace quillery::test {
namespace {

struct CutCase {
    const char* name;
    std::string bytes;
    std::size_t cut;
};

TEST(Utf8CutLength, KeepsOnlyASequenceTheEndCutsShort)
{
    const CutCase cases[] = {
        {"empty", "", 0},
        {"ASCII", "abc", 0},
        {"whole two bytes", "a\xC3\xA9", 0},
        {"whole three bytes", "\xE2\x82\xAC", 0},
        {"whole four bytes", "\xF0\x9F\x98\x80", 0},
        {"two-byte lead alone", "ab\xC3", 1},
        {"three-byte lead alone", "ab\xE2", 1},
        {"three bytes, one missing", "a\xE2\x82", 2},
        {"four bytes, one missing", "\xF0\x9F\x98", 3},
        {"four bytes, two missing", "a\xF0\x9F", 2},
        {"only the lead of four", "a\xF0", 1},
        {"a lone continuation", "a\x80", 0},
        {"three continuations", "\x80\x80\x80", 0},
        {"stray continuations after a whole sequence", "\xC3\xA9\x80\x80", 0},
        {"lead past the last three bytes", "\xF0\x80\x80\x80", 0},
        {"a lead no sequence starts with still waits", "a\xF8", 1},
        {"invalid second byte, lead kept", "\xE0\x41", 0},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8CutLength(c.bytes), c.cut);
    }
}

} // namespace
} // namespace quillery::test
