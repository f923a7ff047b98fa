#include "extract/dkx_text_window.h"

#include "extract/open_input.h"

#include "util/path_text.h"
#include "util/text_encoding.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace quillery::test {
namespace {

// After the padding: valid sequences of each length, invalid bytes, a cut
// sequence and the tags searched for, so that each lands on a block's end
// for one padding or another.
const std::string kTail = "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xFF\xC3 \xE2\x82<tag>x\xE9</tag>\xF0\x9F";

TEST(DkxTextWindow, ReadsBlockByBlockWhatTheWholeTextHolds)
{
    TempDir dir;
    for (const TextEncoding encoding : {TextEncoding::utf8, TextEncoding::windows1252}) {
        for (std::size_t before = DkxTextWindow::kBlock - kTail.size(); before <= DkxTextWindow::kBlock + 2; ++before) {
            SCOPED_TRACE(std::string(EncodingName(encoding)) + ", " + std::to_string(before) + " bytes before");
            const std::string bytes = std::string(before, 'a') + kTail;
            std::string scratch;
            const std::string whole(KeptText(bytes, encoding, scratch));
            const auto path = dir.Write("text.dkx", bytes);
            const std::u16string name = FromFsPath(path);
            const InputFile file = OpenInput(name);
            DkxTextWindow window(file.get(), name, encoding);

            const std::size_t open = window.Find("<tag>", 0);
            ASSERT_EQ(open, whole.find("<tag>"));
            const std::size_t close = window.Find("</tag>", open + 1);
            ASSERT_EQ(close, whole.find("</tag>"));
            EXPECT_EQ(window.View(open + 5, close), whole.substr(open + 5, close - open - 5));
            EXPECT_EQ(window.Find("<tag>", open + 1), std::string::npos);
            EXPECT_EQ(window.TotalSize(), whole.size());

            window.Restart();
            EXPECT_EQ(window.FindPassing("</tag>", 0), close);
            EXPECT_EQ(window.TotalSize(), whole.size());
        }
    }
}

} // namespace
} // namespace quillery::test
