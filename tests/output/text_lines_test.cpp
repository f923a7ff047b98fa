#include "output/text_lines.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

TEST(SplitLines, PartsAtEveryKindOfLineBreak)
{
    using Lines = std::vector<std::string_view>;
    const struct {
        std::string_view text;
        Lines lines;
    } cases[] = {
        {"", {""}},
        {"one", {"one"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"end\r\n", {"end", ""}},
        {"\r\r\n\n", {"", "", "", ""}},
        {"\n\r", {"", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitLines(c.text), c.lines);
    }
}

} // namespace
} // namespace quillery
