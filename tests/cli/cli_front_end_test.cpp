#include "cli/cli_front_end.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

using std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

// A front end whose clock a test moves by hand.
struct Harness {
    explicit Harness(bool showProgress) : frontEnd(ExtractOptions{}, status, showProgress, [this] { return now; }) {}

    void CaptionAt(int ms, const std::u16string& caption)
    {
        now = TimePoint(milliseconds(ms));
        frontEnd.SetCaption(caption);
    }

    void PhaseAt(int ms, RunPhase phase)
    {
        now = TimePoint(milliseconds(ms));
        frontEnd.EnterPhase(phase);
    }

    std::ostringstream status;
    TimePoint now{};
    CliFrontEnd frontEnd;
};

std::string Drawn(const std::string& caption)
{
    return "\r" + caption + "\x1b[K";
}

TEST(CliFrontEnd, progressCaptions_areDrawnAtMostEveryHundredMilliseconds)
{
    Harness h(true);
    const struct {
        int ms;
        std::u16string caption;
    } steps[] = {
        {0, u"1 entries in 1 ebooks"},   // the first is always drawn
        {50, u"2 entries in 1 ebooks"},  // too soon
        {99, u"3 entries in 1 ebooks"},  // still too soon
        {100, u"4 entries in 2 ebooks"}, // 100 ms after the last drawn
        {150, u"5 entries in 2 ebooks"}, {199, u"6 entries in 2 ebooks"}, {260, u"7 entries in 3 ebooks"},
    };
    for (const auto& step : steps) {
        h.CaptionAt(step.ms, step.caption);
    }
    EXPECT_EQ(h.status.str(),
              Drawn("1 entries in 1 ebooks") + Drawn("4 entries in 2 ebooks") + Drawn("7 entries in 3 ebooks"));
}

TEST(CliFrontEnd, phaseCaptions_areAlwaysDrawn)
{
    Harness h(true);
    h.CaptionAt(0, u"1 entries in 1 ebooks");
    h.PhaseAt(1, RunPhase::sorting);
    h.PhaseAt(2, RunPhase::saving);
    h.CaptionAt(3, u"2 entries in 1 ebooks");
    EXPECT_EQ(h.status.str(), Drawn("1 entries in 1 ebooks") + Drawn("Sorting..") + Drawn("Saving.."));
}

TEST(CliFrontEnd, endStatusLine_endsADrawnLineOnce)
{
    Harness h(true);
    h.frontEnd.EndStatusLine();
    EXPECT_EQ(h.status.str(), "");
    h.PhaseAt(0, RunPhase::saving);
    h.frontEnd.EndStatusLine();
    h.frontEnd.EndStatusLine();
    EXPECT_EQ(h.status.str(), Drawn("Saving..") + "\n");
    // A caption after the line end starts a new line at once.
    h.CaptionAt(1, u"9 entries in 1 ebooks");
    EXPECT_EQ(h.status.str(), Drawn("Saving..") + "\n" + Drawn("9 entries in 1 ebooks"));
}

TEST(CliFrontEnd, withoutProgress_nothingIsWritten)
{
    Harness h(false);
    h.CaptionAt(0, u"1 entries in 1 ebooks");
    h.PhaseAt(500, RunPhase::sorting);
    h.PhaseAt(900, RunPhase::saving);
    h.frontEnd.EndStatusLine();
    EXPECT_EQ(h.status.str(), "");
}

TEST(CliFrontEnd, captionsAreWrittenAsUtf8)
{
    Harness h(true);
    h.CaptionAt(0, u"Caf\u00e9 \u2014 1");
    EXPECT_EQ(h.status.str(), Drawn("Caf\xC3\xA9 \xE2\x80\x94 1"));
}

} // namespace
} // namespace quillery::test
