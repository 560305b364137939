#pragma once

#include <iosfwd>
#include <optional>

#include "RouteSearch.h"

// What the viewer's command line asks for.
struct ViewerArguments {
    const char* mapFile = "map.bmp";
    bool info = false;                        // --info: the info line from the start
    RouteSearch search = RouteSearch::EXACT;  // --search exact|jump
};

// Reads the command line once the window system's own options (-display NAME,
// -geometry WxH+X+Y, -direct, -indirect, -iconic, -gldebug, -sync) are set
// aside: "map.bmp" when no map is named. Empty when the program should end at
// once, with `exitStatus` set: after -h or --help (the usage, with every key
// and mouse action, on `out`, status 0) or when more than one map is named,
// --search lacks a known search or an option is unknown (the usage on `err`,
// status 255). Needs no display, so a bad argument is answered
// before a window exists.
std::optional<ViewerArguments> parseViewerArguments(int argc, char** argv, std::ostream& out,
                                                    std::ostream& err, int& exitStatus);
