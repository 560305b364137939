// Loads a map (or makes one with a wall), then asks the same route questions
// of one Grid from four threads at once and from one thread, and checks that
// the answers agree.
#include <gridlib/Grid.h>
#include <gridlib/MapLoader.h>

#include <iostream>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    GridPtr grid;
    if (argc > 1) {
        grid = loadMapFile(argv[1], std::cout);
        if (!grid) return 1;  // the loader said why
    } else {
        grid = std::make_unique<Grid>(64, 64);
        for (int y = 0; y < 60; ++y) grid->setTile(32, y, Grid::BLOCKED);
    }
    const int w = grid->getWidth(), h = grid->getHeight();

    // Corner to corner and across, for a 1x1 object: the start's footprint
    // must be one tile type, so only ground starts are asked.
    struct Question { int x1, y1, x2, y2; };
    std::vector<Question> questions;
    for (int i = 0; i < 400; ++i) {
        const Question q{i * 7 % w, i * 13 % h, (i * 31 + 5) % w, (i * 17 + 3) % h};
        if (grid->getTile(q.x1, q.y1) == Grid::GROUND) questions.push_back(q);
    }
    auto cost = [&](const Question& q) {
        Grid::Path path;
        if (!grid->isConnected(0, q.x1, q.y1, q.x2, q.y2)) return -1;
        return grid->findShortestPath(0, q.x1, q.y1, q.x2, q.y2, path);
    };

    std::vector<int> together(questions.size());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = t; i < questions.size(); i += 4) together[i] = cost(questions[i]);
        });
    for (std::thread& thread : threads) thread.join();

    long long total = 0;
    for (std::size_t i = 0; i < questions.size(); ++i) {
        if (together[i] != cost(questions[i])) {
            std::cout << "question " << i << " answered differently\n";
            return 1;
        }
        total += together[i];
    }
    std::cout << questions.size() << " questions from 4 threads, as from one; cost sum " << total
              << '\n';
}
