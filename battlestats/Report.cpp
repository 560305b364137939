#include "Report.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "Statistics.h"

namespace {

std::string padded(const std::string& text, std::size_t width, bool right = false) {
    if (text.size() >= width) return text;
    const std::string fill(width - text.size(), ' ');
    return right ? fill + text : text + fill;
}

// "48.5% [41.7, 55.4]": the share and its interval, in percent.
std::string share_text(std::size_t k, std::size_t n) {
    const Interval i = wilson_interval(k, n);
    const double p = static_cast<double>(k) / static_cast<double>(n);
    return padded(fixed(100 * p, 1) + "%", 6, true) + " [" +
           padded(fixed(100 * i.low, 1), 4, true) + ", " + padded(fixed(100 * i.high, 1), 5, true) +
           "]";
}

constexpr std::size_t POLICY_W = 16;
constexpr std::size_t COUNT_W = 9;
constexpr std::size_t SHARE_W = 22;
constexpr std::size_t STEPS_W = 12;
constexpr std::size_t TIMEOUTS_W = 10;

std::string xml_escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

// Red wins, draws (timeouts included) and blue wins, each in its own colour,
// so that a pair that always ends in a draw does not look like one that blue
// always wins. Light tints, so black text stays readable on them.
constexpr std::array<const char*, 3> OUTCOME_FILLS = {"#f28b82", "#d0d0d0", "#8ab4f8"};
constexpr std::array<const char*, 3> OUTCOME_NAMES = {"red wins", "draws", "blue wins"};

// Splits `width` into three widths in proportion to the counts, with the
// rounding done on the running sums so that they add up to `width` exactly.
std::array<int, 3> split_width(int width, const std::array<std::size_t, 3>& counts) {
    const std::size_t total = counts[0] + counts[1] + counts[2];
    std::array<int, 3> widths{};
    std::size_t sum = 0;
    int done = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        sum += counts[i];
        const int edge = static_cast<int>(std::lround(
            static_cast<double>(width) * static_cast<double>(sum) / static_cast<double>(total)));
        widths[i] = edge - done;
        done = edge;
    }
    return widths;
}

}  // namespace

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string settings_line(const TournamentSettings& t) {
    std::ostringstream line;
    line << "world " << t.width << " x " << t.height << ", per side: marines " << t.marines
         << ", tanks " << t.tanks << ", bounce " << (t.bounce ? 1 : 0) << "; " << t.battles
         << " battles per pair, master seed " << t.master_seed;
    if (t.paired) line << ", paired";
    return line.str();
}

void write_table(std::ostream& out, const TournamentResult& result) {
    const std::vector<PolicyPair> pairs = tournament_pairs(result.settings);
    out << settings_line(result.settings) << "\n\n";
    out << padded("red", POLICY_W) << padded("blue", POLICY_W) << padded("battles", COUNT_W, true)
        << padded("red wins", SHARE_W, true) << padded("draws", SHARE_W, true)
        << padded("blue wins", SHARE_W, true) << padded("mean steps", STEPS_W, true)
        << padded("median steps", STEPS_W + 2, true) << padded("timeouts", TIMEOUTS_W, true)
        << "\n";
    for (const PairSummary& s : summarise(pairs, result.records)) {
        out << padded(policy_name(s.pair.red), POLICY_W)
            << padded(policy_name(s.pair.blue), POLICY_W)
            << padded(std::to_string(s.battles), COUNT_W, true);
        if (s.battles == 0) {
            for (int i = 0; i < 3; ++i) out << padded("-", SHARE_W, true);
            out << padded("-", STEPS_W, true) << padded("-", STEPS_W + 2, true);
        } else {
            out << padded(share_text(s.red_wins, s.battles), SHARE_W, true)
                << padded(share_text(s.draws, s.battles), SHARE_W, true)
                << padded(share_text(s.blue_wins, s.battles), SHARE_W, true)
                << padded(fixed(s.mean_steps, 1), STEPS_W, true)
                << padded(fixed(s.median_steps, 1), STEPS_W + 2, true);
        }
        out << padded(std::to_string(s.timeouts), TIMEOUTS_W, true) << "\n";
    }
    out << "shares with 95 % Wilson intervals; draws include timeouts\n";

    if (!result.settings.paired) return;
    out << "\npaired score (every layout played both ways; win 1, draw 1/2, 95 % interval)\n";
    for (const PairedScore& p : paired_scores(pairs, result.records)) {
        out << padded(policy_name(p.a), POLICY_W) << "vs " << padded(policy_name(p.b), POLICY_W);
        if (p.layouts == 0) {
            out << "-\n";
            continue;
        }
        out << fixed(p.score, 3);
        if (p.interval) {
            out << " [" << fixed(p.interval->low, 3) << ", " << fixed(p.interval->high, 3) << "]";
        }
        out << " over " << p.layouts << " layouts\n";
    }
}

