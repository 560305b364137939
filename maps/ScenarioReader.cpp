#include "ScenarioReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <sstream>

namespace {

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    if (line.find('\t') != std::string::npos) {
        std::size_t begin = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', begin);
            fields.push_back(line.substr(begin, tab - begin));
            if (tab == std::string::npos) break;
            begin = tab + 1;
        }
        // A tab at the end of a line leaves no field behind it.
        if (fields.size() > 1 && fields.back().empty()) fields.pop_back();
    } else {
        std::istringstream in(line);
        for (std::string f; in >> f;) fields.push_back(f);
    }
    return fields;
}

enum class Number { OK, BAD, TOO_LARGE };

// Coordinates and sizes of a map, which fit an int; larger ones are told apart
// from text that is no number at all.
constexpr long long kLargestNumber = 1000000000LL;

Number parseInt(const std::string& text, long long minimum, int& value) {
    if (text.empty()) return Number::BAD;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || end == text.c_str() || v < minimum) return Number::BAD;
    if (errno == ERANGE || v > kLargestNumber) return Number::TOO_LARGE;
    value = int(v);
    return Number::OK;
}

bool parseLength(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < 0) return false;
    value = v;
    return true;
}

// Digits after the point, less the exponent: "2" 0, "1.41421" 5, "1.5e2" -1.
int decimalsOf(const std::string& number) {
    const std::size_t exponent = number.find_first_of("eE");
    const std::size_t point = number.find('.');
    const std::size_t end = std::min(exponent, number.size());
    const int decimals = point < end ? int(end - point - 1) : 0;
    if (exponent == std::string::npos) return decimals;
    // Clamped, as a length of 0 may carry any exponent.
    const long shift =
        std::clamp(std::strtol(number.c_str() + exponent + 1, nullptr, 10), -400L, 400L);
    return decimals - int(shift);
}

bool fail(std::string& error, int line, const std::string& reason) {
    error = "line " + std::to_string(line) + ": " + reason;
    return false;
}

}  // namespace

bool parseScenario(std::istream& in, Scenario& scenario, std::string& error) {
    std::string line;
    int number = 0;
    auto next = [&] {
        if (!std::getline(in, line)) return false;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    };

    double version = 0;
    const bool hasLine = next();
    const std::vector<std::string> head = hasLine ? splitFields(line) : std::vector<std::string>{};
    if (head.size() != 2 || head[0] != "version" || !parseLength(head[1], version)) {
        return fail(error, 1, "expected \"version N\"");
    }

    static const char* const kNames[] = {"bucket",  "map width", "map height", "start x",
                                         "start y", "goal x",    "goal y"};
    while (next()) {
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        const std::vector<std::string> f = splitFields(line);
        if (f.size() != 9) {
            return fail(error, number, "expected 9 fields, found " + std::to_string(f.size()));
        }
        Scenario::Entry q;
        q.line = number;
        q.map = f[1];
        int* const targets[] = {&q.bucket, &q.mapWidth, &q.mapHeight, &q.startX,
                                &q.startY, &q.goalX,    &q.goalY};
        const int fieldIndex[] = {0, 2, 3, 4, 5, 6, 7};
        for (int i = 0; i < 7; ++i) {
            const long long minimum = (i == 1 || i == 2) ? 1 : 0;
            const Number parsed = parseInt(f[fieldIndex[i]], minimum, *targets[i]);
            if (parsed == Number::TOO_LARGE) {
                return fail(
                    error, number,
                    std::string(kNames[i]) + " is larger than " + std::to_string(kLargestNumber));
            }
            if (parsed == Number::BAD) {
                return fail(error, number,
                            std::string(kNames[i]) +
                                (minimum ? " is not a positive number" : " is not a number >= 0"));
            }
        }
        if (q.map.empty()) return fail(error, number, "map file name is empty");
        if (!parseLength(f[8], q.optimal)) {
            return fail(error, number, "optimal length is not a number >= 0");
        }
        q.optimalDecimals = decimalsOf(f[8]);
        if (q.startX >= q.mapWidth || q.startY >= q.mapHeight) {
            return fail(error, number, "start lies outside the map size given on the line");
        }
        if (q.goalX >= q.mapWidth || q.goalY >= q.mapHeight) {
            return fail(error, number, "goal lies outside the map size given on the line");
        }
        scenario.entries.push_back(q);
    }
    return true;
}
