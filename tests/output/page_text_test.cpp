#include "output/page_text.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

const std::string kFffd = "\xEF\xBF\xBD";

struct TextCase {
    std::string_view text;
    std::string expected;
};

TEST(PageText, EscapesMarkupAndReplacesWhatAPageMayNotHold)
{
    const TextCase cases[] = {
        {"plain", "plain"},
        {"<a href='x' title=\"y\">&amp;</a>", "&lt;a href=&#39;x&#39; title=&quot;y&quot;&gt;&amp;amp;&lt;/a&gt;"},
        {"tab\tstays", "tab\tstays"},
        {std::string_view("nul\0end", 7), "nul" + kFffd + "end"},
        {"\x01\x1F\x7F", kFffd + kFffd + kFffd},
        {"\xC2\x85 C1", kFffd + " C1"},
        {"\xC2\xA0\xC3\xA9", "\xC2\xA0\xC3\xA9"},
        {"\xEF\xB7\x90 \xEF\xB7\xAF", kFffd + " " + kFffd},
        {"\xEF\xB7\xB0", "\xEF\xB7\xB0"},
        {"\xEF\xBF\xBE\xEF\xBF\xBF", kFffd + kFffd},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"\xF0\x9F\xBF\xBE \xF4\x8F\xBF\xBF", kFffd + " " + kFffd},
        {"cut \xC3", "cut " + kFffd},
        {"\xC0\xAF overlong", kFffd + kFffd + " overlong"},
        {"\xED\xA0\x80", kFffd + kFffd + kFffd},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string out;
        AppendPageText(out, c.text);
        EXPECT_EQ(out, c.expected);
    }
}

TEST(PageText, LineBreaksBecomeBreakElements)
{
    const TextCase cases[] = {
        {"one", "one"},         {"a\r\nb\nc\rd", "a<br>b<br>c<br>d"}, {"a\r\n\r\nb", "a<br><br>b"},
        {"end\r\n", "end<br>"}, {"<x>\n&", "&lt;x&gt;<br>&amp;"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string out;
        AppendPageLines(out, c.text);
        EXPECT_EQ(out, c.expected);
    }
}

} // namespace
} // namespace quillery
