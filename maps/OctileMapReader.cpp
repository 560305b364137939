#include "OctileMapReader.h"

#include <climits>
#include <cstdint>
#include <istream>
#include <new>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kMinSide = 3;  // the largest object, 3 x 3 cells, must fit

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string w; in >> w;) result.push_back(w);
    return result;
}

constexpr int kNotANumber = -1;
constexpr int kTooLarge = -2;

// A positive decimal number that fits a map side (an int); kNotANumber or
// kTooLarge otherwise.
int parseSide(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return kNotANumber;
    }
    std::int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > INT_MAX) return kTooLarge;
    }
    return value > 0 ? int(value) : kNotANumber;
}

std::string describe(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x21 && u < 0x7f) return std::string("character '") + c + "'";
    static const char hex[] = "0123456789abcdef";
    return std::string("character 0x") + hex[u >> 4] + hex[u & 15];
}

// Reads lines numbered from 1, without a trailing carriage return, so files
// written on either kind of system read the same.
class LineReader {
  public:
    explicit LineReader(std::istream& in) : in(in) {}
    bool next(std::string& line) {
        if (!std::getline(in, line)) return false;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    int number = 0;

  private:
    std::istream& in;
};

void failure(std::string& error, int line, const std::string& reason) {
    error = "line " + std::to_string(line) + ": " + reason;
}

// The header up to and including "map"; fills width and height, or sets
// `error` and returns false.
bool readHeader(LineReader& lines, int& width, int& height, std::string& error) {
    std::string line;
    if (!lines.next(line) || words(line) != std::vector<std::string>{"type", "octile"}) {
        failure(error, lines.number + (lines.number == 0), "expected \"type octile\"");
        return false;
    }
    width = height = 0;
    while (lines.next(line)) {
        const std::vector<std::string> w = words(line);
        if (w.size() == 1 && w[0] == "map") {
            if (height == 0 || width == 0) {
                failure(error, lines.number, "\"map\" before both height and width");
                return false;
            }
            if (std::int64_t(width) * height > INT_MAX) {
                failure(error, lines.number, "map too large");
                return false;
            }
            if (width < kMinSide || height < kMinSide) {
                failure(error, lines.number, "map smaller than 3 x 3 cells");
                return false;
            }
            return true;
        }
        if (w.size() == 2 && (w[0] == "height" || w[0] == "width")) {
            int& side = w[0] == "height" ? height : width;
            if (side != 0) {
                failure(error, lines.number, w[0] + " given twice");
                return false;
            }
            side = parseSide(w[1]);
            if (side == kTooLarge) {
                failure(error, lines.number, w[0] + " " + w[1] + " is too large for a map");
                return false;
            }
            if (side < 0) {
                failure(error, lines.number, w[0] + " is not a positive number");
                return false;
            }
            continue;
        }
        failure(error, lines.number, "expected \"height H\", \"width W\" or \"map\"");
        return false;
    }
    failure(error, lines.number + 1, "file ends before \"map\"");
    return false;
}

}  // namespace

bool tileFromOctileChar(char c, Grid::Tile& tile) {
    switch (c) {
        case '.':
        case 'G':
        case 'S':
            tile = Grid::GROUND;
            return true;
        case 'W':
            tile = Grid::WATER;
            return true;
        case '@':
        case 'O':
        case 'T':
            tile = Grid::BLOCKED;
            return true;
        default:
            return false;
    }
}

GridPtr parseOctileMap(std::istream& in, std::string& error) {
    LineReader lines(in);
    int width = 0;
    int height = 0;
    if (!readHeader(lines, width, height, error)) return nullptr;
    const int mapLine = lines.number;

    // Tiles are collected before the grid is made, so a header that claims a
    // huge map costs no more memory than the rows the file really has.
    std::vector<Grid::Tile> tiles;
    std::string line;
    for (int y = 0; y < height; ++y) {
        if (!lines.next(line)) {
            failure(
                error, lines.number + 1,
                "file ends after " + std::to_string(y) + " of " + std::to_string(height) + " rows");
            return nullptr;
        }
        if (line.size() != std::size_t(width)) {
            failure(error, lines.number,
                    "row has " + std::to_string(line.size()) + " characters, expected " +
                        std::to_string(width));
            return nullptr;
        }
        for (int x = 0; x < width; ++x) {
            Grid::Tile tile = Grid::GROUND;
            if (!tileFromOctileChar(line[x], tile)) {
                failure(error, lines.number,
                        "unexpected " + describe(line[x]) + " in column " + std::to_string(x + 1));
                return nullptr;
            }
            tiles.push_back(tile);
        }
    }
    while (lines.next(line)) {
        if (line.find_first_not_of(" \t") != std::string::npos) {
            failure(error, lines.number, "more rows than the height " + std::to_string(height));
            return nullptr;
        }
    }

    GridPtr grid;
    try {
        grid = std::make_unique<Grid>(width, height);
    } catch (const std::bad_alloc&) {
        failure(error, mapLine, "map too large");
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grid->setTile(x, y, tiles[std::size_t(y) * width + x]);
        }
    }
    return grid;
}

GridPtr readOctileGrid(std::istream& in, const std::string& name, std::ostream& out) {
    std::string error;
    GridPtr grid = parseOctileMap(in, error);
    if (!grid) {
        out << "Cannot read " << name << ": " << error << '\n';
        return nullptr;
    }
    out << "width=" << grid->getWidth() << " height=" << grid->getHeight() << '\n';
    return grid;
}
