#pragma once

#include <cstdint>

#include "OctileMapWriter.h"

// Generated maps in the octile text format's characters: '.' ground, 'S'
// swamp (ground too), 'W' water, 'T' trees and '@' rock (both blocked).
// Only raw mt19937 outputs reduced with % are used, so a seed gives the same
// map on every platform and build.

// Rooms on a regular plan, walls one cell thick, with doors 1 to 3 cells
// wide to most neighbours; some rooms hold a pond or a few trees.
OctileRows makeRoomsMap(int width, int height, std::uint32_t seed);

// A perfect maze with corridors `corridor` cells wide and walls one thick.
OctileRows makeMazeMap(int width, int height, int corridor, std::uint32_t seed);

// Open ground with lakes of water, clumps of trees and patches of swamp;
// lakes and patches keep their size in cells whatever the map size, their
// number grows with the area.
OctileRows makeLakesMap(int width, int height, std::uint32_t seed);
