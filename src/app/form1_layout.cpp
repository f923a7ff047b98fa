#include "app/form1_layout.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string>

namespace quillery {

namespace {

bool SameRow(const PixelRect& a, const PixelRect& b)
{
    return a.top < b.top + b.height && b.top < a.top + a.height;
}

} // namespace

const TwipsRect& PlaceOf(std::string_view name)
{
    for (const ControlPlace& place : kForm1Places) {
        if (place.name == name) {
            return place.twips;
        }
    }
    throw std::out_of_range("Form1 has no control named " + std::string(name));
}

int TwipsToPixels(int twips, int dotsPerInch)
{
    constexpr long long kTwipsPerInch = 1440;
    const long long scaled = static_cast<long long>(twips) * dotsPerInch;
    // Half a pixel rounds away from zero.
    return static_cast<int>((scaled + (scaled < 0 ? -kTwipsPerInch : kTwipsPerInch) / 2) / kTwipsPerInch);
}

Form1Pixels PlaceControls(int dpiX, int dpiY, const std::array<int, kForm1ControlCount>& captionWidths)
{
    Form1Pixels layout;
    int tableRight = 0;
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        const TwipsRect& t = kForm1Places[i].twips;
        layout.controls[i] = {TwipsToPixels(t.left, dpiX), TwipsToPixels(t.top, dpiY), TwipsToPixels(t.width, dpiX),
                              TwipsToPixels(t.height, dpiY)};
        tableRight = std::max(tableRight, layout.controls[i].right());
    }
    // Left to right, each control clear of the captions before it in its row.
    std::array<std::size_t, kForm1ControlCount> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return layout.controls[a].left < layout.controls[b].left; });
    for (std::size_t n = 0; n < kForm1ControlCount; ++n) {
        PixelRect& control = layout.controls[order[n]];
        for (std::size_t m = 0; m < n; ++m) {
            const PixelRect& before = layout.controls[order[m]];
            if (SameRow(before, control)) {
                control.left = std::max(control.left, before.left + captionWidths[order[m]]);
            }
        }
        control.width = std::max(control.width, captionWidths[order[n]]);
    }
    int right = 0;
    for (const PixelRect& control : layout.controls) {
        right = std::max(right, control.right());
    }
    // The margin right of the controls stays as the table has it.
    layout.clientWidth = TwipsToPixels(kClientWidthTwips, dpiX) + std::max(0, right - tableRight);
    layout.clientHeight = TwipsToPixels(kClientHeightTwips, dpiY);
    return layout;
}

} // namespace quillery
