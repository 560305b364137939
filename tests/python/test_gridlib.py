"""The Python module gridlib against the C++ library's own answers: GRID_ANSWERS, given
a map file and queries "size x1 y1 x2 y2", prints "connected exact-cost jump-cost" each."""

import os
import re
import struct
import subprocess
import sys
import threading

import numpy as np
import pytest

import gridlib

ANSWERS = os.environ["GRID_ANSWERS"]
STEP_COSTS = {(dx, dy): 142 if dx and dy else 100
              for dx in (-1, 0, 1) for dy in (-1, 0, 1) if dx or dy}


def random_tiles(rng, height, width, density):
    # Blocks of 4 x 4 cells leave room for 3 x 3 objects; single cells
    # scattered over them make the narrow passages and the mixed footprints.
    coarse = rng.choice(3, size=(height // 4 + 1, width // 4 + 1),
                        p=[1 - density, density / 2, density / 2])
    tiles = np.kron(coarse, np.ones((4, 4), dtype=np.int64))[:height, :width]
    noise = rng.random((height, width)) < density / 3
    tiles[noise] = rng.choice(3, size=int(noise.sum()))
    return tiles


def fits(tiles, size, x, y, tile):
    height, width = tiles.shape
    return (0 <= x and 0 <= y and x + size < width and y + size < height
            and bool((tiles[y:y + size + 1, x:x + size + 1] == tile).all()))


def random_queries(rng, tiles, size, count):
    """Starts where an object fits; the last query's goal is its start."""
    height, width = tiles.shape
    queries = []
    while len(queries) < count:
        x1, x2 = rng.integers(0, width - size, 2)
        y1, y2 = rng.integers(0, height - size, 2)
        if fits(tiles, size, x1, y1, tiles[y1, x1]):
            queries.append((int(x1), int(y1), int(x2), int(y2)))
    return queries + [queries[0][:2] * 2]


def cpp_answers(map_path, size, queries):
    lines = "".join(f"{size} {x1} {y1} {x2} {y2}\n" for x1, y1, x2, y2 in queries)
    out = subprocess.run([ANSWERS, str(map_path)], input=lines, capture_output=True,
                         text=True, check=True).stdout
    return [tuple(int(v) for v in line.split()) for line in out.splitlines()]


def check_route(tiles, size, query, cost, route):
    """Replays the route: single steps over the start's tile, no corner cut."""
    x1, y1, x2, y2 = query
    assert route == [] if cost < 0 else (route[0], route[-1]) == ((x1, y1), (x2, y2))
    total = 0
    for (ax, ay), (bx, by) in zip(route, route[1:]):
        dx, dy = bx - ax, by - ay
        assert (dx, dy) in STEP_COSTS, f"{(ax, ay)} -> {(bx, by)} is no single step"
        total += STEP_COSTS[dx, dy]
        # The cell reached and, on a diagonal, both cells beside the step.
        for x, y in ((bx, by), (ax + dx, ay), (ax, ay + dy)):
            assert fits(tiles, size, x, y, tiles[y1, x1]), f"{(ax, ay)} -> {(bx, by)} leaves"
    assert total == max(cost, 0)


@pytest.mark.parametrize("density,seed", [(0.1, 1), (0.3, 2), (0.5, 3), (0.7, 4)])
def test_answers_equal_the_cpp_ones(tmp_path, density, seed):
    rng = np.random.default_rng(seed)
    tiles = random_tiles(rng, 37, 53, density)  # not square: x and y cannot swap unseen
    map_path = tmp_path / "random.map"
    rows = "".join("".join(".W@"[t] for t in row) + "\n" for row in tiles)
    map_path.write_text(f"type octile\nheight 37\nwidth 53\nmap\n{rows}")
    loaded = gridlib.Grid.load(map_path)
    np.testing.assert_array_equal(loaded.tiles(), tiles)
    connected_seen = set()
    for grid in (gridlib.Grid(tiles), loaded):
        for size in (0, 1, 2):
            queries = random_queries(rng, tiles, size, 40)
            expected = cpp_answers(map_path, size, queries)
            for query, (connected, exact, jump) in zip(queries, expected):
                assert grid.is_connected(size, *query) == bool(connected), query
                for search, want in ((grid.find_shortest_path, exact),
                                     (grid.find_jump_point_path, jump)):
                    cost, route = search(size, *query)
                    assert cost == want, (size, query)
                    check_route(tiles, size, query, cost, route)
                connected_seen.add(connected)
            for search, column in (("exact", 1), ("jump", 2)):
                want = [answer[column] for answer in expected]
                for threads in (1, 2, 4, 0):
                    costs = grid.path_costs(np.array(queries), size, search, threads)
                    assert costs.dtype == np.int64
                    assert costs.tolist() == want, (search, threads)
    # Queries of both kinds, or the comparison proves less than it seems.
    assert connected_seen == {0, 1}
    assert grid.path_costs(np.empty((0, 4), dtype=np.int64)).shape == (0,)


@pytest.mark.parametrize("dtype", [np.uint8, np.int8, np.uint16, np.int32, np.int64, np.uint64])
def test_numpy_round_trip(dtype):
    tiles = np.random.default_rng(7).integers(0, 3, size=(6, 9)).astype(dtype)
    for source in (tiles, tiles[::-1, ::2], tiles.T, tiles.tolist()):  # views and lists too
        expected = np.asarray(source)
        grid = gridlib.Grid(source)
        assert (grid.height, grid.width) == expected.shape
        assert grid.tiles().dtype == np.uint8
        np.testing.assert_array_equal(grid.tiles(), expected)
        assert grid.tile(1, 2) == expected[2, 1]
    grid = gridlib.Grid(tiles)
    copy = grid.tiles()
    new = (int(tiles[4, 5]) + 1) % 3
    grid.set_tile(5, 4, new)
    assert grid.tiles()[4, 5] == new and copy[4, 5] == tiles[4, 5]
    copy[0, 0] = (copy[0, 0] + 1) % 3
    assert grid.tile(0, 0) == tiles[0, 0]


def test_load_bitmap(tmp_path):
    # 24-bit, rows bottom-up and padded to 4 bytes: green ground, blue water, black walls.
    tiles = np.random.default_rng(8).integers(0, 3, size=(5, 7))
    colors = [b"\x00\xff\x00", b"\xff\x00\x00", b"\x00\x00\x00"]
    pixels = b"".join(b"".join(colors[t] for t in row).ljust(24, b"\0") for row in tiles[::-1])
    header = struct.pack("<2sI4xIIiiHHI20x", b"BM", 54 + len(pixels), 54, 40, 7, 5, 1, 24, 0)
    (tmp_path / "tiles.bmp").write_bytes(header + pixels)
    np.testing.assert_array_equal(gridlib.Grid.load(str(tmp_path / "tiles.bmp")).tiles(), tiles)


def bad_calls(grid):
    """Calls on a 64 x 48 grid that would trip the library's assertions were they not refused."""
    blocked = np.zeros((4, 4), dtype=np.int64)
    blocked[1, 1] = gridlib.BLOCKED
    mixed = gridlib.Grid(blocked)
    return [
        (lambda: grid.find_shortest_path(3, 0, 0, 1, 1), "size 3 is not 0"),
        (lambda: grid.is_connected(-1, 0, 0, 1, 1), "size -1 is not 0"),
        (lambda: grid.find_shortest_path(1, 63, 63, 0, 0),
         r"start \(63, 63\) with size 1 leaves the 64 x 48 map"),
        (lambda: grid.find_jump_point_path(2, 0, 0, 62, 0), r"goal \(62, 0\) with size 2 leaves"),
        (lambda: grid.is_connected(0, 0, -1, 0, 0), r"start \(0, -1\) with size 0 leaves"),
        (lambda: mixed.find_shortest_path(1, 0, 0, 2, 2), r"start \(0, 0\) .* more than one tile"),
        (lambda: mixed.find_jump_point_path(1, 1, 1, 2, 2), "more than one tile"),
        (lambda: grid.tile(64, 0), r"cell \(64, 0\) is outside the 64 x 48 map"),
        (lambda: grid.set_tile(0, 48, 1), r"cell \(0, 48\) is outside"),
        (lambda: grid.set_tile(0, 0, 3), "tile 3 is not 0"),
        (lambda: grid.set_tile(0, 0, -1), "tile -1 is not 0"),
        (lambda: gridlib.Grid([[0, 1], [2, 5]]), r"tile 5 at \(1, 1\)"),
        (lambda: gridlib.Grid(np.zeros((2, 2, 2), dtype=int)), "2 dimensions"),
        (lambda: gridlib.Grid(np.zeros((0, 3), dtype=int)), "must be positive"),
        (lambda: gridlib.Grid(np.zeros((2, 2))), "must hold integers"),
        (lambda: gridlib.Grid(0, 5), "must be positive"),
        (lambda: gridlib.Grid(65536, 32768), "more than 2147483647 cells"),
        (lambda: grid.path_costs(np.zeros((2, 3), dtype=int)), r"shape \(N, 4\)"),
        (lambda: grid.path_costs(np.zeros((2, 4))), "must hold integers"),
        (lambda: grid.path_costs([[0, 0, 1, 1], [0, 0, 64, 0]]),
         r"query 1: goal \(64, 0\) with size 0 leaves"),
        (lambda: mixed.path_costs([[2, 2, 2, 0], [0, 0, 2, 2]], size=1),
         r"query 1: start \(0, 0\) .* more than one tile"),
        (lambda: grid.path_costs([[0, 0, 1, 1]], size=3), "size 3 is not 0"),
        (lambda: grid.path_costs([[0, 0, 1, 1]], search="fast"), "search must be"),
        (lambda: grid.path_costs([[0, 0, 1, 1]], threads=-1), "threads must be"),
    ]


def test_bad_arguments_raise_value_error():
    # First all in a child, so that an assertion's abort fails this test, not pytest.
    script = (f"import sys; sys.path.insert(0, {os.path.dirname(__file__)!r})\n"
              "import gridlib, test_gridlib as t\n"
              "for call, _ in t.bad_calls(gridlib.Grid(64, 48)):\n"
              "    try: call()\n"
              "    except ValueError: print('refused')\n")
    child = subprocess.run([sys.executable, "-B", "-c", script], capture_output=True, text=True)
    grid = gridlib.Grid(64, 48)
    assert child.returncode == 0 and child.stdout.split() == ["refused"] * len(bad_calls(grid)), \
        child.stderr
    for call, message in bad_calls(grid):
        with pytest.raises(ValueError, match=message):
            call()
    assert not grid.tiles().any()  # nothing written by a refused call


def test_load_errors(tmp_path):
    missing = tmp_path / "missing.map"
    with pytest.raises(OSError, match=f"^Cannot read {re.escape(str(missing))}: no such file$"):
        gridlib.Grid.load(missing)
    bad = tmp_path / "bad.map"
    bad.write_text("type octile\nheight 3\nwidth 4\nmap\n....\n.X..\n....\n")
    with pytest.raises(ValueError) as malformed:
        gridlib.Grid.load(str(bad))
    # The loader's own line, as the C++ program prints it.
    loader = subprocess.run([ANSWERS, str(bad)], input="", capture_output=True, text=True)
    assert loader.returncode != 0
    assert str(malformed.value) == loader.stderr.rstrip("\n")
    assert str(malformed.value).startswith(f"Cannot read {bad}: line 6")


def test_set_tile_refused_while_path_costs_searches():
    # path_costs searches without the GIL; a write then would race with it.
    rng = np.random.default_rng(5)
    tiles = (rng.random((300, 300)) < 0.2).astype(np.uint8) * gridlib.BLOCKED
    tiles[0, 0] = gridlib.BLOCKED
    queries = rng.integers(0, 300, size=(1500, 4))
    queries = queries[tiles[queries[:, 1], queries[:, 0]] == gridlib.GROUND]
    grid = gridlib.Grid(tiles)
    expected = grid.path_costs(queries, threads=1)
    costs = []
    worker = threading.Thread(target=lambda: costs.append(grid.path_costs(queries, threads=1)))
    refused = 0
    worker.start()
    while worker.is_alive():
        try:
            grid.set_tile(0, 0, gridlib.BLOCKED)  # the tile it has: no answer changes
        except RuntimeError:
            refused += 1
    worker.join()
    assert refused > 0
    np.testing.assert_array_equal(costs[0], expected)
    grid.set_tile(0, 0, gridlib.GROUND)
    assert grid.tile(0, 0) == gridlib.GROUND


def test_the_guides_examples_run():
    # Each Python block of the guide and the README runs as it stands, from the repository's root.
    root = os.path.join(os.path.dirname(__file__), "..", "..")
    for name in ("docs/gridlib.md", "README.md"):
        with open(os.path.join(root, name)) as f:
            blocks = re.findall(r"^```python\n(.*?)^```", f.read(), re.M | re.S)
        assert blocks, name
        for block in blocks:
            out = subprocess.run([sys.executable, "-c", block], cwd=root, capture_output=True,
                                 text=True)
            assert out.returncode == 0, f"{name}:\n{block}\n{out.stderr}"
