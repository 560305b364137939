#include "World.h"

#include <cassert>
#include <cstdint>

void World::step() {
    // Removal: the last pointer fills the hole, so each dead unit costs constant time.
    std::size_t i = 0;
    while (i < units.size()) {
        if (units[i]->hp <= 0) {
            delete units[i];
            units[i] = units.back();
            units.pop_back();
        } else {
            ++i;
        }
    }

    for (Unit* u : units) {
        if (u->current_speed > 0) move_unit(*u);
    }

    for (Unit* u : units) u->hp_old = u->hp;

    // Nothing moves from here to the end of the step, so one grid serves
    // every target search of the action phase.
    index_live_ = index_enabled();
    if (index_live_) spatial_index_.rebuild(units);

    // Every listed unit acts, even one killed earlier in this phase.
    for (std::size_t k = 0; k < units.size(); ++k) units[k]->act(*this);
    index_live_ = false;
}

// The integer and real mappings are written out here, not left to the
// library's distributions, whose mappings differ between versions and
// would change whole battles.

int World::rnd_int(int n) const {
    assert(n > 0);
    const std::uint64_t scaling = std::uint64_t{4294967295u} / static_cast<std::uint64_t>(n);
    const std::uint64_t past = static_cast<std::uint64_t>(n) * scaling;
    std::uint64_t x = rng();
    while (x >= past) x = rng();
    const int r = static_cast<int>(x / scaling);
    assert(0 <= r && r < n);
    return r;
}

double World::rnd01() const {
    const double x1 = static_cast<double>(rng());
    const double x2 = static_cast<double>(rng());
    const double s = x2 * 4294967296.0 + x1;
    double r = s * 0x1p-64;
    // Only the rounding of the sum can reach 1.
    if (r >= 1) r = 0.9999999999999999;
    return r;
}
