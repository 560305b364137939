// The Python module `gridlib`: the tile-map Grid with NumPy arrays in and out,
// and a batch of path costs searched on several threads without the GIL.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <exception>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FileAccess.h"
#include "Grid.h"
#include "MapLoader.h"

namespace py = pybind11;

namespace {

// Every precondition Grid asserts is checked here first and becomes a
// ValueError: an assertion would take the whole Python process down.
[[noreturn]] void refuse(const std::string& message) {
    throw py::value_error(message);
}

std::string cell(long long x, long long y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::string mapName(const Grid& grid) {
    return std::to_string(grid.getWidth()) + " x " + std::to_string(grid.getHeight()) + " map";
}

void checkSize(long long size) {
    if (size < 0 || size > 2)
        refuse("size " + std::to_string(size) + " is not 0 (1x1), 1 (2x2) or 2 (3x3)");
}

void checkSides(long long width, long long height) {
    if (width <= 0 || height <= 0)
        refuse("width and height must be positive, got " + std::to_string(width) + " x " +
               std::to_string(height));
    if (width * height > INT_MAX)
        refuse("a " + std::to_string(width) + " x " + std::to_string(height) +
               " map has more than " + std::to_string(INT_MAX) + " cells");
}

void checkCell(const Grid& grid, long long x, long long y) {
    if (x < 0 || x >= grid.getWidth() || y < 0 || y >= grid.getHeight())
        refuse("cell " + cell(x, y) + " is outside the " + mapName(grid));
}

template <class T>
void checkTile(T tile, const std::string& where) {
    if (tile != T(0) && tile != T(1) && tile != T(2))
        refuse("tile " + std::to_string(tile) + where +
               " is not 0 (GROUND), 1 (WATER) or 2 (BLOCKED)");
}

// `role` is "start" or "goal"; `prefix` names the query in a batch.
void checkPlace(const Grid& grid, const std::string& prefix, const char* role, long long size,
                long long x, long long y) {
    if (x < 0 || y < 0 || x + size >= grid.getWidth() || y + size >= grid.getHeight())
        refuse(prefix + role + " " + cell(x, y) + " with size " + std::to_string(size) +
               " leaves the " + mapName(grid));
}

void checkUniformStart(const Grid& grid, const std::string& prefix, int size, int x, int y) {
    const Grid::Tile tile = grid.getTile(x, y);
    for (int j = y; j <= y + size; ++j)
        for (int i = x; i <= x + size; ++i)
            if (grid.getTile(i, j) != tile)
                refuse(prefix + "start " + cell(x, y) + " with size " + std::to_string(size) +
                       " covers more than one tile type");
}

void checkSearch(const Grid& grid, const std::string& prefix, long long size, long long x1,
                 long long y1, long long x2, long long y2) {
    checkSize(size);
    checkPlace(grid, prefix, "start", size, x1, y1);
    checkPlace(grid, prefix, "goal", size, x2, y2);
    checkUniformStart(grid, prefix, int(size), int(x1), int(y1));
}

// An array's values as T, converted only when its dtype is not T already.
template <class T>
using Values = py::array_t<T, py::array::forcecast>;

// Nested lists are as welcome as arrays; numpy.asarray makes them one.
py::array asArray(const py::object& values) {
    return py::module_::import("numpy").attr("asarray")(values).cast<py::array>();
}

void checkIntegerArray(const py::array& array, const char* what) {
    const char kind = array.dtype().kind();
    if (kind != 'i' && kind != 'u')
        refuse(std::string(what) + " must hold integers, got dtype " +
               py::str(array.dtype()).cast<std::string>());
}

template <class T>
std::unique_ptr<Grid> gridFromValues(const py::array& array) {
    const auto values = Values<T>::ensure(array);
    const auto v = values.template unchecked<2>();
    const int height = int(v.shape(0));
    const int width = int(v.shape(1));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) checkTile(v(y, x), " at " + cell(x, y));
    auto grid = std::make_unique<Grid>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) grid->setTile(x, y, Grid::Tile(v(y, x)));
    return grid;
}

