#pragma once

#include <string>
#include <vector>

#include "FrameQueries.h"
#include "Grid.h"
#include "MapView.h"
#include "RouteSearch.h"

// The text of the viewer's info line: the map, the object, the zoom, the cell
// under the pointer, the route search in use ("A*" or "jump") and, with a
// route asked for, what it costs and what the search did to find it.
struct InfoLineState {
    std::string mapName;  // the file name without its folders
    int objectSize = 0;
    int cellX = 0, cellY = 0;                     // the current object's cell
    RouteSearch search = RouteSearch::EXACT;
    const FrameQueries::PathAnswer* path = nullptr;  // path mode only
};

// The info band below the map: kInfoBandLines lines of GLUT's 8 x 13 font,
// kInfoLinePixels apart, in a black band of kInfoBandPixels rows that the
// window gains below the map's area while the band is shown.
constexpr int kInfoBandLines = 2;
constexpr int kInfoLinePixels = 15;
constexpr int kInfoBandPixels = 2 + kInfoLinePixels * kInfoBandLines;

// The band's kInfoBandLines lines of at most `maxChars` characters: the map
// and the pointer's cell above, the search and its route below, and, at the
// right end of the first line with room for it, where the keys and mouse
// actions are listed. The file name goes first, then the map's size; they
// are left out, in that order, when the line is too narrow, so that what
// changes with the pointer stays readable.
std::vector<std::string> formatInfoLine(const Grid& grid, const MapView& view,
                                        const InfoLineState& state, std::size_t maxChars);

// "maps/rooms.map" -> "rooms.map".
std::string baseName(const std::string& path);
