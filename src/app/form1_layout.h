#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quillery {

// A control's place in the window's client area, in twips (1/1440 inch).
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlPlace {
    std::string_view name;
    TwipsRect twips;
};

inline constexpr int kClientWidthTwips = 7920;
inline constexpr int kClientHeightTwips = 765;
inline constexpr std::size_t kForm1ControlCount = 10;

// The controls of Form1 in their tab order.
inline constexpr std::array<ControlPlace, kForm1ControlCount> kForm1Places{{
    {"path", {120, 120, 6560, 285}},
    {"browse", {6720, 120, 255, 255}},
    {"Label1", {120, 480, 495, 255}},
    {"highlights", {720, 480, 975, 255}},
    {"notes", {1800, 480, 975, 255}},
    {"bookmarks", {2640, 480, 1095, 255}},
    {"keeplocs", {4680, 480, 1335, 255}},
    {"sort", {4080, 480, 615, 255}},
    {"go", {7080, 120, 735, 600}},
    {"fixANSI", {6120, 480, 975, 255}},
}};

// The place of the named control; throws std::out_of_range for another name.
const TwipsRect& PlaceOf(std::string_view name);

// Twips as pixels at `dotsPerInch`, to the nearest pixel: 15 twips a pixel
// at 96 dots per inch.
int TwipsToPixels(int twips, int dotsPerInch);

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    bool operator==(const PixelRect&) const = default;
};

struct Form1Pixels {
    std::array<PixelRect, kForm1ControlCount> controls; // in the order of kForm1Places
    int clientWidth = 0;
    int clientHeight = 0;
};

// The window's layout in pixels at a resolution. `captionWidths` holds, for
// each control of kForm1Places, the pixels its caption needs from the
// control's left edge (0 for none). The layout is the twips table, except
// where a caption needs more: that control is widened, and a control that
// would then start inside it in the same row moves right to where the caption
// ends, the window growing with the row. A font no wider than the one the
// table was made for gives the table exactly.
Form1Pixels PlaceControls(int dpiX, int dpiY, const std::array<int, kForm1ControlCount>& captionWidths);

} // namespace quillery
