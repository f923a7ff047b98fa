#include "extract/parse_location.h"

#include "extract/run_error.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

TEST(ParseLocation, ReadsTheLeadingNumber)
{
    const struct {
        std::u16string text;
        std::int32_t expected;
    } cases[] = {
        {u"1234", 1234},     {u"1", 1},           {u"", 0},           {u"abc", 0},        {u"-", 0},
        {u"+", 0},           {u" 17 ", 17},       {u"1 2 3", 123},    {u"\t4\n5", 45},    {u"1,234", 1},
        {u"12-3", 12},       {u"-7", -7},         {u"+8", 8},         {u"2.5", 2},        {u"3.5", 4},
        {u"-2.5", -2},       {u"2.51", 3},        {u".5", 0},         {u"1.", 1},         {u"1E3", 1000},
        {u"1e2", 100},       {u"1E", 1},          {u"1E+", 1},        {u"15E-1", 2},      {u"2147483647", 2147483647},
        {u"-2147483648", -2147483648}, {u"00012", 12}, {u"1\u00e92", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(ParseLocation(c.text), c.expected);
    }
}

TEST(ParseLocation, ValuesOutsideThirtyTwoBitsFail)
{
    for (const std::u16string text : {u"2147483648", u"-2147483649", u"1e309", u"2147483647.5",
                                      u"1234567890123456789012345678901234567890"}) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        try {
            ParseLocation(text);
            ADD_FAILURE() << "no failure";
        } catch (const RunError& error) {
            EXPECT_NE(std::string(error.what()).find("is outside the range -2147483648 to 2147483647"),
                      std::string::npos)
                << error.what();
        }
    }
}

} // namespace
} // namespace quillery
