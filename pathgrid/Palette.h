#pragma once

#include <cstdint>

#include "Grid.h"

// Tile colours as GL takes them, indexed by Tile.
constexpr float colors[3][3] = {
    {0.0f, 0.5f, 0.0f},    // GROUND
    {0.0f, 0.0f, 0.5f},    // WATER
    {0.25f, 0.25f, 0.25f}  // BLOCKED
};

// The viewer's colours as bytes, for pictures composed pixel by pixel: what
// Mesa makes of the GL colours 0.5 and 0.25 in an 8-bit frame buffer (it
// truncates), so small and large cells show the same colours.
struct Rgb8 {
    std::uint8_t r, g, b;
    bool operator==(const Rgb8&) const = default;
};

constexpr Rgb8 kTileRgb[3] = {{0, 127, 0}, {0, 0, 127}, {63, 63, 63}};
constexpr Rgb8 kYellowRgb{255, 255, 0};

// What the search expanded: the tile mixed half and half with magenta, so the
// tile type stays readable under it and it differs from every overlay colour.
constexpr Rgb8 tinted(Rgb8 c) {
    return {static_cast<std::uint8_t>((c.r + 255) / 2), static_cast<std::uint8_t>(c.g / 2),
            static_cast<std::uint8_t>((c.b + 255) / 2)};
}
