#ifndef TESTS_BATTLESIM_OUTPUT_H
#define TESTS_BATTLESIM_OUTPUT_H

// Expected console text of battlesim, written out independently of the
// program so that the tests compare real bytes.

#include <string>

#include "Process.h"

// U+2000 EN QUAD as UTF-8, in the labels "seed:" and "bounce:" and the timeout line.
inline const std::string EN_QUAD = "\xE2\x80\x80";

struct Echo {
    std::string width, height, delay, seed, marines, tanks, redpol, bluepol, bounce, gfx;

    std::string text() const {
        return "width: " + width + "\n" + "height: " + height + "\n" + "delay: " + delay + "\n" +
               "seed:" + EN_QUAD + seed + "\n" + "marines: " + marines + "\n" + "tanks: " + tanks +
               "\n" + "redpol: " + redpol + "\n" + "bluepol: " + bluepol + "\n" +
               "bounce:" + EN_QUAD + bounce + "\n" + "gfx: " + gfx + "\n";
    }
};

// The ten echo lines at the start of `out` (empty if there are fewer).
inline std::string echo_part(const std::string& out) {
    std::size_t at = 0;
    for (int line = 0; line < 10; ++line) {
        at = out.find('\n', at);
        if (at == std::string::npos) return "";
        ++at;
    }
    return out.substr(0, at);
}

// What follows the echo.
inline std::string after_echo(const std::string& out) {
    return out.substr(echo_part(out).size());
}

// The value of an echo line such as "seed:" + EN_QUAD, or "" if absent.
inline std::string echo_value(const std::string& out, const std::string& label) {
    const std::size_t at = out.find(label);
    if (at == std::string::npos) return "";
    const std::size_t begin = at + label.size();
    return out.substr(begin, out.find('\n', begin) - begin);
}

// The end of a decided batch run: k dots, then "game over (k steps): " and
// the result. `dots` stays -1 when the text does not have this form.
struct BatchEnd {
    long dots = -1;
    long steps = -1;
    std::string result;
};

inline BatchEnd parse_batch_end(const std::string& tail) {
    BatchEnd end;
    const std::size_t dots = tail.find_first_not_of('.');
    const std::string head = "game over (";
    if (dots == std::string::npos || tail.compare(dots, head.size(), head) != 0) return end;
    const std::size_t number = dots + head.size();
    const std::size_t number_end = tail.find_first_not_of("0123456789", number);
    const std::string middle = " steps): ";
    if (number_end == number || number_end == std::string::npos ||
        tail.compare(number_end, middle.size(), middle) != 0) {
        return end;
    }
    const std::string result = tail.substr(number_end + middle.size());
    for (const char* r : {"RED wins\n", "draw\n", "BLUE wins\n"}) {
        if (result == r) {
            end.dots = static_cast<long>(dots);
            end.steps = std::stol(tail.substr(number, number_end - number));
            end.result = result.substr(0, result.size() - 1);
        }
    }
    return end;
}

inline std::string battlesim() {
    return BATTLESIM_PATH;
}

inline ProcessResult run_battlesim(const std::vector<std::string>& args,
                                   const ProcessOptions& options = {}) {
    std::vector<std::string> argv = {battlesim()};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_process(argv, options);
}

#endif