void write_svg(std::ostream& out, const TournamentResult& result) {
    const std::vector<PolicyPair> pairs = tournament_pairs(result.settings);
    const std::vector<PairSummary> summaries = summarise(pairs, result.records);
    const AttackPolicy policies[] = {ATTACK_WEAKEST, ATTACK_CLOSEST, ATTACK_MOST_DANGEROUS};
    constexpr int CELL_W = 150;
    constexpr int CELL_H = 90;
    constexpr int LEFT = 150;
    constexpr int TOP = 110;
    constexpr int WIDTH = LEFT + 3 * CELL_W + 30;
    constexpr int LEGEND_Y = TOP + 3 * CELL_H + 20;
    constexpr int HEIGHT = LEGEND_Y + 40;

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << WIDTH << "\" height=\"" << HEIGHT
        << "\" viewBox=\"0 0 " << WIDTH << " " << HEIGHT << "\" font-family=\"sans-serif\">\n";
    out << "<rect width=\"" << WIDTH << "\" height=\"" << HEIGHT << "\" fill=\"white\"/>\n";
    out << "<text x=\"" << WIDTH / 2 << "\" y=\"24\" font-size=\"18\" text-anchor=\"middle\">"
        << "red wins, draws and blue wins</text>\n";
    out << "<text x=\"" << WIDTH / 2 << "\" y=\"44\" font-size=\"10\" text-anchor=\"middle\">"
        << xml_escaped(settings_line(result.settings)) << "</text>\n";
    out << "<text x=\"" << LEFT + 3 * CELL_W / 2 << "\" y=\"" << TOP - 34
        << "\" font-size=\"14\" text-anchor=\"middle\">blue policy</text>\n";
    out << "<text x=\"20\" y=\"" << TOP + 3 * CELL_H / 2 << "\" font-size=\"14\" "
        << "text-anchor=\"middle\" transform=\"rotate(-90 20 " << TOP + 3 * CELL_H / 2
        << ")\">red policy</text>\n";
    for (int c = 0; c < 3; ++c) {
        out << "<text x=\"" << LEFT + c * CELL_W + CELL_W / 2 << "\" y=\"" << TOP - 10
            << "\" font-size=\"13\" text-anchor=\"middle\">" << policy_name(policies[c])
            << "</text>\n";
    }
    for (int r = 0; r < 3; ++r) {
        const int y = TOP + r * CELL_H;
        out << "<text x=\"" << LEFT - 10 << "\" y=\"" << y + CELL_H / 2 + 5
            << "\" font-size=\"13\" text-anchor=\"end\">" << policy_name(policies[r])
            << "</text>\n";
        for (int c = 0; c < 3; ++c) {
            const int x = LEFT + c * CELL_W;
            const PairSummary* cell = nullptr;
            for (const PairSummary& s : summaries) {
                if (s.pair == PolicyPair{policies[r], policies[c]} && s.battles > 0) cell = &s;
            }
            if (cell) {
                // The cell's width split into red wins, draws and blue wins.
                const std::array<int, 3> widths =
                    split_width(CELL_W, {cell->red_wins, cell->draws, cell->blue_wins});
                int left = x;
                for (int part = 0; part < 3; ++part) {
                    if (widths[part] > 0) {
                        out << "<rect x=\"" << left << "\" y=\"" << y << "\" width=\""
                            << widths[part] << "\" height=\"" << CELL_H << "\" fill=\""
                            << OUTCOME_FILLS[part] << "\"/>\n";
                    }
                    left += widths[part];
                }
            }
            out << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << CELL_W << "\" height=\""
                << CELL_H << "\" fill=\"none\" stroke=\"#444444\"/>\n";
            const int cx = x + CELL_W / 2;
            if (!cell) {
                out << "<text x=\"" << cx << "\" y=\"" << y + CELL_H / 2 + 6
                    << "\" font-size=\"16\" text-anchor=\"middle\">not run</text>\n";
                continue;
            }
            const Interval i = wilson_interval(cell->red_wins, cell->battles);
            const double n = static_cast<double>(cell->battles);
            const auto percent = [n](std::size_t count) {
                return fixed(100.0 * static_cast<double>(count) / n, 1) + "%";
            };
            out << "<text x=\"" << cx << "\" y=\"" << y + 38
                << "\" font-size=\"22\" text-anchor=\"middle\">" << percent(cell->red_wins)
                << "</text>\n";
            out << "<text x=\"" << cx << "\" y=\"" << y + 58
                << "\" font-size=\"12\" text-anchor=\"middle\">[" << fixed(100 * i.low, 1) << ", "
                << fixed(100 * i.high, 1) << "] n=" << cell->battles << "</text>\n";
            out << "<text x=\"" << cx << "\" y=\"" << y + 76
                << "\" font-size=\"12\" text-anchor=\"middle\">draws " << percent(cell->draws)
                << "</text>\n";
        }
    }
    for (int part = 0; part < 3; ++part) {
        const int x = LEFT + part * CELL_W;
        out << "<rect x=\"" << x << "\" y=\"" << LEGEND_Y << "\" width=\"16\" height=\"16\" fill=\""
            << OUTCOME_FILLS[part] << "\" stroke=\"#444444\"/>\n";
        out << "<text x=\"" << x + 22 << "\" y=\"" << LEGEND_Y + 13 << "\" font-size=\"13\">"
            << OUTCOME_NAMES[part] << "</text>\n";
    }
    out << "<text x=\"" << LEFT << "\" y=\"" << LEGEND_Y + 34
        << "\" font-size=\"10\">cells split by these shares; large: red win rate, its 95 % Wilson "
           "interval below; draws include timeouts</text>\n";
    out << "</svg>\n";
}
