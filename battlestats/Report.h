#ifndef BATTLESTATS_REPORT_H
#define BATTLESTATS_REPORT_H

// The printed table of a tournament and the heat map of its red win rates.

#include <ostream>
#include <string>

#include "Records.h"

// One line naming the settings, so a table says what it measured.
std::string settings_line(const TournamentSettings& t);

// Per pair: battles, red wins, draws and blue wins as shares with 95 % Wilson
// intervals, mean and median steps, timeouts; with `paired`, the paired
// scores below.
void write_table(std::ostream& out, const TournamentResult& result);

// The 3 x 3 matrix of pairs (rows red policy, columns blue policy) as a
// stand-alone SVG: every cell is split into red wins, draws and blue wins in
// their shares, each outcome in its own colour, and shows the red win rate
// with its interval and the share of draws.
void write_svg(std::ostream& out, const TournamentResult& result);

// A number with a fixed count of decimals, independent of the locale.
std::string fixed(double value, int decimals);

#endif
