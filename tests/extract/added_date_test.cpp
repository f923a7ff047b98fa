#include "extract/added_date.h"

#include <gtest/gtest.h>

#include <utility>

namespace quillery::test {
namespace {

// A date that cannot be, or is not all there, gives 0 rather than a guess.
TEST(AddedDateTest, invalidOrIncompleteDates_giveZero)
{
    const char* const dates[] = {
        " Added on Tuesday, Smarch 9, 2016 8:42:52 AM",
        " Added on Tuesday, 9 2016 8:42:52",
        " Added on Friday, February 30, 2024 8:42:52 AM",
        " Added on Friday, February 29, 2023 8:42:52 AM",
        " Added on Friday, February 29, 1900 8:42:52 AM",
        " Added on Friday, February 0, 2024 8:42:52 AM",
        " Added on Friday, February 9, 2024 25:42:52",
        " Added on Friday, February 9, 2024 13:42:52 PM",
        " Added on Friday, February 9, 2024 8:60:52 AM",
        " Added on Friday, February 9, 2024 8:42:60 AM",
        " Added on Friday, February 9, 2024",
        " Added on Friday, February 9, 2024 99999999999999999999:00",
        " Added on Friday, February 9, 99999999999999999999 8:42:52 AM",
        " Added on Friday, February 9, 1, 2024 8:42:52 AM",
        " Added on Friday, February March 9, 2024 8:42:52 AM",
        " Added on Monday",
        " ",
        "",
        " 添加于 2023年13月9日星期四 下午6:36:38",
        " 添加于 2023年2月9日9日 下午6:36:38",
        " 添加于 2023年2月星期四 下午6:36:38",
        " 添加于 2023年2月9日 7 下午6:36:38",
        " 添加于 2023年2月9日 March 下午6:36:38",
    };
    for (const char* date : dates) {
        SCOPED_TRACE(date);
        EXPECT_EQ(ReadAddedDate(date), 0);
    }
}

TEST(AddedDateTest, leapDaysAndClockEdges_areRead)
{
    const std::pair<const char*, std::int64_t> cases[] = {
        {"Added on Thursday, February 29, 2024 12:00:00 AM", 20240229000000},
        {"Added on Tuesday, February 29, 2000 11:59:59 PM", 20000229235959},
        {"Added on Sunday, 31 December 2023 23:59:59", 20231231235959},
        {"Added on Monday, 1 January 2024 0:00:00", 20240101000000},
        {"Added on Monday, 1 January 24 0:00", 20240101000000},
    };
    for (const auto& [date, added] : cases) {
        SCOPED_TRACE(date);
        EXPECT_EQ(ReadAddedDate(date), added);
    }
}

TEST(AddedDateTest, addedIso_writesTheDateOrNothing)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {20240822181053, "2024-08-22T18:10:53"},
        {20000101000000, "2000-01-01T00:00:00"},
        {99991231235959, "9999-12-31T23:59:59"},
        {0, ""},
        {-5, ""},
    };
    for (const auto& [added, iso] : cases) {
        SCOPED_TRACE(added);
        EXPECT_EQ(AddedIso(added), iso);
    }
}

} // namespace
} // namespace quillery::test
