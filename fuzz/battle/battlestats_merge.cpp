// battlestats --merge on in-memory files: the input is up to four CSV files
// separated by NUL bytes. A merge that succeeds must survive its own output:
// written and merged again, it gives the same tournament and the same bytes.
// Every report of the merged tournament is written too.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Report.h"
#include "ResultFiles.h"

namespace {

constexpr std::size_t MAX_FILES = 4;

std::vector<CsvInput> split_files(const std::uint8_t* data, std::size_t size) {
    std::vector<CsvInput> files;
    std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; files.size() < MAX_FILES;) {
        const std::size_t end = text.find('\0', start);
        const std::string name = "shard" + std::to_string(files.size() + 1) + ".csv";
        files.push_back({name, text.substr(start, end - start)});
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TournamentResult merged;
    const std::string problem = merge_csv(split_files(data, size), merged);
    if (!problem.empty()) {
        require(problem.find('\n') == std::string::npos, "a reason is one line");
        return 0;
    }
    std::ostringstream csv;
    write_csv(csv, merged);
    TournamentResult again;
    require(merge_csv({{"merged.csv", csv.str()}}, again).empty(), "merged output merges");
    require(again.settings == merged.settings && again.records == merged.records,
            "merging merged output changes nothing");
    std::ostringstream csv_again;
    write_csv(csv_again, again);
    require(csv_again.str() == csv.str(), "merged output is written byte for byte again");

    std::ostringstream reports;
    write_table(reports, merged);
    write_json(reports, merged);
    write_svg(reports, merged);
    return 0;
}
