// The C++ answers the Python module is compared with: for a map file and
// queries "size x1 y1 x2 y2" on stdin, one line per query of whether the
// positions are connected (0 or 1) and the costs of both searches.

#include <iostream>
#include <sstream>
#include <string>

#include "Grid.h"
#include "MapLoader.h"

namespace {

// A bad query is the test's own fault; say so rather than trip an assertion.
bool fits(const Grid& grid, int size, int x, int y) {
    return size >= 0 && size <= 2 && x >= 0 && y >= 0 && x + size < grid.getWidth() &&
           y + size < grid.getHeight();
}

bool uniform(const Grid& grid, int size, int x, int y) {
    for (int j = y; j <= y + size; ++j)
        for (int i = x; i <= x + size; ++i)
            if (grid.getTile(i, j) != grid.getTile(x, y)) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: grid_answers MAP < queries\n";
        return 2;
    }
    std::ostringstream messages;
    const GridPtr grid = loadMapFile(argv[1], messages);
    if (!grid) {
        std::cerr << messages.str();
        return 1;
    }
    Grid::Path path;
    for (int size, x1, y1, x2, y2; std::cin >> size >> x1 >> y1 >> x2 >> y2;) {
        if (!fits(*grid, size, x1, y1) || !fits(*grid, size, x2, y2) ||
            !uniform(*grid, size, x1, y1)) {
            std::cerr << "bad query " << size << ' ' << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2
                      << '\n';
            return 1;
        }
        std::cout << grid->isConnected(size, x1, y1, x2, y2) << ' '
                  << grid->findShortestPath(size, x1, y1, x2, y2, path) << ' '
                  << grid->findJumpPointPath(size, x1, y1, x2, y2, path) << '\n';
    }
    return 0;
}
