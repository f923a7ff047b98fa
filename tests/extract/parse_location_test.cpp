#include "extract/parse_location.h"

#include "extract/run_error.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace quillery {
namespace {

TEST(ParseLocation, ReadsTheLeadingNumber)
{
    const struct {
        std::u16string text;
        std::int32_t expected;
    } cases[] = {
        {u"1234", 1234},
        {u"1", 1},
        {u"", 0},
        {u"abc", 0},
        {u"-", 0},
        {u"+", 0},
        {u" 17 ", 17},
        {u"1 2 3", 123},
        {u"\t4\n5", 45},
        {u"1,234", 1},
        {u"12-3", 12},
        {u"-7", -7},
        {u"+8", 8},
        {u"2.5", 2},
        {u"3.5", 4},
        {u"-2.5", -2},
        {u"2.51", 3},
        {u".5", 0},
        {u"1.", 1},
        {u"1E3", 1000},
        {u"1e2", 100},
        {u"1E", 1},
        {u"1E+", 1},
        {u"15E-1", 2},
        {u"2147483647", 2147483647},
        {u"-2147483648", -2147483648},
        {u"00012", 12},
        {u"1\u00e92", 1},
        // Too close to 0 for a double: 0, however far.
        {u"1e-400", 0},
        {u"-1e-400", 0},
        {u"0.000001e-320", 0},
        {u"5e-99999999999999999999999", 0},
        {u"+.5e1", 5},
        {u"123456789e-400", 0},
        {u"0e999999", 0},
        {u"0." + std::u16string(400, u'0') + u"1e50", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(ParseLocation(c.text), c.expected);
    }
}

TEST(ParseLocation, ValuesOutsideThirtyTwoBitsFail)
{
    for (const std::u16string& text :
         std::vector<std::u16string>{u"2147483648", u"-2147483649", u"1e309", u"-1e309", u"2147483647.5",
                                     u"1234567890123456789012345678901234567890", u"0.001e99999999999999999999",
                                     u"1" + std::u16string(400, u'0') + u"e-50"}) {
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

// Sets LC_NUMERIC for the life of the object; `ok` says whether the locale
// exists here.
class ScopedNumericLocale {
  public:
    explicit ScopedNumericLocale(const char* name) : saved_(std::setlocale(LC_NUMERIC, nullptr))
    {
        ok = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~ScopedNumericLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    ScopedNumericLocale(const ScopedNumericLocale&) = delete;
    ScopedNumericLocale& operator=(const ScopedNumericLocale&) = delete;

    bool ok = false;

  private:
    std::string saved_;
};

TEST(ParseLocation, TheDecimalPointIsAPointInAnyLocale)
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        const ScopedNumericLocale locale(name);
        if (!locale.ok) {
            continue;
        }
        ASSERT_STREQ(std::localeconv()->decimal_point, ",") << name;
        const struct {
            std::u16string text;
            std::int32_t expected;
        } cases[] = {{u"13.5", 14}, {u"12.5", 12}, {u"2.51", 3}, {u"1,5", 1}, {u"15E-1", 2}, {u"-0.5", 0}};
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(name) + ": " + std::string(c.text.begin(), c.text.end()));
            EXPECT_EQ(ParseLocation(c.text), c.expected);
        }
        return;
    }
    GTEST_SKIP() << "no locale with a decimal comma is installed (de_DE.UTF-8 or fr_FR.UTF-8)";
}

} // namespace
} // namespace quillery