// The Python object. `searching` counts path_costs calls reading the grid
// with the GIL released; set_tile must not write under them. Only touched
// with the GIL held, so a plain int does.
struct PyGrid {
    std::unique_ptr<Grid> grid;
    int searching = 0;
};

std::unique_ptr<PyGrid> wrap(std::unique_ptr<Grid> grid) {
    auto result = std::make_unique<PyGrid>();
    result->grid = std::move(grid);
    return result;
}

std::unique_ptr<PyGrid> makeFromSides(long long width, long long height) {
    checkSides(width, height);
    return wrap(std::make_unique<Grid>(int(width), int(height)));
}

std::unique_ptr<PyGrid> makeFromArray(const py::object& values) {
    const py::array array = asArray(values);
    if (array.ndim() != 2)
        refuse("a tile array needs 2 dimensions (height, width), got " +
               std::to_string(array.ndim()));
    checkSides(array.shape(1), array.shape(0));
    checkIntegerArray(array, "a tile array");
    // Other integer types are widened; uint8, the dtype of tiles(), is read in place.
    const char kind = array.dtype().kind();
    if (kind == 'u' && array.dtype().itemsize() == 1)
        return wrap(gridFromValues<std::uint8_t>(array));
    return wrap(kind == 'i' ? gridFromValues<std::int64_t>(array)
                            : gridFromValues<std::uint64_t>(array));
}

std::unique_ptr<PyGrid> load(const py::object& path) {
    const std::string name = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
    if (name.find('\0') != std::string::npos) refuse("a map path cannot hold a NUL character");
    std::ostringstream out;
    std::unique_ptr<Grid> grid;
    bool opens = true;
    {
        py::gil_scoped_release release;
        grid = loadMapFile(name.c_str(), out);
        // The loader's line tells people why; whether the file opens at all
        // tells Python which error it is, OSError or ValueError.
        std::ifstream file;
        std::string reason;
        if (!grid) opens = openInput(name.c_str(), file, reason);
    }
    if (grid) return wrap(std::move(grid));
    std::string message = out.str();
    while (!message.empty() && message.back() == '\n') message.pop_back();
    if (!opens) {
        PyErr_SetString(PyExc_OSError, message.c_str());
        throw py::error_already_set();
    }
    refuse(message);
}

py::array_t<std::uint8_t> tiles(const PyGrid& self) {
    const Grid& grid = *self.grid;
    py::array_t<std::uint8_t> result({grid.getHeight(), grid.getWidth()});
    auto r = result.mutable_unchecked<2>();
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x) r(y, x) = grid.getTile(x, y);
    return result;
}

void setTile(PyGrid& self, int x, int y, long long tile) {
    checkCell(*self.grid, x, y);
    checkTile(tile, "");
    if (self.searching > 0)
        throw std::runtime_error("set_tile while path_costs searches this grid in another thread");
    self.grid->setTile(x, y, Grid::Tile(tile));
}

using Search = int (Grid::*)(int, int, int, int, int, Grid::Path&) const;

// The route as positions, start and goal included, from the steps.
template <Search search>
py::tuple findPath(const PyGrid& self, int size, int x1, int y1, int x2, int y2) {
    checkSearch(*self.grid, "", size, x1, y1, x2, y2);
    Grid::Path path;
    const int cost = (self.grid.get()->*search)(size, x1, y1, x2, y2, path);
    py::list route;
    if (cost >= 0) {
        route.append(py::make_tuple(x1, y1));
        for (Grid::Direction d : path) {
            x1 += Grid::stepDx(d);
            y1 += Grid::stepDy(d);
            route.append(py::make_tuple(x1, y1));
        }
    }
    return py::make_tuple(cost, route);
}

// The cores this process may run on, which a container or taskset can make
// fewer than the machine has.
int usableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

