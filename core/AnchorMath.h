// Arithmetic of anchored dialog layouts: how far each edge of a control moves when its dialog
// grows. A control is anchored by four percentages, one per edge; each edge moves by that share
// of the dialog's growth in its direction (left and right of the horizontal growth, top and
// bottom of the vertical growth).
#pragma once

#include <cstdint>

// Which directions a resizable dialog may grow in.
enum ResizeFlags : std::uint32_t {
    ResizeHorizontal = 1u << 0,
    ResizeVertical = 1u << 1,
};

// How a control follows the dialog's growth in one direction. Any other value counts as
// AnchorFixed.
enum AnchorMode : int {
    AnchorFixed = 0,    // stays where it is
    AnchorStretch = 1,  // the far edge follows the dialog: the control grows
    AnchorFollow = 2,   // both edges follow: the control moves, keeping its size
    AnchorCenter = 3,   // both edges move by half the growth
};

struct AnchorPercents {
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    std::uint8_t top = 0;
    std::uint8_t bottom = 0;

    // A control whose edges all stay put needs no anchor.
    constexpr bool MovesAnything() const { return left != 0 || right != 0 || top != 0 || bottom != 0; }
};

// A rectangle in the dialog's client coordinates.
struct AnchorRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct EdgePercents {
    std::uint8_t nearEdge;  // left or top
    std::uint8_t farEdge;   // right or bottom
};

constexpr EdgePercents EdgePercentsFor(int mode)
{
    switch (mode) {
    case AnchorStretch: return {0, 100};
    case AnchorFollow: return {100, 100};
    case AnchorCenter: return {50, 50};
    default: return {0, 0};
    }
}

constexpr AnchorPercents AnchorPercentsFor(int horizontalMode, int verticalMode)
{
    const EdgePercents h = EdgePercentsFor(horizontalMode);
    const EdgePercents v = EdgePercentsFor(verticalMode);
    AnchorPercents percents;
    percents.left = h.nearEdge;
    percents.right = h.farEdge;
    percents.top = v.nearEdge;
    percents.bottom = v.farEdge;
    return percents;
}

// The growth of one client dimension over its initial size; a smaller size counts as no growth,
// so controls never move past their registered place.
constexpr std::int32_t LayoutGrowth(std::int32_t currentSize, std::int32_t initialSize)
{
    return currentSize > initialSize ? currentSize - initialSize : 0;
}

// Where a control registered at origin stands after a growth of (dx, dy). Every share is
// truncated toward zero and taken from origin, so repeated resizing never accumulates rounding.
constexpr AnchorRect AnchoredRect(const AnchorRect& origin, const AnchorPercents& percents,
                                  std::int32_t dx, std::int32_t dy)
{
    AnchorRect placed;
    placed.left = origin.left + dx * percents.left / 100;
    placed.right = origin.right + dx * percents.right / 100;
    placed.top = origin.top + dy * percents.top / 100;
    placed.bottom = origin.bottom + dy * percents.bottom / 100;
    return placed;
}
