#ifndef BATTLE_WORLD_STATE_H
#define BATTLE_WORLD_STATE_H

// Everything a step can change about a world, captured as plain values so
// that two worlds, or one world at two moments, can be compared bit for bit.

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "World.h"

// Plain-scan and always-grid settings of World::spatial_index_min_units.
constexpr std::size_t NEVER_INDEX = std::numeric_limits<std::size_t>::max();
constexpr std::size_t ALWAYS_INDEX = 0;

inline std::uint64_t bits_of(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

struct UnitState {
    int team;
    std::uint64_t x, y, speed, heading_x, heading_y, radius, attack_radius;
    int hp, hp_old;
    bool operator==(const UnitState&) const = default;
};

inline UnitState state_of(const Unit& u) {
    return {static_cast<int>(u.team),
            bits_of(u.pos.x),
            bits_of(u.pos.y),
            bits_of(u.current_speed),
            bits_of(u.heading.x),
            bits_of(u.heading.y),
            bits_of(u.radius),
            bits_of(u.attack_radius),
            u.hp,
            u.hp_old};
}

struct WorldState {
    std::vector<UnitState> units;
    std::vector<const Unit*> identities;
    std::mt19937 rng;
    bool same_units_and_rng(const WorldState& o) const { return units == o.units && rng == o.rng; }
};

inline WorldState state_of(const World& w) {
    WorldState s{{}, {}, w.rng};
    for (const Unit* u : w.units) {
        s.units.push_back(state_of(*u));
        s.identities.push_back(u);
    }
    return s;
}

#endif