py::array_t<std::int64_t> pathCosts(PyGrid& self, const py::object& queryValues, int size,
                                    const std::string& search, int threads) {
    const Grid& grid = *self.grid;
    const py::array queries = asArray(queryValues);
    checkSize(size);
    if (search != "exact" && search != "jump")
        refuse("search must be \"exact\" or \"jump\", got \"" + search + "\"");
    if (threads < 0)
        refuse("threads must be 0 (all usable cores) or more, got " + std::to_string(threads));
    if (queries.ndim() != 2 || queries.shape(1) != 4) {
        std::string shape;
        for (py::ssize_t i = 0; i < queries.ndim(); ++i)
            shape += (i ? ", " : "") + std::to_string(queries.shape(i));
        refuse("queries need shape (N, 4) of x1, y1, x2, y2, got (" + shape + ")");
    }
    checkIntegerArray(queries, "queries");
    const auto values = Values<std::int64_t>::ensure(queries);
    const auto q = values.unchecked<2>();
    const py::ssize_t count = q.shape(0);
    for (py::ssize_t i = 0; i < count; ++i)
        checkSearch(grid, "query " + std::to_string(i) + ": ", size, q(i, 0), q(i, 1), q(i, 2),
                    q(i, 3));

    py::array_t<std::int64_t> result(count);
    std::int64_t* const costs = result.mutable_data();
    const Search jump = &Grid::findJumpPointPath, exact = &Grid::findShortestPath;
    const Search find = search == "jump" ? jump : exact;
    const int workers = int(
        std::min<py::ssize_t>(threads ? threads : usableCores(), std::max<py::ssize_t>(count, 1)));

    ++self.searching;
    std::exception_ptr failure;
    {
        py::gil_scoped_release release;
        // Queries are handed out one at a time: their costs differ by orders
        // of magnitude, so fixed shares would leave threads idle.
        std::atomic<py::ssize_t> next{0};
        std::mutex failureLock;
        auto work = [&] {
            try {
                Grid::Path path;
                for (py::ssize_t i; (i = next.fetch_add(1)) < count;) {
                    const int x1 = int(q(i, 0)), y1 = int(q(i, 1)), x2 = int(q(i, 2)),
                              y2 = int(q(i, 3));
                    costs[i] = grid.isConnected(size, x1, y1, x2, y2)
                                   ? (grid.*find)(size, x1, y1, x2, y2, path)
                                   : -1;
                }
            } catch (...) {
                const std::lock_guard lock(failureLock);
                if (!failure) failure = std::current_exception();
                next = count;
            }
        };
        try {
            std::vector<std::jthread> pool;
            for (int t = 1; t < workers; ++t) pool.emplace_back(work);
            work();
        } catch (...) {  // a thread that could not start; the started ones are joined
            failure = std::current_exception();
        }
    }
    --self.searching;
    if (failure) std::rethrow_exception(failure);
    return result;
}

}  // namespace

