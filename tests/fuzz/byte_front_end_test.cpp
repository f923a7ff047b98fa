#include "fuzz_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace quillery::fuzz {
namespace {

// The options as six bits, highlights lowest, as the front end answers them.
unsigned Answers(ByteFrontEnd& frontEnd)
{
    unsigned bits = 0;
    for (const ExtractOption option : {ExtractOption::highlights, ExtractOption::notes, ExtractOption::bookmarks,
                                       ExtractOption::sort, ExtractOption::keeplocs, ExtractOption::fixANSI}) {
        bits |= (frontEnd.OptionOn(option) ? 1U : 0U) << static_cast<unsigned>(option);
    }
    return bits;
}

// The fuzzers reach every combination of options only if each input byte
// maps onto them as documented, turning at each yield when bit 7 is set.
TEST(ByteFrontEndTest, OptionsFollowTheInputByte)
{
    const struct {
        std::uint8_t byte;
        unsigned start;
        unsigned afterOneYield;
        unsigned afterSixYields;
    } cases[] = {
        {0x00, 0x00, 0x00, 0x00}, {0x3F, 0x3F, 0x3F, 0x3F}, {0x01, 0x01, 0x01, 0x01},
        {0x48, 0x08, 0x08, 0x08}, // bit 6 picks the file type, not an option
        {0x81, 0x01, 0x02, 0x01}, {0xA0, 0x20, 0x01, 0x20}, {0x85, 0x05, 0x0A, 0x05},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        ByteFrontEnd frontEnd(c.byte, u"in.txt");
        EXPECT_EQ(Answers(frontEnd), c.start);
        frontEnd.Yield();
        EXPECT_EQ(Answers(frontEnd), c.afterOneYield);
        for (int i = 0; i < 5; ++i) {
            frontEnd.Yield();
        }
        EXPECT_EQ(Answers(frontEnd), c.afterSixYields);
    }
}

TEST(ByteFrontEndTest, RequestCarriesThePathAndEncoding)
{
    ByteFrontEnd frontEnd(0, u"in.txt");
    frontEnd.encoding = TextEncoding::utf8;
    EXPECT_EQ(frontEnd.request().path, u"in.txt");
    EXPECT_EQ(frontEnd.requestFor(u"other.dkx").path, u"other.dkx");
    EXPECT_EQ(frontEnd.requestFor(u"other.dkx").encoding, TextEncoding::utf8);
}

} // namespace
} // namespace quillery::fuzz
