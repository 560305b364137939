#pragma once

// The map file named on the command line once the window system's own options
// (-display NAME, -geometry WxH+X+Y, -direct, -indirect, -iconic, -gldebug,
// -sync) are set aside: "map.bmp" when none is named, null when more than one
// is. Needs no display, so a bad argument is reported before a window exists.
const char* mapFileArgument(int argc, char** argv);
