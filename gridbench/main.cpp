// gridbench: shortest-path queries from a scenario file, or random ones, on
// an octile map or a bitmap, with per-bucket statistics.

#include <iostream>

#include "Bench.h"
#include "Options.h"

int main(int argc, char** argv) {
    Options options;
    const int status = parseOptions(argc, argv, options, std::cout, std::cerr);
    if (status >= 0) return status;
    return runBench(options, std::cout, std::cerr);
}