PYBIND11_MODULE(gridlib, m) {
    m.doc() =
        "Tile maps for square objects of 1x1, 2x2 or 3x3 cells (size 0, 1 or 2): whether two\n"
        "positions are connected and the cheapest eight-direction route between them.\n"
        "Cells are (x, y), x growing east and y growing south; an object's position is the\n"
        "top-left cell of its footprint. A straight step costs 100, a diagonal one 142.\n"
        "Arguments the library could not take raise ValueError; none stops the interpreter.";
    m.attr("GROUND") = int(Grid::GROUND);
    m.attr("WATER") = int(Grid::WATER);
    m.attr("BLOCKED") = int(Grid::BLOCKED);

    py::class_<PyGrid>(
        m, "Grid",
        "A rectangular map of GROUND (0), WATER (1) and BLOCKED (2) tiles. An object of size\n"
        "s covers (s+1) x (s+1) cells from its position, the top-left one, and moves only\n"
        "over cells of the tile type it starts on, cutting no corner.")
        .def(py::init(&makeFromSides), py::arg("width"), py::arg("height"),
             "An all-GROUND map. ValueError unless both sides are positive and width * height\n"
             "is at most 2147483647.")
        .def(py::init(&makeFromArray), py::arg("tiles"),
             "A map from a 2-D integer array (or nested lists) of shape (height, width),\n"
             "tiles[y, x] being the tile at (x, y). ValueError for another number of\n"
             "dimensions, an empty side, a non-integer dtype or a value other than 0, 1, 2.")
        .def_static("load", &load, py::arg("path"),
                    "Reads an octile .map or a .bmp file (24-bit, 32-bit or 8-bit palette; str,\n"
                    "bytes or path-like).\n"
                    "OSError when the file cannot be opened, ValueError when it holds no valid\n"
                    "map; the message is the loader's \"Cannot read <path>: <reason>\".")
        .def_property_readonly(
            "width", [](const PyGrid& g) { return g.grid->getWidth(); },
            "Number of columns; x runs from 0 (west) to width - 1.")
        .def_property_readonly(
            "height", [](const PyGrid& g) { return g.grid->getHeight(); },
            "Number of rows; y runs from 0 (north) to height - 1.")
        .def(
            "tile",
            [](const PyGrid& g, int x, int y) {
                checkCell(*g.grid, x, y);
                return int(g.grid->getTile(x, y));
            },
            py::arg("x"), py::arg("y"),
            "The tile (0, 1 or 2) at cell (x, y). ValueError for a cell outside the map.")
        .def("set_tile", &setTile, py::arg("x"), py::arg("y"), py::arg("tile"),
             "Changes cell (x, y) to tile 0, 1 or 2. ValueError for a cell outside the map or\n"
             "another tile value; RuntimeError while path_costs searches this grid in another\n"
             "thread.")
        .def("tiles", &tiles, "A uint8 copy of the map, shape (height, width), indexed [y, x].")
        .def(
            "is_connected",
            [](const PyGrid& g, int size, int x1, int y1, int x2, int y2) {
                checkSize(size);
                checkPlace(*g.grid, "", "start", size, x1, y1);
                checkPlace(*g.grid, "", "goal", size, x2, y2);
                return g.grid->isConnected(size, x1, y1, x2, y2);
            },
            py::arg("size"), py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"),
            "Whether an object of `size` at start (x1, y1) can reach goal (x2, y2), both the\n"
            "top-left cells of its footprint. False when the start's footprint covers more\n"
            "than one tile type. ValueError for a size other than 0, 1, 2 or a footprint\n"
            "reaching outside the map.")
        .def("find_shortest_path", &findPath<&Grid::findShortestPath>, py::arg("size"),
             py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"),
             "The cheapest route (A*) of an object of `size` from (x1, y1) to (x2, y2), as\n"
             "(cost, route): 100 per straight and 142 per diagonal step, route being every\n"
             "position from start to goal inclusive. (0, [(x1, y1)]) when start is goal,\n"
             "(-1, []) when the goal is unreachable. ValueError for a size other than 0, 1, 2,\n"
             "a footprint reaching outside the map, or a start footprint of mixed tiles.")
        .def("find_jump_point_path", &findPath<&Grid::findJumpPointPath>, py::arg("size"),
             py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"),
             "find_shortest_path's answer by jump point search, usually far faster on open\n"
             "maps: the same cost; the route may be another of the cheapest ones. Same\n"
             "arguments, results and errors.")
        .def("path_costs", &pathCosts, py::arg("queries"), py::arg("size") = 0,
             py::arg("search") = "exact", py::arg("threads") = 0,
             "The costs of many routes for objects of `size`, as an int64 array in the order\n"
             "of `queries`, an (N, 4) integer array of rows x1, y1, x2, y2; -1 for an\n"
             "unreachable goal. `search` is \"exact\" (A*) or \"jump\" (jump point search);\n"
             "the answers are the same. `threads` 0 uses every core the process may run on;\n"
             "the GIL is released while they search. Every query is checked first, and\n"
             "ValueError names the first bad row, with the errors of find_shortest_path.");
}
