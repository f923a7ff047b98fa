#include "output/entry_place.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

TEST(EntryPlace, SaysWhatIsKnown)
{
    const struct {
        std::string_view page;
        bool hasLocation;
        std::int32_t start;
        std::int32_t end;
        std::int64_t added;
        std::string expected;
    } cases[] = {
        {"12", true, 1300, 1301, 20240822181053, "p. 12 \u00B7 loc. 1300\u20131301 \u00B7 2024-08-22"},
        {"", true, 241, 241, 0, "loc. 241"},
        {"", true, 241, 0, 0, "loc. 241"},
        {"xiv", false, 0, 0, 0, "p. xiv"},
        {"", false, 0, 0, 20230214051557, "2023-02-14"},
        {"3", false, 0, 0, 20230214051557, "p. 3 \u00B7 2023-02-14"},
        {"", false, 0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        ExportEntry entry;
        entry.page = c.page;
        entry.hasLocation = c.hasLocation;
        entry.locationStart = c.start;
        entry.locationEnd = c.end;
        entry.added = c.added;
        EXPECT_EQ(EntryPlace(entry), c.expected);
    }
}

} // namespace
} // namespace quillery
