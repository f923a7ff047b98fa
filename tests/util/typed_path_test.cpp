#include "util/typed_path.h"

#include "util/path_text.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

TEST(MeantPath, TakesTheTextAsThePathItMeans)
{
    const struct {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"/home/me/My Clippings.txt", u"/home/me/My Clippings.txt"},
        {u"  /home/me/a.txt \t\r\n", u"/home/me/a.txt"},
        {u"/home/me/a b.txt ", u"/home/me/a b.txt"}, // inner blanks stay
        {u"file:///home/me/My%20Clippings.txt", u"/home/me/My Clippings.txt"},
        {u"file:///home/me/My Clippings.txt", u"/home/me/My Clippings.txt"},
        {u"FILE:///x/y.dkx", u"/x/y.dkx"},
        {u"file://localhost/media/KINDLE/documents", u"/media/KINDLE/documents"},
        {u"file:///x/caf%C3%A9.txt", u"/x/caf\u00e9.txt"},
        {u"file:///x/%E9.txt", u"/x/\xDCE9.txt"}, // a Latin-1 byte, kept as the byte
        {u"file:///x/100%.txt", u"/x/100%.txt"},  // no escape: the percent sign itself
        {u"file:///x/a%2", u"/x/a%2"},
        {u"file:///x/%zz", u"/x/%zz"},
        {u"file://server/share/a.txt", u"file://server/share/a.txt"}, // another host: no local path
        {u" file:///x/a.txt\n", u"/x/a.txt"},
        {u"~/My Clippings.txt", u"/home/me/My Clippings.txt"},
        {u"~", u"/home/me"},
        {u"~other/a.txt", u"~other/a.txt"},
        {u"/x/~/a.txt", u"/x/~/a.txt"},
        {u"", u""},
        {u"   ", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        EXPECT_EQ(MeantPath(c.text, u"/home/me"), c.expected);
    }
}

TEST(MeantPath, WithoutAHomeATildeIsKept)
{
    EXPECT_EQ(MeantPath(u"~/a.txt", u""), u"~/a.txt");
}

} // namespace
} // namespace quillery
